// The double-cross and three-way predictions: enumeration of the candidates, lookups of their
// single crosses, mean and CV in extended precision, one report line each.
#include "prediction/prediction.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "table/cell_grid.h"
#include "numtext/error.h"
#include "progress.h"
#include "report/report_format.h"
#include "prediction/single_cross_index.h"

namespace koravel {

namespace {

    // A single cross as a candidate sees it: its value (0 when absent) and that value's text.
    struct FoundCross
    {
        double value;
        std::string_view text;
    };

    // The reference: ExisteHS, then ValorHS, for every single cross of every candidate.
    class ScanLookups
    {
    public:
        ScanLookups(const PredictionInput &input, std::int64_t)
            : m_input(input)
        {
        }

        FoundCross get(std::size_t slot, std::int64_t a, std::int64_t b)
        {
            const auto pa = std::int32_t(a);
            const auto pb = std::int32_t(b);
            const double value =
                ExisteHS(pa, pb, m_input.grid, m_input.reciprocals, m_input.settings)
                ? ValorHS(pa, pb, m_input.grid, m_input.reciprocals, m_input.settings)
                : 0.0;
            std::string &text = m_texts[slot];
            text.clear();
            appendFloatToStr(text, value, m_input.settings);
            return { value, text };
        }

    private:
        const PredictionInput &m_input;
        std::array<std::string, 4> m_texts; // one per single cross of a candidate
    };

    // The fast path: each pair's answer and text are worked out once by the index; for the
    // usual numbers of lines they are also kept here in a square table, read without a call.
    class IndexedLookups
    {
    public:
        IndexedLookups(const PredictionInput &input, std::int64_t n)
            : m_index(input.grid, input.reciprocals, input.settings)
        {
            if (n >= 1 && n <= kMaxTableLines) {
                m_side = std::size_t(n);
                m_table.resize(m_side * m_side);
            }
        }

        // a and b are lines of the run, 1 to n.
        FoundCross get(std::size_t, std::int64_t a, std::int64_t b)
        {
            if (m_side == 0)
                return find(a, b);
            FoundCross &kept = m_table[std::size_t(a - 1) * m_side + std::size_t(b - 1)];
            if (kept.text.data() == nullptr) [[unlikely]]
                kept = find(a, b); // an error leaves the pair unknown and ends the run
            return kept;
        }

    private:
        static constexpr std::int64_t kMaxTableLines = 512;

        FoundCross find(std::int64_t a, std::int64_t b) const
        {
            const auto found = m_index.lookup(std::int32_t(a), std::int32_t(b));
            return { found.value, found.text };
        }

        SingleCrossIndex m_index;
        std::size_t m_side = 0;
        std::vector<FoundCross> m_table; // (a - 1) * m_side + (b - 1); no text: not yet asked
    };

    // A candidate's statistics, and, when the quick computation settled it, its CV as "0.0"
    // rounds it: a whole number of tenths.
    struct Statistics
    {
        CandidateStatistics values;
        bool tenthsKnown = false;
        std::uint64_t cvTenths = 0;
    };

    // Rounding an extended result to double for storing it; beyond the double range it is an
    // overflow. Kept inline: the run does this twice for each of millions of candidates.
    inline double storeDouble(long double value)
    {
        const double stored = static_cast<double>(value);
        if (std::isinf(stored)) [[unlikely]]
            throw Error(std::string(kFloatingPointOverflow));
        return stored;
    }

    template <std::size_t N> bool hasZero(const std::array<double, N> &values)
    {
        for (const double value : values) {
            if (value == 0.0)
                return true;
        }
        return false;
    }

    // The mean, summed left to right in extended precision and stored as a double. The sum of
    // doubles cannot leave the extended range, and dividing it by 2 or 4 is exact there, so the
    // scaling by 1/N is the same operation as the division.
    template <std::size_t N> double meanOf(const std::array<double, N> &values)
    {
        static_assert(N == 2 || N == 4);
        long double sum = values[0];
        for (std::size_t v = 1; v < N; ++v)
            sum += values[v];
        return storeDouble(sum * (1.0L / N));
    }

