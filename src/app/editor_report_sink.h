// Where a prediction writes the report window's lines: straight into the editor's loader.
#pragma once

#include "report/report_line.h"

#include <string_view>

class ReportEditor;

// No widget work per line: the lines are gathered aside from the shown text and put in place
// by publish(), at the end of the run (also after an error, showing the lines written so far).
class EditorReportSink : public koravel::ReportSink
{
public:
    explicit EditorReportSink(ReportEditor &editor)
        : m_editor(editor)
    {
    }

    // The editor is emptied at once, which also frees the memory of the previous report.
    void clear() override;
    // A line is followed by CR LF, or preceded by it when the text does not end with a line
    // break (the user removed it); appending to the shown text builds on a copy of it.
    void appendLine(std::string_view line) override;
    void show() override { m_showRequested = true; }

    // Puts the gathered text in place of the shown one, if any was gathered. Throws
    // "Text exceeds memo capacity" when the last lines did not fit; the others are shown.
    void publish();
    // Whether a prediction asked to show the window since the last call.
    bool takeShowRequest();

private:
    ReportEditor &m_editor;
    bool m_endsWithBreak = true;
    bool m_showRequested = false;
};
