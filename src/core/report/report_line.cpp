// The report's candidate lines: records written as lines, and lines read back as records.
#include "report/report_line.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "numtext/error.h"
#include "report/report_format.h"

namespace koravel {

namespace {

    // Reads the text piece by piece; every step either consumes what it expects or fails.
    class LineReader
    {
    public:
        explicit LineReader(std::string_view text)
            : m_rest(text)
        {
        }
        bool literal(std::string_view expected)
        {
            if (!m_rest.starts_with(expected))
                return false;
            m_rest.remove_prefix(expected.size());
            return true;
        }
        // A line number as the report writes it: decimal digits, no sign, no leading zero.
        bool lineNumber(int &value)
        {
            if (m_rest.empty() || m_rest.front() < '1' || m_rest.front() > '9')
                return false;
            const auto [end, error] =
                std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), value);
            if (error != std::errc())
                return false;
            m_rest.remove_prefix(std::size_t(end - m_rest.data()));
            return true;
        }
        // A tab, then a field up to the next tab or the end.
        bool field(std::string_view &value)
        {
            if (!literal("\t"))
                return false;
            const std::size_t end = m_rest.find('\t');
            value = m_rest.substr(0, end);
            m_rest.remove_prefix(value.size());
            return !value.empty();
        }
        bool atEnd() const { return m_rest.empty(); }

    private:
        std::string_view m_rest;
    };

    bool readReal(std::string_view text, const FormatSettings &settings, double &value)
    {
        try {
            value = roundToDouble(strToFloat(text, settings));
            return true;
        } catch (const Error &) {
            return false;
        }
    }

    // A CV with "0.0" from its tenths, when they are known: no sign for 0.0.
    class CvText
    {
    public:
        CvText(const Candidate &c, const FormatSettings &settings)
        {
            if (!c.cvTenthsKnown)
                return;
            char *const end = m_buffer + kEnd;
            char *p = end;
            std::uint64_t tenths = c.cvTenths;
            *--p = char('0' + tenths % 10);
            *--p = settings.decimalSeparator;
            tenths /= 10;
            do {
                *--p = char('0' + tenths % 10);
                tenths /= 10;
            } while (tenths != 0);
            if (c.cv < 0 && c.cvTenths != 0)
                *--p = '-';
            m_begin = p;
        }
        // At least 16 bytes may be read from its beginning.
        std::string_view view() const { return { m_begin, std::size_t(m_buffer + kEnd - m_begin) }; }

    private:
        static constexpr std::size_t kEnd = 32;
        char m_buffer[kEnd + 16] = {};
        char *m_begin = m_buffer + kEnd;
    };

    // A mean with "0.000" worked out with doubles where that is certain to give the pattern's
    // text: |mean| * 1000 below 1e12 and farther than 1e-12 relative from a half, so that
    // neither the product's rounding nor the pattern's 18 digits can move it across one
    // (halves go away from zero; no sign when it shows 0.000). Returns the end of the text
    // written at out (at most 18 bytes), or null when the pattern's own rounding must decide.
    //   5.3125 -> null (a half)      7.44 -> "7.440"      -0.0004 -> "0.000"
    inline char *quickMeanText(double mean, char separator, char *out)
    {
        const double thousandths = std::fabs(mean) * 1000.0;
        if (!(thousandths < 1e12))
            return nullptr;
        const double whole = std::floor(thousandths);
        if (std::fabs(thousandths - (whole + 0.5)) <= (thousandths + 1.0) * 1e-12)
            return nullptr;
        const auto rounded = std::uint64_t(whole) + (thousandths - whole > 0.5 ? 1 : 0);
        if (mean < 0 && rounded != 0)
            *out++ = '-';
        out = std::to_chars(out, out + 13, rounded / 1000).ptr;
        const auto decimals = unsigned(rounded % 1000);
        out[0] = separator;
        out[1] = char('0' + decimals / 100);
        out[2] = char('0' + decimals / 10 % 10);
        out[3] = char('0' + decimals % 10);
        return out + 4;
    }

    // Copies a piece of at most 16 bytes as 16, when 16 may be read from it and written to the
    // destination: one move instead of a loop of unpredictable length.
    inline char *putShort(char *out, std::string_view piece)
    {
        if (piece.size() <= 16) [[likely]] {
            std::memcpy(out, piece.data(), 16);
            return out + piece.size();
        }
        return std::copy(piece.begin(), piece.end(), out);
    }

} // namespace

