// The report document: the whole text with an index of line starts, and its clean-up.
#include "report/report_document.h"

#include <algorithm>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "table/data_file.h"
#include "numtext/numtext.h"

namespace {

bool isBreak(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

namespace koravel {

void ReportDocument::clear()
{
    m_text.clear();
    m_starts.clear();
}

void ReportDocument::setText(std::string text)
{
    m_text = std::move(text);
    m_starts.clear();
    indexFrom(0);
}

std::size_t ReportDocument::count() const
{
    return m_starts.size();
}

std::size_t ReportDocument::segmentEnd(std::size_t index) const
{
    return index + 1 < m_starts.size() ? m_starts[index + 1] : m_text.size();
}

std::size_t ReportDocument::contentEnd(std::size_t index) const
{
    const std::size_t start = m_starts[index];
    std::size_t end = segmentEnd(index);
    if (end > start && m_text[end - 1] == '\n') {
        --end;
        if (end > start && m_text[end - 1] == '\r')
            --end;
    } else if (end > start && m_text[end - 1] == '\r') {
        --end;
    }
    return end;
}

std::string_view ReportDocument::line(std::size_t index) const
{
    if (index >= m_starts.size())
        return {};
    const std::size_t start = m_starts[index];
    const std::size_t length = std::min(contentEnd(index) - start, kMaxLineLength);
    return std::string_view(m_text).substr(start, length);
}

void ReportDocument::indexFrom(std::size_t position)
{
    m_starts.erase(std::lower_bound(m_starts.begin(), m_starts.end(), position), m_starts.end());
    const char *const text = m_text.data();
    const std::size_t size = m_text.size();
    while (position < size) {
        m_starts.push_back(position);
        while (position < size && !isBreak(text[position]))
            ++position;
        if (position == size)
            break;
        // CR LF is one line break; LF CR is two.
        ++position;
        if (text[position - 1] == '\r' && position < size && text[position] == '\n')
            ++position;
    }
}

void ReportDocument::appendLine(std::string_view line)
{
    const bool afterBreak = m_text.empty() || isBreak(m_text.back());
    if (afterBreak && std::none_of(line.begin(), line.end(), isBreak)) {
        // The usual case, a prediction's line: it begins where the text ends.
        m_starts.push_back(m_text.size());
        m_text += line;
        m_text += "\r\n";
        return;
    }
    // Otherwise the last line is indexed again with the new text, so that a line holding a
    // break, or a final CR meeting a leading LF, still gives the lines the text shows.
    const std::size_t lastStart = m_starts.empty() ? 0 : m_starts.back();
    if (afterBreak) {
        m_text += line;
        m_text += "\r\n";
    } else {
        // The user removed the final line break: the new line goes after one, and the text
        // still ends without a break.
        m_text += "\r\n";
        m_text += line;
    }
    indexFrom(lastStart);
}

void ReportDocument::deleteLine(std::size_t index)
{
    if (index >= m_starts.size())
        return;
    const std::size_t start = m_starts[index];
    m_text.erase(start, segmentEnd(index) - start);
    // A CR that ended the line before may now meet an LF and become one break with it, so the
    // text is indexed again from the line before.
    indexFrom(index == 0 ? 0 : m_starts[index - 1]);
}

void ReportDocument::reserve(std::size_t bytes, std::size_t lines)
{
    m_text.reserve(bytes);
    m_starts.reserve(lines);
}

std::size_t ReportDocument::retainLines(const std::vector<bool> &keep)
{
    const std::size_t lineCount = m_starts.size();
    std::size_t first = 0;
    while (first < lineCount && keep[first])
        ++first;
    if (first == lineCount)
        return 0;
    // The kept lines move down over the deleted ones, each with its own line break; the index
    // is rebuilt as they go.
    char *const text = m_text.data();
    std::size_t write = m_starts[first];
    std::size_t kept = first;
    for (std::size_t index = first; index < lineCount; ++index) {
        if (!keep[index])
            continue;
        const std::size_t start = m_starts[index];
        const std::size_t length = segmentEnd(index) - start;
        // An empty line ended by LF right after a line ended by a lone CR joins that break: it
        // is a line no more.
        const bool joinsBreak = write > 0 && text[write - 1] == '\r' && text[start] == '\n';
        if (write != start)
            std::memmove(text + write, text + start, length);
        if (!joinsBreak)
            m_starts[kept++] = write;
        write += length;
    }
    m_text.resize(write);
    m_starts.resize(kept);
    return lineCount - kept;
}

CleanUpSummary cleanUpReport(ReportDocument &document)
{
    const std::size_t before = document.count();
    std::vector<bool> keep(before, false);
    CleanUp cleanUp;
    const auto mark = [&keep](std::size_t index, std::string_view) { keep[index] = true; };
    for (std::size_t index = 0; index < before; ++index)
        cleanUp.line(document.line(index), mark);
    cleanUp.finish(mark);
    document.retainLines(keep);

    const CleanUpSummary summary = CleanUp::summary(
        static_cast<long long>(before), static_cast<long long>(document.count()));
    for (const std::string &line : CleanUp::summaryLines(summary))
        document.appendLine(line);
    return summary;
}

namespace {

    // Lines as ReportDocument counts them: every LF ends one, so does a CR without an LF after
    // it, and a last line without a break counts too. A report has hundreds of megabytes: the
    // breaks are counted 16 bytes at a time where the processor can.
    std::size_t countLines(std::string_view text)
    {
        std::size_t breaks = 0;
        const char *const data = text.data();
        const std::size_t size = text.size();
        std::size_t at = 0;
#if defined(__SSE2__)
        // Each byte counter of lf, cr and crlf counts up to 255 blocks before it is added up.
        const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
        const auto total = [](__m128i counts) {
            const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
            return std::size_t(_mm_cvtsi128_si64(sums))
                + std::size_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
        };
        while (at + 17 <= size) {
            __m128i lfs = _mm_setzero_si128(), crs = lfs, pairs = lfs;
            for (int block = 0; block < 255 && at + 17 <= size; ++block, at += 16) {
                const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at));
                const __m128i next
                    = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at + 1));
                const __m128i isCr = _mm_cmpeq_epi8(here, cr);
                lfs = _mm_sub_epi8(lfs, _mm_cmpeq_epi8(here, lf));
                crs = _mm_sub_epi8(crs, isCr);
                pairs = _mm_sub_epi8(pairs, _mm_and_si128(isCr, _mm_cmpeq_epi8(next, lf)));
            }
            breaks += total(lfs) + total(crs) - total(pairs);
        }
#endif
        for (; at + 1 < size; ++at)
            breaks += (data[at] == '\n') + (data[at] == '\r' && data[at + 1] != '\n');
        // The last byte is a break (LF, or CR with nothing after it) or ends a last line.
        return size > 0 ? breaks + 1 : 0;
    }

    // Where the line after the one beginning at start begins (or the end of the text).
    std::size_t nextLineStart(std::string_view text, std::size_t start)
    {
        std::size_t at = start;
        while (at < text.size() && !isBreak(text[at]))
            ++at;
        if (at == text.size())
            return at;
        ++at;
        if (text[at - 1] == '\r' && at < text.size() && text[at] == '\n')
            ++at;
        return at;
    }

} // namespace

