// Where a prediction writes the report window's lines: at the end of the text the editor shows.
#pragma once

#include "report/report_line.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class ReportEditor;

// The lines are gathered in pieces of a few megabytes and appended to the shown text, so that
// a long run shows its lines as they come (refresh()) at little cost per line; publish() puts
// the last ones in place at the end of the run (also after an error, showing the lines written
// so far).
class EditorReportSink : public koravel::ReportSink
{
public:
    explicit EditorReportSink(ReportEditor &editor)
        : m_editor(editor)
    {
    }

    // The number of lines the next run will write, when known: room for its text is made as
    // soon as its line length shows, so that the text does not grow by repeated copies.
    void expectLines(std::uint64_t lines) { m_expectedLines = lines; }
    // What show() does the first time in a run: the window comes to the front while the run
    // goes on.
    void setShowWindow(std::function<void()> showWindow) { m_showWindow = std::move(showWindow); }

    // The editor is emptied at once, which also frees the memory of the previous report.
    void clear() override;
    // A line is followed by CR LF, or preceded by it when the text does not end with a line
    // break (the user removed it).
    void appendLine(std::string_view line) override;
    void show() override;
    std::optional<koravel::BlockForm> blockForm() const override { return koravel::BlockForm {}; }
    void appendBlock(const koravel::LineBlock &block) override;
    // The lines gathered so far go on view. Throws "Text exceeds memo capacity" when they do
    // not fit; the text keeps the lines before them.
    void refresh() override;

    // Puts the last gathered lines in place and ends the run's appending. Throws "Text exceeds
    // memo capacity" when the last lines did not fit; the others are shown.
    void publish();
    // Whether a prediction asked to show the window since the last call.
    bool takeShowRequest();

private:
    void startAppending();
    void putPending();
    void append(std::string_view bytes);

    ReportEditor &m_editor;
    std::function<void()> m_showWindow;
    std::string m_pending;
    bool m_appending = false;
    bool m_endsWithBreak = true;
    bool m_showRequested = false;
    bool m_windowShown = false;
    std::uint64_t m_expectedLines = 0;
    std::uint64_t m_lines = 0; // lines written in this run
    std::size_t m_reserved = 0;
};