    // The CV as the rule has it: squared deviations from the stored mean summed in order,
    // divided by N - 1, square root, divided by the mean, times 100, all in extended precision,
    // then stored as a double.
    template <std::size_t N> double exactCv(const std::array<double, N> &values, double mean)
    {
        long double squares = 0.0L;
        for (const double value : values) {
            const long double deviation = value - static_cast<long double>(mean);
            squares += deviation * deviation;
        }
        return storeDouble(std::sqrt(squares / static_cast<long double>(N - 1)) / mean * 100.0L);
    }

    // The same CV with doubles, about four times quicker than the extended operations, kept
    // only where it is certain to print the same with "0.0". With every magnitude between
    // 1e-100 and 1e100 nothing underflows or overflows, and the result is within about ten
    // units in the last place (1e-15 relative) of the exact CV. "0.0" changes its text only
    // where ten times the value crosses a half (judged on 18 digits, 5e-18 relative), so a
    // result farther than 1e-12 relative from every half prints as the exact CV would. The
    // others, and CVs of 1e11 or more, take the exact computation.
    template <std::size_t N>
    bool quickCv(const std::array<double, N> &values, double mean, Statistics &out)
    {
        constexpr double kLow = 1e-100, kHigh = 1e100;
        const double meanMagnitude = std::fabs(mean);
        bool inRange = meanMagnitude >= kLow && meanMagnitude <= kHigh;
        double squares = 0.0;
        for (const double value : values) {
            const double magnitude = std::fabs(value);
            inRange &= magnitude >= kLow && magnitude <= kHigh;
            const double deviation = value - mean;
            squares += deviation * deviation;
        }
        if (!inRange)
            return false;
        // 100 / mean is worked out while the squares are summed.
        const double scale = 100.0 / mean;
        const double quick = std::sqrt(squares * (1.0 / double(N - 1))) * scale;
        const double tenths = std::fabs(quick) * 10.0;
        if (!(tenths < 1e12))
            return false;
        const double whole = std::floor(tenths);
        if (std::fabs(tenths - (whole + 0.5)) <= (tenths + 1.0) * 1e-12)
            return false;
        out.values.cv = quick;
        out.tenthsKnown = true;
        out.cvTenths = std::uint64_t(whole) + (tenths - whole > 0.5 ? 1 : 0);
        return true;
    }

    // A zero among the values makes the candidate FALSO; a mean of exactly 0 divides by zero.
    template <std::size_t N> Statistics statistics(const std::array<double, N> &values)
    {
        Statistics out;
        if (hasZero(values)) {
            out.values = { true, 0.0, 0.0 };
            out.tenthsKnown = true;
            return out;
        }
        out.values.falso = false;
        out.values.mean = meanOf(values);
        if (out.values.mean == 0.0)
            throw Error(std::string(kFloatingPointDivisionByZero));
        if (!quickCv(values, out.values.mean, out))
            out.values.cv = exactCv(values, out.values.mean);
        return out;
    }

    // What statistics() would raise, without the square root and divisions when they cannot
    // fail. Each |value - mean| is at most about 2 * max|value|, so the CV is at most
    // 283 * max|value| / |mean| (231 for four values). Whenever |mean| > max|value| * 1e-305 that
    // stays below 6e307, also allowing for the rounding of the product among the denormals (a
    // product below half the smallest double is 0 and any non-zero mean passes); only the other
    // candidates need the exact computation.
    template <std::size_t N> void checkStatistics(const std::array<double, N> &values)
    {
        if (hasZero(values))
            return;
        const double mean = meanOf(values);
        double largest = 0.0;
        for (const double value : values)
            largest = std::max(largest, std::fabs(value));
        if (mean != 0.0 && std::fabs(mean) > largest * 1e-305)
            return;
        statistics(values);
    }

