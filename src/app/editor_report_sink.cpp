// Gathers a prediction's lines in the report editor's loader.
#include "editor_report_sink.h"

#include "report_editor.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool endsWithLineBreak(std::string_view text)
{
    return text.empty() || text.back() == '\r' || text.back() == '\n';
}

} // namespace

void EditorReportSink::clear()
{
    m_editor.cancelLoad();
    m_editor.setLatin1Text({});
    m_editor.beginLoad();
    m_endsWithBreak = true;
}

void EditorReportSink::appendLine(std::string_view line)
{
    if (!m_editor.isLoading()) {
        // Lines appended without a clear go after the text the user sees.
        const std::string_view shown = m_editor.bytes();
        m_editor.beginLoad(shown.size());
        m_editor.appendToLoad(shown);
        m_endsWithBreak = endsWithLineBreak(shown);
    }
    if (m_endsWithBreak) {
        m_editor.appendToLoad(line);
        m_editor.appendToLoad(kLineBreak);
    } else {
        m_editor.appendToLoad(kLineBreak);
        m_editor.appendToLoad(line);
    }
}

void EditorReportSink::publish()
{
    if (m_editor.isLoading())
        m_editor.finishLoad();
}

bool EditorReportSink::takeShowRequest()
{
    const bool requested = m_showRequested;
    m_showRequested = false;
    return requested;
}
