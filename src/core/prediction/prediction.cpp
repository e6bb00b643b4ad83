// The double-cross and three-way predictions: enumeration of the candidates, lookups of their
// single crosses, mean and CV in extended precision, one record each.
#include "prediction/prediction.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "table/cell_grid.h"
#include "numtext/error.h"
#include "progress.h"
#include "prediction/ordered_blocks.h"
#include "prediction/single_cross_index.h"

namespace koravel {

namespace {

    // A source given by the caller (the tests' reference scan), asked for every single cross.
    class SourceLookups
    {
    public:
        SourceLookups(CrossSource &source, std::int64_t)
            : m_source(source)
        {
        }
        SingleCrossValue get(std::int64_t a, std::int64_t b)
        {
            return m_source.find(std::int32_t(a), std::int32_t(b));
        }

    private:
        CrossSource &m_source;
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
        SingleCrossValue get(std::int64_t a, std::int64_t b)
        {
            if (m_side == 0)
                return find(a, b);
            SingleCrossValue &kept = m_table[std::size_t(a - 1) * m_side + std::size_t(b - 1)];
            if (kept.text.data() == nullptr) [[unlikely]]
                kept = find(a, b); // an error leaves the pair unknown and ends the run
            return kept;
        }

    private:
        static constexpr std::int64_t kMaxTableLines = 512;

        SingleCrossValue find(std::int64_t a, std::int64_t b) const
        {
            return m_index.lookup(std::int32_t(a), std::int32_t(b));
        }

        SingleCrossIndex m_index;
        std::size_t m_side = 0;
        std::vector<SingleCrossValue> m_table; // (a - 1) * m_side + (b - 1); no text: not yet asked
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

    // Where the records go: a sink, or nowhere when the run is only a check.
    class CandidateOutput
    {
    public:
        explicit CandidateOutput(CandidateSink *sink)
            : m_sink(sink)
        {
        }

        bool writes() const { return m_sink != nullptr; }

        template <std::size_t N>
        void emit(HybridKind kind, const std::array<std::int32_t, 4> &parents,
            const std::array<SingleCrossValue, N> &crosses, const Statistics &stats)
        {
            m_record.kind = kind;
            m_record.parents = parents;
            for (std::size_t v = 0; v < N; ++v)
                m_record.crosses[v] = crosses[v];
            m_record.falso = stats.values.falso;
            m_record.mean = stats.values.mean;
            m_record.cv = stats.values.cv;
            m_record.cvTenthsKnown = stats.tenthsKnown;
            m_record.cvTenths = stats.cvTenths;
            m_sink->candidate(m_record);
        }