CleanUpEdit cleanUpEdit(std::string_view text)
{
    constexpr std::size_t kHeaderLines = 7;
    const std::size_t before = countLines(text);
    CleanUpEdit edit;
    edit.from = text.size();
    std::size_t after = before;

    // The first removed line: a line after the header block whose first 4096 characters hold
    // "FALSO", in a report of more than 8 lines. The word holds no line break, so the first
    // one found in a line is that line's first.
    std::size_t previousStart = 0, lineStart = 0, index = 0;
    std::optional<std::size_t> first;
    if (before > kHeaderLines + 1) {
        for (; index < kHeaderLines; ++index) {
            previousStart = lineStart;
            lineStart = nextLineStart(text, lineStart);
        }
        std::size_t search = lineStart;
        for (;;) {
            const std::size_t hit = text.find("FALSO", search);
            if (hit == std::string_view::npos)
                break;
            std::size_t next = nextLineStart(text, lineStart);
            while (next <= hit) {
                previousStart = lineStart;
                lineStart = next;
                ++index;
                next = nextLineStart(text, lineStart);
            }
            if (hit + 5 - lineStart <= kMaxLineLength) {
                first = index;
                break;
            }
            search = next; // only the line's first 4096 characters are read
        }
    }

    ReportDocument tail;
    if (first) {
        // From the line before the first removed one, which stays: a break it ends with may
        // join a line moved up after it, as in the whole document.
        edit.from = previousStart;
        tail.setText(std::string(text.substr(previousStart)));
        std::vector<bool> keep(tail.count(), true);
        for (std::size_t line = 1; line < keep.size(); ++line)
            keep[line] = !CleanUp::removes(tail.line(line));
        tail.retainLines(keep);
        after = (*first - 1) + tail.count();
    } else if (!text.empty() && !isBreak(text.back())) {
        // The summary goes after the last line's missing break, as appendLine() puts it.
        edit.from = text.size() - 1;
        tail.setText(std::string(text.substr(edit.from)));
    }
    edit.summary = CleanUp::summary(static_cast<long long>(before), static_cast<long long>(after));
    for (const std::string &line : CleanUp::summaryLines(edit.summary))
        tail.appendLine(line);
    edit.tail = tail.text();
    return edit;
}

} // namespace koravel