    int clampToInt(std::int64_t value)
    {
        return int(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
    }

    // The texts of the means with "0.000". With single-cross values of a few decimals the same
    // means come back again and again, and the text depends on the value alone: it is written
    // once and kept in a small table addressed by the value's bits.
    class MeanTexts
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
        static constexpr int kSlotBits = 10;
        static constexpr std::size_t kSlots = std::size_t(1) << kSlotBits;
        struct Slot
        {
            std::uint64_t bits = 0;
            std::uint8_t size = 0; // 0: empty
            char text[31];
        };
        const FormatSettings &m_settings;
        std::vector<Slot> m_slots;
        std::string m_scratch;
    };

    // Where the candidate lines go: the report, or nowhere when the run is only a check.
    class LineOutput
    {
    public:
        LineOutput(ReportSink *report, const FormatSettings &settings)
            : m_report(report)
            , m_settings(settings)
            , m_means(settings)
        {
            m_line.reserve(256);
        }

        bool writes() const { return m_report != nullptr; }

        void doubleCross(std::int64_t i, std::int64_t j, std::int64_t k, std::int64_t l,
            const Statistics &stats, const std::array<std::string_view, 4> &texts)
        {
            writeCv(stats);
            m_line.clear();
            appendDoubleCrossLine(m_line, stats.values.falso, int(i), int(j), int(k), int(l),
                m_means.text(stats.values.mean), m_cv, texts);
            m_report->appendLine(m_line);
            m_report->show();
        }

        void threeWayCross(std::int64_t i, std::int64_t j, std::int64_t k, const Statistics &stats,
            const std::array<std::string_view, 2> &texts)
        {
            writeCv(stats);
            m_line.clear();
            appendThreeWayCrossLine(m_line, stats.values.falso, int(i), int(j), int(k),
                m_means.text(stats.values.mean), m_cv, texts);
            m_report->appendLine(m_line);
            m_report->show();
        }

    private:
        // The CV with "0.0": from its tenths when they are known (no sign for 0.0), else by
        // the pattern's own rounding.
        void writeCv(const Statistics &stats)
        {
            m_cv.clear();
            if (!stats.tenthsKnown) {
                appendFormatFloat(m_cv, FixedPattern::OneDecimal, stats.values.cv, m_settings);
                return;
            }
            char buffer[32];
            char *const end = buffer + sizeof buffer;
            char *p = end;
            std::uint64_t tenths = stats.cvTenths;
            *--p = char('0' + tenths % 10);
            *--p = m_settings.decimalSeparator;
            tenths /= 10;
            do {
                *--p = char('0' + tenths % 10);
                tenths /= 10;
            } while (tenths != 0);
            if (stats.values.cv < 0 && stats.cvTenths != 0)
                *--p = '-';
            m_cv.append(p, end);
        }

        ReportSink *m_report;
        const FormatSettings &m_settings;
        MeanTexts m_means;
        std::string m_cv;
        std::string m_line; // reused for every line
    };

    // The position is i while a candidate of the outer loop's i is computed and 0 after every
    // combination. Only the changes are made: i at the first candidate of each i, and 0 once the
    // loops are done, which leaves the same position at an error and at the end.
    class ProgressTracker
    {
    public:
        explicit ProgressTracker(ProgressBar &progress)
            : m_progress(progress)
        {
        }

        void candidate(std::int64_t i)
        {
            if (i != m_shown) {
                m_progress.setPosition(int(i));
                m_shown = i;
            }
        }
        void finished() { m_progress.setPosition(0); }

    private:
        ProgressBar &m_progress;
        std::int64_t m_shown = 0;
    };

