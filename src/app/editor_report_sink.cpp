// Gathers a prediction's lines and appends them to the report editor's shown text.
#include "editor_report_sink.h"

#include "report_editor.h"

#include <algorithm>

namespace {

constexpr std::string_view kLineBreak = "\r\n";
// Lines go to the editor in pieces of this size, and whenever refresh() asks.
constexpr std::size_t kPiece = std::size_t { 4 } << 20;

bool endsWithLineBreak(std::string_view text)
{
    return text.empty() || text.back() == '\r' || text.back() == '\n';
}

} // namespace

void EditorReportSink::clear()
{
    m_pending.clear();
    m_editor.cancelLoad();
    m_editor.setLatin1Text({});
    m_editor.beginAppending();
    m_appending = true;
    m_endsWithBreak = true;
    m_windowShown = false;
    m_lines = 0;
    m_reserved = 0;
}

void EditorReportSink::startAppending()
{
    // Lines appended without a clear go after the text the user sees.
    m_endsWithBreak = endsWithLineBreak(m_editor.bytes());
    m_editor.beginAppending();
    m_appending = true;
}

void EditorReportSink::appendLine(std::string_view line)
{
    if (!m_appending)
        startAppending();
    if (m_endsWithBreak) {
        m_pending.append(line);
        m_pending.append(kLineBreak);
    } else {
        m_pending.append(kLineBreak);
        m_pending.append(line);
    }
    ++m_lines;
    if (m_pending.size() >= kPiece)
        putPending();
}

void EditorReportSink::appendBlock(const koravel::LineBlock &block)
{
    if (!m_appending)
        startAppending();
    if (!m_endsWithBreak) {
        // The text does not end with a line break: each line goes after one, as appendLine()
        // puts it.
        std::string_view rest = block.text;
        while (rest.size() >= kLineBreak.size()) {
            const std::size_t end = rest.find(kLineBreak);
            appendLine(rest.substr(0, end));
            rest.remove_prefix(end + kLineBreak.size());
        }
        return;
    }
    // A block goes to the editor as it is, after the lines gathered before it.
    m_lines += block.lines;
    putPending();
    append(block.text);
}

void EditorReportSink::show()
{
    m_showRequested = true;
    if (!m_windowShown && m_showWindow) {
        m_windowShown = true;
        m_showWindow();
    }
}

void EditorReportSink::refresh()
{
    if (m_appending)
        putPending();
}

void EditorReportSink::putPending()
{
    if (m_pending.empty())
        return;
    try {
        append(m_pending);
    } catch (...) {
        m_pending.clear();
        throw;
    }
    m_pending.clear();
}

void EditorReportSink::append(std::string_view bytes)
{
    if (bytes.empty())
        return;
    // Once the lines written show their length, room is made for the whole report at once,
    // with some to spare: the first lines of a report are its shortest.
    constexpr std::uint64_t kLinesToMeasure = 4096;
    if (m_expectedLines > 0 && m_lines >= kLinesToMeasure && m_lines < m_expectedLines) {
        const std::size_t size = m_editor.length() + bytes.size();
        const double perLine = static_cast<double>(size) / static_cast<double>(m_lines);
        const auto expected = static_cast<std::size_t>(
            perLine * static_cast<double>(m_expectedLines) * 1.08 + 65536.0);
        if (expected > m_reserved + m_reserved / 16) {
            m_editor.reserve(expected);
            m_reserved = expected;
        }
    }
    m_editor.appendLatin1(bytes);
}

void EditorReportSink::publish()
{
    if (!m_appending)
        return;
    m_appending = false;
    m_expectedLines = 0;
    try {
        putPending();
    } catch (...) {
        m_editor.endAppending();
        std::string().swap(m_pending);
        throw;
    }
    m_editor.endAppending();
    std::string().swap(m_pending);
}

bool EditorReportSink::takeShowRequest()
{
    const bool requested = m_showRequested;
    m_showRequested = false;
    return requested;
}
