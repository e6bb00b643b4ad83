// The report document: the text of the report window as lines, with the clean-up that drops
// the "FALSO" lines and appends the three summary lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "report/clean_up.h"

namespace koravel {

// The text is held whole, with an index of line starts, so that a report of millions of lines
// costs no allocation per line.
class ReportDocument
{
public:
    void clear();
    // The text as the user left it: lines end at CR LF, LF or CR; a final empty line is no line.
    void setText(std::string text);
    const std::string &text() const { return m_text; }

    std::size_t count() const;
    // At most the first 4096 characters; a line past the end reads empty.
    std::string_view line(std::size_t index) const;
    // Appended after CR LF when the text does not end with a line break, else followed by CR LF.
    void appendLine(std::string_view line);
    // The line goes with its line break; the lines after it move up. An index past the end
    // changes nothing.
    void deleteLine(std::size_t index);
    void reserve(std::size_t bytes, std::size_t lines);

    // Keeps the lines whose flag is set, each with its own line break, in one pass; returns
    // how many went. keep holds one flag per line.
    std::size_t retainLines(const std::vector<bool> &keep);

private:
    // Where the line's break begins, and where the next line begins (or the text ends).
    std::size_t contentEnd(std::size_t index) const;
    std::size_t segmentEnd(std::size_t index) const;
    // Drops the starts at or after position and indexes the text from there on; position is
    // the start of a line, or the end of the text after a line break.
    void indexFrom(std::size_t position);

    std::string m_text;
    std::vector<std::size_t> m_starts; // where each line begins in m_text
};

// ".:: LIMPAR ::." on the document: CleanUp's rule over its lines, then the three summary lines
// appended.
CleanUpSummary cleanUpReport(ReportDocument &document);

// The same clean-up of a text held elsewhere (the report window's), as one replacement: the text
// from byte from on becomes tail. Only the lines from the one before the first removed line are
// copied, so a report without FALSO lines costs a scan and three summary lines.
//   "...7 header lines\r\nHD a\r\nrule\r\n"          -> from = size, tail = the summary
//   "...header\r\nHD a\r\nFALSO HD b\r\nrule\r\n" -> from = start of "HD a"
struct CleanUpEdit
{
    std::size_t from = 0;
    std::string tail;
    CleanUpSummary summary;
};
CleanUpEdit cleanUpEdit(std::string_view text);

} // namespace koravel