// The texts of the means with "0.000". With single-cross values of a few decimals the same
// means come back again and again, and the text depends on the value alone: it is written once
// and kept in a small table addressed by the value's bits.
class ReportLineWriter::MeanTexts
{
public:
    explicit MeanTexts(const FormatSettings &settings)
        : m_settings(settings)
        , m_slots(kSlots)
    {
    }

    std::string_view text(double mean)
    {
        const auto bits = std::bit_cast<std::uint64_t>(mean);
        Slot &slot = m_slots[(bits * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits)];
        if (slot.size != 0 && slot.bits == bits)
            return { slot.text, slot.size };
        m_scratch.clear();
        appendFormatFloat(m_scratch, FixedPattern::ThreeDecimals, mean, m_settings);
        if (m_scratch.size() > sizeof slot.text)
            return m_scratch; // a mean of 10^28 or more: rare enough to write every time
        slot.bits = bits;
        slot.size = std::uint8_t(m_scratch.size());
        std::copy(m_scratch.begin(), m_scratch.end(), slot.text);
        return { slot.text, slot.size };
    }

private:
    // Single-cross values of two decimals give a few thousand means; the table holds them all.
    static constexpr int kSlotBits = 13;
    static constexpr std::size_t kSlots = std::size_t(1) << kSlotBits;
    struct Slot
    {
        std::uint64_t bits = 0;
        std::uint8_t size = 0; // 0: empty
        char text[31];
    };
    FormatSettings m_settings;
    std::vector<Slot> m_slots;
    std::string m_scratch;
};

ReportLineWriter::ReportLineWriter(ReportSink &report, const FormatSettings &settings)
    : m_report(report)
    , m_settings(settings)
    , m_means(std::make_unique<MeanTexts>(settings))
{
    m_line.reserve(256);
}

ReportLineWriter::~ReportLineWriter() = default;

void ReportLineWriter::begin(HybridKind kind)
{
    m_report.clear();
    for (const std::string_view line : headerBlock(kind))
        m_report.appendLine(line);
}

void ReportLineWriter::candidate(const Candidate &c)
{
    writeCv(c);
    m_line.clear();
    const auto &x = c.crosses;
    const std::string_view mean = m_means->text(c.mean);
    if (c.kind == HybridKind::DoubleCross)
        appendDoubleCrossLine(m_line, c.falso, c.parents[0], c.parents[1], c.parents[2],
            c.parents[3], mean, m_cv, { x[0].text, x[1].text, x[2].text, x[3].text });
    else
        appendThreeWayCrossLine(m_line, c.falso, c.parents[0], c.parents[1], c.parents[2], mean,
            m_cv, { x[0].text, x[1].text });
    m_report.appendLine(m_line);
    m_report.show();
}

void ReportLineWriter::end()
{
    m_report.appendLine(reportRule());
}

// The CV with "0.0": from its tenths when they are known (no sign for 0.0), else by the
// pattern's own rounding.
void ReportLineWriter::writeCv(const Candidate &c)
{
    m_cv.clear();
    if (!c.cvTenthsKnown) {
        appendFormatFloat(m_cv, FixedPattern::OneDecimal, c.cv, m_settings);
        return;
    }
    CvText text(c, m_settings);
    m_cv.append(text.view());
}

// The lines of a block of candidates, written straight into one buffer with their CR LF: the
// same pieces as candidate() puts together, without a string per line.
class ReportLineWriter::LineBatch final : public CandidateBatch
{
public:
    LineBatch(const FormatSettings &settings, const BlockForm &form)
        : m_settings(settings)
        , m_form(form)
        , m_means(settings)
        , m_tenths(kKeptTenths)
        , m_tenthsSize(kKeptTenths)
    {
        // The texts of the CVs from 0.0 to 999.9 and of the line numbers up to 999, the ones
        // that come again and again, written once.
        Candidate cv;
        cv.cvTenthsKnown = true;
        for (std::uint64_t tenths = 0; tenths < kKeptTenths; ++tenths) {
            cv.cvTenths = tenths;
            const CvText formatted(cv, settings);
            const std::string_view text = formatted.view();
            std::copy(text.begin(), text.end(), m_tenths[tenths].begin());
            m_tenthsSize[tenths] = std::uint8_t(text.size());
        }
        for (int number = 0; number < kKeptNumbers; ++number) {
            char *const begin = m_numbers[std::size_t(number)].data();
            m_numbersSize[std::size_t(number)]
                = std::uint8_t(std::to_chars(begin, begin + 4, number).ptr - begin);
        }
    }