    // Candidates (i x j)(k x l) with i < j, i < k < l, j not k nor l, i outermost, then j, k, l
    // ascending: the order of the four nested loops over 1..n with the tests, without the
    // combinations that fail them.
    template <class Lookups>
    void runDoubleCrosses(
        std::int64_t n, Lookups &lookups, LineOutput &output, ProgressBar &progress)
    {
        if (n - 3 < 1)
            return; // the outer loop is empty: the position stays as it was
        ProgressTracker tracker(progress);
        for (std::int64_t i = 1; i <= n - 3; ++i) {
            for (std::int64_t j = i + 1; j <= n; ++j) {
                for (std::int64_t k = i + 1; k <= n; ++k) {
                    if (k == j)
                        continue;
                    for (std::int64_t l = k + 1; l <= n; ++l) {
                        if (l == j)
                            continue;
                        tracker.candidate(i);
                        const FoundCross ik = lookups.get(0, i, k);
                        const FoundCross il = lookups.get(1, i, l);
                        const FoundCross jk = lookups.get(2, j, k);
                        const FoundCross jl = lookups.get(3, j, l);
                        const std::array<double, 4> values { ik.value, il.value, jk.value,
                            jl.value };
                        if (!output.writes()) {
                            checkStatistics(values);
                            continue;
                        }
                        output.doubleCross(
                            i, j, k, l, statistics(values), { ik.text, il.text, jk.text, jl.text });
                    }
                }
            }
        }
        tracker.finished();
    }

    // Candidates (i x j) k with i < j and k neither i nor j, i outermost, then j, k ascending.
    template <class Lookups>
    void runThreeWayCrosses(
        std::int64_t n, Lookups &lookups, LineOutput &output, ProgressBar &progress)
    {
        if (n - 1 < 1)
            return;
        ProgressTracker tracker(progress);
        for (std::int64_t i = 1; i <= n - 1; ++i) {
            for (std::int64_t j = i + 1; j <= n; ++j) {
                for (std::int64_t k = 1; k <= n; ++k) {
                    if (k == i || k == j)
                        continue;
                    tracker.candidate(i);
                    const FoundCross ik = lookups.get(0, i, k);
                    const FoundCross jk = lookups.get(1, j, k);
                    const std::array<double, 2> values { ik.value, jk.value };
                    if (!output.writes()) {
                        checkStatistics(values);
                        continue;
                    }
                    output.threeWayCross(i, j, k, statistics(values), { ik.text, jk.text });
                }
            }
        }
        tracker.finished();
    }

    // A check over a table whose every cell converts: no lookup can raise, and a candidate
    // with a line that is in no row of the table has a missing single cross, so it is FALSO and
    // cannot fail either. Only the candidates of the given lines (ascending, within 1..n) are
    // computed, in the run's order, which keeps the first failure the run would meet; a large
    // n with a small table is then checked at once instead of walking every combination.
    template <std::size_t N>
    void checkTableLines(const std::vector<std::int32_t> &lines, const SingleCrossIndex &index)
    {
        const std::size_t m = lines.size();
        // The values are read once into a square when it is small enough; no lookup can raise
        // here, so reading them ahead changes nothing.
        constexpr std::size_t kSquareSide = 2048;
        std::vector<double> square;
        if (m <= kSquareSide) {
            square.resize(m * m);
            for (std::size_t a = 0; a < m; ++a) {
                for (std::size_t b = 0; b < m; ++b)
                    square[a * m + b] = a == b ? 0.0 : index.lookup(lines[a], lines[b]).value;
            }
        }
        const auto value = [&](std::size_t a, std::size_t b) {
            return square.empty() ? index.lookup(lines[a], lines[b]).value : square[a * m + b];
        };
        for (std::size_t i = 0; i + (N == 4 ? 3 : 1) < m; ++i) {
            for (std::size_t j = i + 1; j < m; ++j) {
                if constexpr (N == 4) {
                    for (std::size_t k = i + 1; k < m; ++k) {
                        if (k == j)
                            continue;
                        for (std::size_t l = k + 1; l < m; ++l) {
                            if (l != j)
                                checkStatistics(std::array<double, 4> {
                                    value(i, k), value(i, l), value(j, k), value(j, l) });
                        }
                    }
                } else {
                    for (std::size_t k = 0; k < m; ++k) {
                        if (k != i && k != j)
                            checkStatistics(std::array<double, 2> { value(i, k), value(j, k) });
                    }
                }
            }
        }
    }

