// The streamed report and its clean-up on the way out.
#include "stream_report.h"

#include <cstring>

#include "table/data_file.h"
#include "numtext/numtext.h"
#include "report_output.h"

namespace koravel::cli {

namespace {

    constexpr std::size_t kBufferSize = std::size_t(1) << 20;
    constexpr long long kHeaderLines = 7;
    constexpr std::string_view kLineEnd = "\r\n";

    // The clean-up looks at the first 4096 characters of a line, as the report window reads it.
    bool holdsFalso(std::string_view line)
    {
        return line.substr(0, kMaxLineLength).find("FALSO") != std::string_view::npos;
    }

} // namespace

StreamReport::StreamReport(ReportOutput &output, bool cleanUp)
    : m_output(output)
    , m_cleanUp(cleanUp)
    , m_buffer(new char[kBufferSize])
{
}

StreamReport::~StreamReport() = default;

void StreamReport::clear()
{
    m_used = 0;
    m_appended = 0;
    m_removed = 0;
    m_heldLine.clear();
    m_holding = false;
}

void StreamReport::appendLine(std::string_view line)
{
    const long long index = m_appended++;
    if (!m_cleanUp || index < kHeaderLines) {
        writeLine(line);
        return;
    }
    if (index == kHeaderLines) {
        m_heldLine.assign(line);
        m_holding = true;
        return;
    }
    // A ninth line: the document has more than 8 lines, so line 7 is examined too.
    if (m_holding) {
        m_holding = false;
        examine(m_heldLine);
    }
    examine(line);
}

void StreamReport::examine(std::string_view line)
{
    if (holdsFalso(line))
        ++m_removed;
    else
        writeLine(line);
}

void StreamReport::finish()
{
    if (m_cleanUp) {
        if (m_holding) { // exactly 8 lines: nothing is examined
            m_holding = false;
            writeLine(m_heldLine);
        }
        // The counts come from line positions, as in the report window: N lines before, and
        // the count after each summary line is appended.
        const long long total = m_appended - 8;
        const long long kept = m_appended - m_removed;
        const long long removed = total - ((kept + 1) - 9);
        const long long predicted = (kept + 2) - 10;
        std::string line;
        line = "Hibridos possiveis totais= ";
        appendInt(line, total);
        writeLine(line);
        line = "Hibridos Falso preditos excluidos = ";
        appendInt(line, removed);
        writeLine(line);
        line = "Hibridos Reais preditos = ";
        appendInt(line, predicted);
        writeLine(line);
    }
    flush();
}

void StreamReport::writeLine(std::string_view line)
{
    if (line.size() + kLineEnd.size() <= kBufferSize - m_used) {
        char *end = m_buffer.get() + m_used;
        std::memcpy(end, line.data(), line.size());
        end[line.size()] = '\r';
        end[line.size() + 1] = '\n';
        m_used += line.size() + kLineEnd.size();
        return;
    }
    put(line);
    put(kLineEnd);
}

void StreamReport::put(std::string_view bytes)
{
    if (bytes.size() > kBufferSize - m_used)
        flush();
    if (bytes.size() >= kBufferSize) {
        m_output.write(bytes.data(), bytes.size());
        return;
    }
    std::memcpy(m_buffer.get() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
}

void StreamReport::flush()
{
    if (m_used == 0)
        return;
    m_output.write(m_buffer.get(), m_used);
    m_used = 0;
}

} // namespace koravel::cli