    void clear() override
    {
        m_used = 0;
        m_lines = 0;
        m_falso = 0;
    }

    void candidate(const Candidate &c) override
    {
        if (c.falso) {
            ++m_falso;
            if (m_form.withoutFalso)
                return;
        }
        char quickMean[32];
        const char *const quickEnd = quickMeanText(c.mean, m_settings.decimalSeparator, quickMean);
        const std::string_view mean = quickEnd
            ? std::string_view(quickMean, std::size_t(quickEnd - quickMean))
            : m_means.text(c.mean);
        std::string cvFormatted;
        std::string_view cv;
        std::optional<CvText> cvTenths;
        if (c.cvTenthsKnown && c.cvTenths < kKeptTenths && (c.cv >= 0 || c.cvTenths == 0)) {
            cv = { m_tenths[c.cvTenths].data(), m_tenthsSize[c.cvTenths] };
        } else if (c.cvTenthsKnown) {
            cv = cvTenths.emplace(c, m_settings).view();
        } else {
            appendFormatFloat(cvFormatted, FixedPattern::OneDecimal, c.cv, m_settings);
            cv = cvFormatted;
        }
        const std::size_t count = valueCount(c.kind);
        std::size_t bound = 96 + mean.size() + cv.size() + 16;
        for (std::size_t v = 0; v < count; ++v)
            bound += c.crosses[v].text.size() + 1;
        char *p = room(bound);
        const auto put = [&p](std::string_view piece) {
            for (const char ch : piece)
                *p++ = ch;
        };
        const bool doubleCross = c.kind == HybridKind::DoubleCross;
        p = putShort(p, head(c));
        const std::int32_t last = c.parents[doubleCross ? 3 : 2];
        if (last >= 0 && last < kKeptNumbers) {
            std::memcpy(p, m_numbers[std::size_t(last)].data(), 4);
            p += m_numbersSize[std::size_t(last)];
        } else {
            p = std::to_chars(p, p + 11, last).ptr;
        }
        if (doubleCross)
            std::memcpy(p, ") =>\t", 5), p += 5;
        else
            std::memcpy(p, " =>\t", 4), p += 4;
        p = putShort(p, mean);
        *p++ = '\t';
        p = putShort(p, cv);
        for (std::size_t v = 0; v < count; ++v) {
            *p++ = '\t';
            if (c.paddedTexts)
                p = putShort(p, c.crosses[v].text);
            else
                put(c.crosses[v].text);
        }
        *p++ = '\r';
        *p++ = '\n';
        m_used = std::size_t(p - m_text.get());
        ++m_lines;
    }

    LineBlock block() const { return { { m_text.get(), m_used }, m_lines, m_falso }; }

private:
    // The beginning of the line up to its last line number, kept while it stays the same:
    // "HD (1x2)(3x" for the lines (1x2)(3x4) to (1x2)(3xn), "HT (1x2) " for (1x2) 3 to (1x2) n.
    std::string_view head(const Candidate &c)
    {
        const bool doubleCross = c.kind == HybridKind::DoubleCross;
        if (m_headSize != 0 && c.parents[0] == m_headKey[1] && c.parents[1] == m_headKey[2]
            && (doubleCross ? c.parents[2] : 0) == m_headKey[3]
            && (c.falso ? 1 : 0) == m_headKey[0] && doubleCross == m_headDoubleCross) [[likely]]
            return { m_head, m_headSize };
        return newHead(c);
    }

    std::string_view newHead(const Candidate &c)
    {
        const bool doubleCross = c.kind == HybridKind::DoubleCross;
        const std::array<std::int32_t, 4> key { c.falso ? 1 : 0, c.parents[0], c.parents[1],
            doubleCross ? c.parents[2] : 0 };
        {
            std::string text(c.falso ? "FALSO " : "");
            text += doubleCross ? "HD (" : "HT (";
            appendInt(text, c.parents[0]);
            text += 'x';
            appendInt(text, c.parents[1]);
            if (doubleCross) {
                text += ")(";
                appendInt(text, c.parents[2]);
                text += 'x';
            } else {
                text += ") ";
            }
            m_headSize = std::min(text.size(), sizeof m_head - 16);
            std::copy_n(text.begin(), m_headSize, m_head);
            m_headKey = key;
            m_headDoubleCross = doubleCross;
            if (text.size() > m_headSize) { // longer than any head of lines within 512
                m_headSize = 0;
                m_longHead = std::move(text);
                return m_longHead;
            }
        }
        return { m_head, m_headSize };
    }