    // The lines of the table among 1..n, or nothing when some cell does not convert (a check
    // must then take every lookup in the run's order to meet the same error).
    std::optional<std::vector<std::int32_t>> checkedLines(
        const SingleCrossIndex &index, std::int32_t n)
    {
        if (!index.convertsEverywhere())
            return std::nullopt;
        std::vector<std::int32_t> lines = index.parents();
        std::erase_if(lines, [n](std::int32_t line) { return line < 1 || line > n; });
        return lines;
    }

    struct Plan
    {
        HybridKind kind;
        int minimumLines;
        const char *minimumMessage;
        int progressOffset; // the progress maximum is n minus this
    };

    constexpr Plan kDoubleCrossPlan { HybridKind::DoubleCross, 4, kMinimumDoubleCrossMessage, 3 };
    constexpr Plan kThreeWayPlan { HybridKind::ThreeWayCross, 3, kMinimumThreeWayMessage, 1 };

    template <class Lookups>
    void runCandidates(const Plan &plan, std::int64_t n, const PredictionInput &input,
        LineOutput &output, ProgressBar &progress)
    {
        Lookups lookups(input, n);
        if (plan.kind == HybridKind::DoubleCross)
            runDoubleCrosses(n, lookups, output, progress);
        else
            runThreeWayCrosses(n, lookups, output, progress);
    }

    // Both runs and both checks: report is null for a check, which writes nothing.
    void run(const Plan &plan, const PredictionInput &input, ReportSink *report,
        ProgressBar &progress, MessageSink *messages, LookupMethod method)
    {
        const std::int32_t n = input.lines.count();
        if (n < plan.minimumLines && messages)
            messages->information(plan.minimumMessage);
        if (report) {
            report->clear();
            for (const std::string_view line : headerBlock(plan.kind))
                report->appendLine(line);
        }
        progress.setMaximum(clampToInt(std::int64_t(n) - plan.progressOffset));
        if (!report && method == LookupMethod::Indexed) {
            const SingleCrossIndex index(input.grid, input.reciprocals, input.settings);
            if (const auto lines = checkedLines(index, n)) {
                if (plan.kind == HybridKind::DoubleCross)
                    checkTableLines<4>(*lines, index);
                else
                    checkTableLines<2>(*lines, index);
                return;
            }
        }
        LineOutput output(report, input.settings);
        if (method == LookupMethod::Indexed)
            runCandidates<IndexedLookups>(plan, n, input, output, progress);
        else
            runCandidates<ScanLookups>(plan, n, input, output, progress);
        if (report)
            report->appendLine(reportRule());
    }

} // namespace

CandidateStatistics candidateStatistics(std::span<const double> values)
{
    if (values.size() == 4)
        return statistics(std::array<double, 4> { values[0], values[1], values[2], values[3] })
            .values;
    if (values.size() == 2)
        return statistics(std::array<double, 2> { values[0], values[1] }).values;
    throw std::invalid_argument("candidateStatistics takes two or four values");
}

void predictDoubleCrosses(const PredictionInput &input, ReportSink &report, ProgressBar &progress,
    MessageSink &messages, LookupMethod method)
{
    run(kDoubleCrossPlan, input, &report, progress, &messages, method);
}

void predictThreeWayCrosses(const PredictionInput &input, ReportSink &report, ProgressBar &progress,
    MessageSink &messages, LookupMethod method)
{
    run(kThreeWayPlan, input, &report, progress, &messages, method);
}

void checkDoubleCrosses(const PredictionInput &input, MessageSink *messages, LookupMethod method)
{
    ProgressBar progress; // refuses the same maximum as the window's bar
    run(kDoubleCrossPlan, input, nullptr, progress, messages, method);
}

void checkThreeWayCrosses(const PredictionInput &input, MessageSink *messages, LookupMethod method)
{
    ProgressBar progress;
    run(kThreeWayPlan, input, nullptr, progress, messages, method);
}

} // namespace koravel
