// The streamed report and its clean-up on the way out.
#include "stream_report.h"

#include <cstring>

#include "report_output.h"

namespace koravel::cli {

namespace {

    constexpr std::size_t kBufferSize = std::size_t(1) << 20;
    constexpr std::string_view kLineEnd = "\r\n";

} // namespace

StreamReport::StreamReport(ReportOutput &output, bool cleanUp)
    : m_output(output)
    , m_buffer(new char[kBufferSize])
{
    if (cleanUp)
        m_cleanUp.emplace();
}

StreamReport::~StreamReport() = default;

void StreamReport::clear()
{
    m_used = 0;
    m_kept = 0;
    if (m_cleanUp)
        m_cleanUp.emplace();
}

void StreamReport::appendLine(std::string_view line)
{
    if (!m_cleanUp)
        return writeLine(line);
    m_cleanUp->line(line, [this](std::size_t, std::string_view kept) {
        ++m_kept;
        writeLine(kept);
    });
}

std::optional<BlockForm> StreamReport::blockForm() const
{
    return BlockForm { m_cleanUp.has_value() };
}

void StreamReport::appendBlock(const LineBlock &block)
{
    if (m_cleanUp) {
        m_cleanUp->examined(block.lines + block.falso);
        m_kept += static_cast<long long>(block.lines);
    }
    // A large block goes out as it is, without a copy into the buffer.
    if (block.text.size() < kBufferSize / 8)
        return put(block.text);
    flush();
    m_output.write(block.text.data(), block.text.size());
}

void StreamReport::finish()
{
    if (m_cleanUp) {
        m_cleanUp->finish([this](std::size_t, std::string_view kept) {
            ++m_kept;
            writeLine(kept);
        });
        const CleanUpSummary summary
            = CleanUp::summary(static_cast<long long>(m_cleanUp->seen()), m_kept);
        for (const std::string &line : CleanUp::summaryLines(summary))
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