    // Room for bytes more at the end of the text; the text so far is kept.
    char *room(std::size_t bytes)
    {
        if (m_capacity - m_used < bytes) {
            const std::size_t capacity = std::max(2 * m_capacity, m_used + bytes + (1 << 16));
            auto text = std::make_unique_for_overwrite<char[]>(capacity);
            std::copy(m_text.get(), m_text.get() + m_used, text.get());
            m_text = std::move(text);
            m_capacity = capacity;
        }
        return m_text.get() + m_used;
    }

    static constexpr std::uint64_t kKeptTenths = 10000;
    static constexpr int kKeptNumbers = 1000;

    FormatSettings m_settings;
    BlockForm m_form;
    MeanTexts m_means;
    std::vector<std::array<char, 16>> m_tenths; // read 16 bytes at a time
    std::vector<std::uint8_t> m_tenthsSize;
    std::array<std::array<char, 4>, kKeptNumbers> m_numbers {};
    std::array<std::uint8_t, kKeptNumbers> m_numbersSize {};
    char m_head[64] = {};
    std::size_t m_headSize = 0;
    std::array<std::int32_t, 4> m_headKey {};
    bool m_headDoubleCross = true;
    std::string m_longHead;
    std::unique_ptr<char[]> m_text;
    std::size_t m_capacity = 0;
    std::size_t m_used = 0;
    std::size_t m_lines = 0;
    std::size_t m_falso = 0;
};

std::unique_ptr<CandidateBatch> ReportLineWriter::batch()
{
    const std::optional<BlockForm> form = m_report.blockForm();
    if (!form)
        return nullptr;
    return std::make_unique<LineBatch>(m_settings, *form);
}

void ReportLineWriter::take(CandidateBatch &batch)
{
    const LineBlock block = static_cast<LineBatch &>(batch).block();
    m_report.appendBlock(block);
    if (block.lines + block.falso > 0)
        m_report.show();
}

std::optional<CandidateRecord> readCandidateLine(
    std::string_view line, const FormatSettings &settings)
{
    CandidateRecord candidate;
    LineReader reader(line);
    candidate.falso = reader.literal("FALSO ");
    std::array<int, 4> &p = candidate.parents;
    if (reader.literal("HD (")) {
        candidate.kind = HybridKind::DoubleCross;
        if (!(reader.lineNumber(p[0]) && reader.literal("x") && reader.lineNumber(p[1])
                && reader.literal(")(") && reader.lineNumber(p[2]) && reader.literal("x")
                && reader.lineNumber(p[3]) && reader.literal(") =>")))
            return std::nullopt;
    } else if (reader.literal("HT (")) {
        candidate.kind = HybridKind::ThreeWayCross;
        if (!(reader.lineNumber(p[0]) && reader.literal("x") && reader.lineNumber(p[1])
                && reader.literal(") ") && reader.lineNumber(p[2]) && reader.literal(" =>")))
            return std::nullopt;
    } else {
        return std::nullopt;
    }

    // The mean and the CV shown must be numbers, but the record takes them from the values, so
    // that a ranking does not depend on the three and one decimals the line shows.
    std::string_view text;
    double shown = 0;
    for (int i = 0; i < 2; ++i)
        if (!reader.field(text) || !readReal(text, settings, shown))
            return std::nullopt;
    const std::size_t count = valueCount(candidate.kind);
    for (std::size_t i = 0; i < count; ++i)
        if (!reader.field(text) || !readReal(text, settings, candidate.values[i]))
            return std::nullopt;
    if (!reader.atEnd())
        return std::nullopt;

    // A line marked FALSO has a value of 0 and only such a line has one; a line that says
    // otherwise was changed by hand, and no prediction writes a line whose mean is 0 or whose CV
    // overflows.
    if (!workOutStatistics(candidate))
        return std::nullopt;
    return candidate;
}

void predictDoubleCrosses(const PredictionInput &input, ReportSink &report, ProgressBar &progress,
    MessageSink &messages)
{
    ReportLineWriter writer(report, input.settings);
    predictDoubleCrosses(input, writer, progress, messages);
}

void predictThreeWayCrosses(const PredictionInput &input, ReportSink &report,
    ProgressBar &progress, MessageSink &messages)
{
    ReportLineWriter writer(report, input.settings);
    predictThreeWayCrosses(input, writer, progress, messages);
}

} // namespace koravel