    private:
        CandidateSink *m_sink;
        Candidate m_record;
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
        std::int64_t n, Lookups &lookups, CandidateOutput &output, ProgressBar &progress)
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
                        const SingleCrossValue ik = lookups.get(i, k);
                        const SingleCrossValue il = lookups.get(i, l);
                        const SingleCrossValue jk = lookups.get(j, k);
                        const SingleCrossValue jl = lookups.get(j, l);
                        const std::array<double, 4> values { ik.value, il.value, jk.value,
                            jl.value };
                        if (!output.writes()) {
                            checkStatistics(values);
                            continue;
                        }
                        output.emit(HybridKind::DoubleCross,
                            { std::int32_t(i), std::int32_t(j), std::int32_t(k), std::int32_t(l) },
                            std::array<SingleCrossValue, 4> { ik, il, jk, jl }, statistics(values));
                    }
                }
            }
        }
        tracker.finished();
    }

    // Candidates (i x j) k with i < j and k neither i nor j, i outermost, then j, k ascending.
    template <class Lookups>
    void runThreeWayCrosses(
        std::int64_t n, Lookups &lookups, CandidateOutput &output, ProgressBar &progress)
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
                    const SingleCrossValue ik = lookups.get(i, k);
                    const SingleCrossValue jk = lookups.get(j, k);
                    const std::array<double, 2> values { ik.value, jk.value };
                    if (!output.writes()) {
                        checkStatistics(values);
                        continue;
                    }
                    output.emit(HybridKind::ThreeWayCross,
                        { std::int32_t(i), std::int32_t(j), std::int32_t(k), 0 },
                        std::array<SingleCrossValue, 2> { ik, jk }, statistics(values));
                }
            }
        }
        tracker.finished();
    }

    // Whether every candidate's mean and CV can be worked out without an error, from the values
    // alone: when the values other than 0 all have one sign, no mean is 0 and every |mean| is at
    // least the smallest |value|, so a largest |value| within 1e300 times the smallest keeps
    // every CV far from overflowing (see checkStatistics). Yields, weights and heights are so:
    // the check then costs no more than reading the values.
    bool noCandidateCanFail(const std::vector<double> &values)
    {
        double smallest = std::numeric_limits<double>::infinity();
        double largest = 0.0;
        bool positive = false, negative = false;
        for (const double value : values) {
            if (value == 0.0)
                continue;
            positive |= value > 0;
            negative |= value < 0;
            smallest = std::min(smallest, std::fabs(value));
            largest = std::max(largest, std::fabs(value));
        }
        return !(positive && negative) && largest <= smallest * 1e300;
    }

    // A check where no lookup of the run can raise: a candidate with a line outside the given
    // ones has a missing single cross, so it is FALSO and cannot fail either. Only the candidates of the given lines (ascending, within 1..n) are
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
        if (!square.empty() && noCandidateCanFail(square))
            return;
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

    // The lines whose candidates a check must compute: those of the table among 1..n. A line in
    // no single cross of 1..n with a value other than 0 makes every candidate it is in FALSO.
    // When some cell does not convert, the lookups of 1..n are all tried first (for the usual
    // numbers of lines): when none raises, the lines with a value are enough; otherwise nothing,
    // and a check must take every lookup in the run's order to meet the same error.
    std::optional<std::vector<std::int32_t>> checkedLines(
        const SingleCrossIndex &index, std::int32_t n)
    {
        if (index.convertsEverywhere()) {
            std::vector<std::int32_t> lines = index.parents();
            std::erase_if(lines, [n](std::int32_t line) { return line < 1 || line > n; });
            return lines;
        }
        constexpr std::int32_t kMaxTriedLines = 2048;
        if (n > kMaxTriedLines)
            return std::nullopt;
        std::vector<bool> hasValue(std::size_t(std::max(n, 0)) + 1, false);
        try {
            for (std::int32_t a = 1; a <= n; ++a) {
                for (std::int32_t b = 1; b <= n; ++b) {
                    if (a != b && index.lookup(a, b).value != 0.0)
                        hasValue[std::size_t(a)] = hasValue[std::size_t(b)] = true;
                }
            }
        } catch (const Error &) {
            return std::nullopt;
        }
        std::vector<std::int32_t> lines;
        for (std::int32_t line = 1; line <= n; ++line) {
            if (hasValue[std::size_t(line)])
                lines.push_back(line);
        }
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

    // Every single cross of lines 1 to n looked up once, on the run's thread, before the
    // workers start: the index is not for sharing between threads. A lookup that raises keeps
    // its error, raised again by get() when a candidate asks for that pair, as the run would
    // meet it there. The texts point into the index, which lives as long as the table.
    class PairTable
    {
    public:
        PairTable(const PredictionInput &input, std::int64_t n)
            : m_index(input.grid, input.reciprocals, input.settings)
            , m_side(std::size_t(n))
            , m_values(m_side * m_side)
            , m_texts(m_side * m_side)
        {
            for (std::int64_t a = 1; a <= n; ++a) {
                for (std::int64_t b = 1; b <= n; ++b) {
                    if (a == b)
                        continue;
                    try {
                        SingleCrossValue &kept = m_values[slot(a, b)];
                        kept = m_index.lookup(std::int32_t(a), std::int32_t(b));
                        // A short text is kept in a slot of its own, which may be read whole.
                        if (kept.text.size() <= kPadded) {
                            Text &text = m_texts[slot(a, b)];
                            std::copy(kept.text.begin(), kept.text.end(), text.begin());
                            kept.text = { text.data(), kept.text.size() };
                        }
                    } catch (const Error &error) {
                        m_errors.emplace(slot(a, b), error);
                    }
                }
            }
        }

        // Safe on several threads at once: nothing changes after construction.
        const SingleCrossValue &get(std::int64_t a, std::int64_t b) const
        {
            const SingleCrossValue &kept = m_values[slot(a, b)];
            if (kept.text.data() == nullptr) [[unlikely]]
                throw m_errors.at(slot(a, b));
            return kept;
        }

    private:
        std::size_t slot(std::int64_t a, std::int64_t b) const
        {
            return std::size_t(a - 1) * m_side + std::size_t(b - 1);
        }

        static constexpr std::size_t kPadded = 16;
        using Text = std::array<char, kPadded>;

        SingleCrossIndex m_index;
        std::size_t m_side;
        std::vector<SingleCrossValue> m_values;
        std::vector<Text> m_texts;
        std::unordered_map<std::size_t, Error> m_errors;
    };

    // A run cut into blocks of about equal numbers of candidates. A unit is one (i, j) of the
    // two outer loops; a block is a run of consecutive units.
    struct Unit
    {
        std::int32_t i;
        std::int32_t j;
    };

    struct Block
    {
        std::size_t firstUnit;
        std::size_t endUnit;
    };

    // What one slot holds besides its batch: how far the block got, and the error that ended
    // it, if one did.
    struct BlockState
    {
        std::unique_ptr<CandidateBatch> batch;
        std::int64_t firstI = 0;
        std::int64_t lastI = 0; // the i of the last candidate begun
        std::optional<Error> failure;
    };

    // About a megabyte of report text a block; the slots hold a few blocks at a time.
    constexpr std::size_t kBlockCandidates = 16384;

    template <std::size_t N>
    void fillBlock(const std::vector<Unit> &units, const Block &block, std::int64_t n,
        const PairTable &pairs, BlockState &state)
    {
        CandidateBatch &batch = *state.batch;
        batch.clear();
        state.failure.reset();
        state.firstI = state.lastI = units[block.firstUnit].i;
        struct RowEntry
        {
            std::int64_t l;
            const SingleCrossValue *il;
            const SingleCrossValue *jl;
            Statistics stats;
        };
        std::array<RowEntry, 64> row;
        Candidate record;
        record.kind = N == 4 ? HybridKind::DoubleCross : HybridKind::ThreeWayCross;
        record.paddedTexts = true;
        // The record's crosses are set by the caller; the statistics come here.
        const auto emit = [&](const Statistics &stats) {
            record.falso = stats.values.falso;
            record.mean = stats.values.mean;
            record.cv = stats.values.cv;
            record.cvTenthsKnown = stats.tenthsKnown;
            record.cvTenths = stats.cvTenths;
            batch.candidate(record);
        };
        try {
            for (std::size_t u = block.firstUnit; u < block.endUnit; ++u) {
                const std::int64_t i = units[u].i, j = units[u].j;
                state.lastI = i;
                if constexpr (N == 4) {
                    for (std::int64_t k = i + 1; k <= n; ++k) {
                        if (k == j)
                            continue;
                        const SingleCrossValue &ik = pairs.get(i, k);
                        const SingleCrossValue &jk = pairs.get(j, k);
                        record.crosses[0] = ik;
                        record.crosses[2] = jk;
                        // The statistics of a row of candidates are worked out together, then
                        // handed out: the processor overlaps their long chains of operations.
                        // The run looks ik and jk up again for every l; the answer is the same,
                        // and so is the error, met at the pair's first candidate.
                        std::int64_t l = k + 1;
                        while (l <= n) {
                            std::size_t count = 0;
                            std::optional<Error> failure; // raised after the lines before it
                            try {
                                for (; l <= n && count < row.size(); ++l) {
                                    if (l == j)
                                        continue;
                                    const SingleCrossValue &il = pairs.get(i, l);
                                    const SingleCrossValue &jl = pairs.get(j, l);
                                    RowEntry &entry = row[count];
                                    entry.l = l;
                                    entry.il = &il;
                                    entry.jl = &jl;
                                    entry.stats = statistics(std::array<double, 4> {
                                        ik.value, il.value, jk.value, jl.value });
                                    ++count;
                                }
                            } catch (const Error &error) {
                                failure = error;
                            }
                            record.parents = { std::int32_t(i), std::int32_t(j),
                                std::int32_t(k), 0 };
                            for (std::size_t r = 0; r < count; ++r) {
                                record.parents[3] = std::int32_t(row[r].l);
                                record.crosses[1] = *row[r].il;
                                record.crosses[3] = *row[r].jl;
                                emit(row[r].stats);
                            }
                            if (failure)
                                throw *failure;
                        }
                    }
                } else {
                    for (std::int64_t k = 1; k <= n; ++k) {
                        if (k == i || k == j)
                            continue;
                        const SingleCrossValue &ik = pairs.get(i, k);
                        const SingleCrossValue &jk = pairs.get(j, k);
                        record.parents = { std::int32_t(i), std::int32_t(j), std::int32_t(k), 0 };
                        record.crosses[0] = ik;
                        record.crosses[1] = jk;
                        emit(statistics(std::array<double, 2> { ik.value, jk.value }));
                    }
                }
            }
        } catch (const Error &error) {
            state.failure = error;
        }
    }

    // The run on several threads when the sink takes blocks: the candidates are enumerated in
    // blocks, each filled into a batch of the sink on a worker, and the batches are handed to
    // the sink in order, with the progress position of the sequential run. An error in a block
    // hands over the lines before it, leaves the position at its candidate's i and is raised.
    // False, with nothing done, when the sink takes one record at a time or n is too large
    // for the table of pairs.
    bool runInBlocks(const Plan &plan, const PredictionInput &input, std::int64_t n,
        CandidateSink &sink, ProgressBar &progress)
    {
        constexpr std::int64_t kMaxBlockLines = 512;
        if (n > kMaxBlockLines)
            return false;
        const std::size_t threads = OrderedBlocks::usefulThreads();
        std::vector<BlockState> slots(2 * threads + 2);
        for (BlockState &state : slots) {
            state.batch = sink.batch();
            if (!state.batch)
                return false;
        }
        const bool doubleCrosses = plan.kind == HybridKind::DoubleCross;
        std::vector<Unit> units;
        std::vector<Block> blocks;
        std::size_t inBlock = 0;
        for (std::int64_t i = 1; i <= n - plan.progressOffset; ++i) {
            for (std::int64_t j = i + 1; j <= n; ++j) {
                const std::size_t others = std::size_t(doubleCrosses ? n - i - 1 : n - 2);
                inBlock += doubleCrosses ? others * (others - 1) / 2 : others;
                units.push_back({ std::int32_t(i), std::int32_t(j) });
                if (inBlock >= kBlockCandidates) {
                    blocks.push_back({ blocks.empty() ? 0 : blocks.back().endUnit, units.size() });
                    inBlock = 0;
                }
            }
        }
        if (inBlock > 0)
            blocks.push_back({ blocks.empty() ? 0 : blocks.back().endUnit, units.size() });
        if (blocks.empty())
            return true; // the outer loop is empty: the position stays as it was
        const PairTable pairs(input, n);
        ProgressTracker tracker(progress);
        OrderedBlocks::run(
            blocks.size(), threads, slots.size(),
            [&](std::size_t slot, std::size_t block) {
                if (doubleCrosses)
                    fillBlock<4>(units, blocks[block], n, pairs, slots[slot]);
                else
                    fillBlock<2>(units, blocks[block], n, pairs, slots[slot]);
            },
            [&](std::size_t slot, std::size_t) {
                BlockState &state = slots[slot];
                for (std::int64_t i = state.firstI; i <= state.lastI; ++i)
                    tracker.candidate(i);
                sink.take(*state.batch);
                if (state.failure)
                    throw *state.failure;
            });
        tracker.finished();
        return true;
    }

    template <class Lookups>
    void runCandidates(
        const Plan &plan, std::int64_t n, Lookups &lookups, CandidateOutput &output, ProgressBar &progress)
    {
        if (plan.kind == HybridKind::DoubleCross)
            runDoubleCrosses(n, lookups, output, progress);
        else
            runThreeWayCrosses(n, lookups, output, progress);
    }

    // Both runs and both checks: sink is null for a check, which hands out nothing.
    void run(const Plan &plan, const PredictionInput &input, CandidateSink *sink,
        ProgressBar &progress, MessageSink *messages, CrossSource *source)
    {
        const std::int32_t n = input.lines.count();
        if (n < plan.minimumLines && messages)
            messages->information(plan.minimumMessage);
        if (sink)
            sink->begin(plan.kind);
        progress.setMaximum(clampToInt(std::int64_t(n) - plan.progressOffset));
        if (!sink && !source) {
            const SingleCrossIndex index(input.grid, input.reciprocals, input.settings);
            if (const auto lines = checkedLines(index, n)) {
                if (plan.kind == HybridKind::DoubleCross)
                    checkTableLines<4>(*lines, index);
                else
                    checkTableLines<2>(*lines, index);
                return;
            }
        }
        if (sink && !source && runInBlocks(plan, input, n, *sink, progress)) {
            sink->end();
            return;
        }
        CandidateOutput output(sink);
        if (source) {
            SourceLookups lookups(*source, n);
            runCandidates(plan, n, lookups, output, progress);
        } else {
            IndexedLookups lookups(input, n);
            runCandidates(plan, n, lookups, output, progress);
        }
        if (sink)
            sink->end();
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

void predictDoubleCrosses(const PredictionInput &input, CandidateSink &sink,
    ProgressBar &progress, MessageSink &messages, CrossSource *source)
{
    run(kDoubleCrossPlan, input, &sink, progress, &messages, source);
}

void predictThreeWayCrosses(const PredictionInput &input, CandidateSink &sink,
    ProgressBar &progress, MessageSink &messages, CrossSource *source)
{
    run(kThreeWayPlan, input, &sink, progress, &messages, source);
}

void checkDoubleCrosses(const PredictionInput &input, MessageSink *messages, CrossSource *source)
{
    ProgressBar progress; // refuses the same maximum as the window's bar
    run(kDoubleCrossPlan, input, nullptr, progress, messages, source);
}

void checkThreeWayCrosses(const PredictionInput &input, MessageSink *messages, CrossSource *source)
{
    ProgressBar progress;
    run(kThreeWayPlan, input, nullptr, progress, messages, source);
}

} // namespace koravel
