// The best K hybrids by branch and bound over the sorted single crosses.
//
// A candidate's ranked mean is worked out from the single crosses as the report prints them, so
// the search reads those numbers once into a square over the lines of the table. A double cross
// (i x j)(k x l) adds HS(i, k) and HS(i, l) from row i, then HS(j, k) and HS(j, l) from row j:
// no candidate of the pair of lines (i, j) has a larger mean than the two best of row i and the
// two best of row j added the same way, since every rounded addition is monotone. The pairs are
// taken by that bound, best first, and of equal bounds in the run's order; they stop at the
// first whose bound is below the K-th mean kept, or equal to it with its candidates met after
// that one (ties go by place). Inside a pair, with w(x) = HS(i, x) + HS(j, x), only the columns
// whose w can still reach the K-th mean are gathered (scanning the shorter of the two sorted
// rows), sorted and paired best first. A three-way cross (i x j) k adds HS(i, k) and HS(j, k):
// the columns are taken by their two best values, each paired best first the same way.
//
// The sums of w are doubles, within a few units in the last place of the exact sums, so inside
// a pair a candidate is skipped only when its sum is below the K-th mean kept by far more than
// that. Every candidate not skipped has its mean worked out exactly as the run works it out and
// goes to the same ranking as the run's records, so ties and the order among them come out as
// the ranking of the whole run gives them.
#include "export/best_candidates.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "numtext/error.h"
#include "prediction/single_cross_index.h"
#include "table/cell_grid.h"

namespace koravel {

namespace {

    constexpr double kNoBound = -std::numeric_limits<double>::infinity();

    // What a single cross gives the candidates that use it.
    enum class Cross : std::uint8_t {
        Usable, // a value other than 0 whose text reads back
        Falso, // absent or 0: the candidate is FALSO
        Unprintable, // a value whose text does not read back: the candidate is left out
    };

    // The single crosses among the lines of the table (within 1..n), as the run finds them.
    struct CrossSquare
    {
        std::vector<std::int32_t> lines; // ascending
        std::size_t side = 0;
        std::vector<double> printed; // side * side, a * side + b: the value as printed
        std::vector<double> values; // the value itself, 0 when absent
        std::vector<Cross> state;
        double largest = 0; // the largest magnitude of a usable value
        bool anyUnprintable = false;
        // Whether some candidate's mean or CV could fail: when the values other than 0 all
        // have one sign, no mean is 0 and every |mean| is at least the smallest |value|, so a
        // largest |value| within 1e300 times the smallest keeps every CV far from overflowing.
        // Values of both signs within that range can fail only where they cancel.
        bool bothSigns = false;
        bool wideRange = false; // or a pair whose lookup raises
        double largestValue = 0;

        double raw(std::size_t a, std::size_t b) const { return values[a * side + b]; }

        double value(std::size_t a, std::size_t b) const { return printed[a * side + b]; }
        bool usable(std::size_t a, std::size_t b) const
        {
            return state[a * side + b] == Cross::Usable;
        }
    };

    // The lines that can take part in a single cross: those of the table's rows, within 1..n.
    // With cells that do not convert, the rows the lookups never reach are left out already.
    CrossSquare readSquare(const SingleCrossIndex &index, std::int32_t n)
    {
        CrossSquare square;
        square.lines = index.parents();
        std::erase_if(square.lines, [n](std::int32_t line) { return line < 1 || line > n; });
        const std::size_t m = square.lines.size();
        // The candidate's place in the run is numbered in base m; four digits must fit.
        if (m >= (std::size_t(1) << 16))
            throw std::bad_alloc();
        square.side = m;
        square.printed.assign(m * m, 0.0);
        square.values.assign(m * m, 0.0);
        square.state.assign(m * m, Cross::Falso);
        bool positive = false, negative = false;
        double smallest = std::numeric_limits<double>::infinity(), largest = 0;
        for (std::size_t a = 0; a < m; ++a) {
            for (std::size_t b = 0; b < m; ++b) {
                if (a == b)
                    continue;
                SingleCrossValue cross;
                try {
                    cross = index.lookup(square.lines[a], square.lines[b]);
                } catch (const Error &) {
                    square.wideRange = true; // a pair the run may never look up
                    continue;
                }
                square.values[a * m + b] = cross.value;
                if (cross.value != 0.0) {
                    positive |= cross.value > 0;
                    negative |= cross.value < 0;
                    smallest = std::min(smallest, std::fabs(cross.value));
                    largest = std::max(largest, std::fabs(cross.value));
                }
                Cross &state = square.state[a * m + b];
                if (std::isnan(cross.printed) || (cross.printed == 0.0) != (cross.value == 0.0)) {
                    state = Cross::Unprintable;
                    square.anyUnprintable = true;
                } else if (cross.value != 0.0) {
                    state = Cross::Usable;
                    square.printed[a * m + b] = cross.printed;
                    square.largest = std::max(square.largest, std::fabs(cross.printed));
                }
            }
        }
        square.bothSigns = positive && negative;
        square.wideRange |= largest > smallest * 1e300 || largest >= 1e300;
        square.largestValue = largest;
        return square;
    }

    // The error the mean and CV of these values raise in the run, if any.
    std::optional<std::string> failureOf(std::span<const double> values)
    {
        try {
            candidateStatistics(values);
        } catch (const Error &error) {
            return error.message();
        }
        return std::nullopt;
    }

    // Raises the first error the run would meet in a mean or CV, for a table whose cells all
    // convert and whose values have both signs within a range of 1e300. A candidate fails only
    // where its single crosses cancel: a mean of 0, or one so small (at most 1e-305 of its
    // largest value) that the CV overflows. So for each pair of lines (i, j) in the run's order
    // only the candidates whose sums are within 1e-9 of the largest value of 0 are worked out:
    // for double crosses, the columns sorted by w(x) = HS(i, x) + HS(j, x) and paired where
    // w(k) + w(l) is that near 0; for three-way crosses, each column k.
    void raiseFirstFailure(const CrossSquare &square, HybridKind kind)
    {
        const std::size_t m = square.side;
        const double margin = square.largestValue * 1e-9;
        std::vector<std::pair<double, std::uint32_t>> w;
        for (std::size_t i = 0; i < m; ++i) {
            for (std::size_t j = i + 1; j < m; ++j) {
                if (kind == HybridKind::ThreeWayCross) {
                    for (std::size_t k = 0; k < m; ++k) {
                        const double a = square.raw(i, k), b = square.raw(j, k);
                        if (k == i || k == j || a == 0 || b == 0 || std::fabs(a + b) > margin)
                            continue;
                        if (const auto failure = failureOf(std::array { a, b }))
                            throw Error(*failure);
                    }
                    continue;
                }
                w.clear();
                for (std::size_t x = i + 1; x < m; ++x) {
                    const double a = square.raw(i, x), b = square.raw(j, x);
                    if (x != j && a != 0 && b != 0)
                        w.emplace_back(a + b, std::uint32_t(x));
                }
                std::sort(w.begin(), w.end());
                std::optional<std::pair<std::size_t, std::size_t>> first;
                std::string message;
                for (std::size_t a = 0; a < w.size(); ++a) {
                    auto b = std::size_t(std::lower_bound(w.begin(), w.end(),
                                             std::pair { -w[a].first - margin, std::uint32_t(0) })
                        - w.begin());
                    for (b = std::max(b, a + 1); b < w.size() && w[b].first <= -w[a].first + margin;
                         ++b) {
                        const std::size_t k = std::min(w[a].second, w[b].second);
                        const std::size_t l = std::max(w[a].second, w[b].second);
                        if (first && *first < std::pair { k, l })
                            continue;
                        const std::array values { square.raw(i, k), square.raw(i, l),
                            square.raw(j, k), square.raw(j, l) };
                        if (const auto failure = failureOf(values)) {
                            first = std::pair { k, l };
                            message = *failure;
                        }
                    }
                }
                if (first)
                    throw Error(message);
            }
        }
    }

    // 3 * C(n, 4) or 3 * C(n, 3), at most the largest size_t.
    std::size_t allCandidates(HybridKind kind, std::int64_t n)
    {
        const std::int64_t choose = kind == HybridKind::DoubleCross ? 4 : 3;
        if (n < choose)
            return 0;
        std::size_t count = 1;
        for (std::int64_t step = 1; step <= choose; ++step) {
            // C(n, step) = C(n, step - 1) * (n - step + 1) / step, exact at every step.
            std::size_t product;
            if (__builtin_mul_overflow(count, std::size_t(n - step + 1), &product))
                return SIZE_MAX;
            count = product / std::size_t(step);
        }
        std::size_t three;
        return __builtin_mul_overflow(count, std::size_t(3), &three) ? SIZE_MAX : three;
    }

    // The candidates among side lines whose single crosses all have the property of the rows
    // of bits (row a, bit b: the cross a x b; the diagonal clear): double crosses sum, over the
    // pairs i < j, C(c, 2) with c the columns x > i that both rows have; three-way crosses sum c
    // over every column.
    std::size_t countComplete(
        HybridKind kind, const std::vector<std::uint64_t> &bits, std::size_t side)
    {
        const std::size_t words = (side + 63) / 64;
        std::size_t total = 0;
        for (std::size_t i = 0; i < side; ++i) {
            const std::uint64_t *rowI = bits.data() + i * words;
            for (std::size_t j = i + 1; j < side; ++j) {
                const std::uint64_t *rowJ = bits.data() + j * words;
                std::size_t common = 0;
                const std::size_t first = kind == HybridKind::DoubleCross ? (i + 1) / 64 : 0;
                for (std::size_t w = first; w < words; ++w) {
                    std::uint64_t both = rowI[w] & rowJ[w];
                    if (kind == HybridKind::DoubleCross && w == first && (i + 1) % 64 != 0)
                        both &= ~std::uint64_t(0) << ((i + 1) % 64);
                    common += std::size_t(std::popcount(both));
                }
                total +=
                    kind == HybridKind::DoubleCross ? common * (common - (common > 0)) / 2 : common;
            }
        }
        return total;
    }

    std::vector<std::uint64_t> crossBits(const CrossSquare &square, bool (*wanted)(Cross))
    {
        const std::size_t m = square.side, words = (m + 63) / 64;
        std::vector<std::uint64_t> bits(m * words, 0);
        for (std::size_t a = 0; a < m; ++a) {
            for (std::size_t b = 0; b < m; ++b) {
                if (a != b && wanted(square.state[a * m + b]))
                    bits[a * words + b / 64] |= std::uint64_t(1) << (b % 64);
            }
        }
        return bits;
    }

    // How many candidates the run hands to the ranking (those whose texts all read back) and
    // how many of them are not FALSO. Lines outside the table take part in no usable single
    // cross; they matter to the first count only when some text does not read back, and then
    // every line is counted, up to a bound on the work.
    void countCandidates(HybridKind kind, std::int32_t n, const CrossSquare &square,
        std::size_t &candidates, std::size_t &predicted)
    {
        predicted = countComplete(
            kind, crossBits(square, [](Cross c) { return c == Cross::Usable; }), square.side);
        candidates = allCandidates(kind, n);
        constexpr std::int32_t kMaxCountedLines = 4096;
        if (!square.anyUnprintable || n > kMaxCountedLines)
            return;
        const std::size_t side = std::size_t(n), words = (side + 63) / 64;
        std::vector<std::uint64_t> bits(side * words, ~std::uint64_t(0));
        for (std::size_t a = 0; a < side; ++a)
            bits[a * words + a / 64] &= ~(std::uint64_t(1) << (a % 64));
        for (std::size_t a = 0; a < square.side; ++a) {
            for (std::size_t b = 0; b < square.side; ++b) {
                if (square.state[a * square.side + b] == Cross::Unprintable) {
                    const auto la = std::size_t(square.lines[a] - 1);
                    const auto lb = std::size_t(square.lines[b] - 1);
                    bits[la * words + lb / 64] &= ~(std::uint64_t(1) << (lb % 64));
                }
            }
        }
        for (std::size_t a = 0; a < side; ++a) // the bits past the last line
            if (side % 64 != 0)
                bits[a * words + words - 1] &= (std::uint64_t(1) << (side % 64)) - 1;
        candidates = countComplete(kind, bits, side);
    }

    // The mean as the run works it out from the values in their order (summed left to right
    // in extended precision, stored as a double). Each rounded addition is monotone in both
    // terms, so values no larger, summed in the same order, never give a larger mean.
    double runMean(double a, double b)
    {
        long double sum = a;
        sum += b;
        return double(sum * 0.5L);
    }
    double runMean(double a, double b, double c, double d)
    {
        long double sum = a;
        sum += b;
        sum += c;
        sum += d;
        return double(sum * 0.25L);
    }

    // The best K met so far, in a buffer that is cut back to the best K (with the best pairing,
    // the best of each set of four lines first) whenever it holds half as many again: a few
    // comparisons a candidate, where a heap of a million would be walked down at each. The
    // worst of the last cut is the bar a candidate must clear: K at least as good are known.
    class BestKept
    {
    public:
        BestKept(std::size_t top, bool bySet)
            : m_top(top)
            , m_bySet(bySet)
        {
        }
        const std::optional<RankedHybrid> &worst() const { return m_worst; }
        void add(const RankedHybrid &hybrid)
        {
            m_kept.push_back(hybrid);
            if (m_kept.size() >= m_top + m_top / 2 + 64)
                cut();
        }
        std::vector<RankedHybrid> take()
        {
            cut();
            return std::move(m_kept);
        }

    private:
        // As the ranking orders them: higher mean first, then the one met first.
        static bool better(const RankedHybrid &a, const RankedHybrid &b)
        {
            return a.mean != b.mean ? a.mean > b.mean : a.order < b.order;
        }
        static std::array<std::int32_t, 4> lineSet(const RankedHybrid &hybrid)
        {
            std::array<std::int32_t, 4> set = hybrid.parents;
            std::sort(set.begin(), set.end());
            return set;
        }
        void cut()
        {
            if (m_bySet) {
                std::sort(m_kept.begin(), m_kept.end(), [](const auto &a, const auto &b) {
                    const auto setA = lineSet(a), setB = lineSet(b);
                    return setA != setB ? setA < setB : better(a, b);
                });
                m_kept.erase(
                    std::unique(m_kept.begin(), m_kept.end(),
                        [](const auto &a, const auto &b) { return lineSet(a) == lineSet(b); }),
                    m_kept.end());
            }
            if (m_kept.size() < m_top)
                return;
            const auto last = m_kept.begin() + std::ptrdiff_t(m_top - 1);
            std::nth_element(m_kept.begin(), last, m_kept.end(), better);
            m_kept.resize(m_top);
            m_worst = m_kept.back();
        }

        std::size_t m_top;
        bool m_bySet;
        std::vector<RankedHybrid> m_kept;
        std::optional<RankedHybrid> m_worst;
    };

    class Search
    {
    public:
        Search(const CrossSquare &square, HybridKind kind, BestKept &ranking)
            : m_square(square)
            , m_kind(kind)
            , m_ranking(ranking)
            , m_count(double(valueCount(kind)))
        {
            // Each bound is a sum of at most four doubles of magnitude up to `largest`, and the
            // kept mean is a rounded sum of such: both within 1e-14 of it. Beyond 1e300 the sums
            // could overflow, and nothing is skipped.
            m_prune = square.largest < 1e300;
            m_margin = square.largest * 1e-9;
        }

        // The least sum of single crosses a candidate needs to be worth working out.
        double needed() const
        {
            if (!m_prune)
                return kNoBound;
            const std::optional<RankedHybrid> worst = m_ranking.worst();
            return worst ? worst->mean * m_count - m_margin : kNoBound;
        }

        void doubleCrosses();
        void threeWayCrosses();

    private:
        // Whether a candidate of this mean, met at this place, or any after it, could still
        // get in: better than the worst kept (equal means go by place), as the ranking decides.
        bool couldEnter(double mean, std::uint64_t order) const
        {
            const std::optional<RankedHybrid> worst = m_ranking.worst();
            return !worst || mean > worst->mean || (mean == worst->mean && order < worst->order);
        }
        struct Sorted
        {
            std::vector<double> values; // each row (or column) best first
            std::vector<std::uint32_t> others; // the column (or row) of each value
            std::vector<std::uint32_t> sizes;
            std::vector<double> best, second; // the best value and the next
        };
        Sorted sortedLines(bool byColumn) const;
        void offer(std::size_t i, std::size_t j, std::size_t k, std::size_t l);

        const CrossSquare &m_square;
        HybridKind m_kind;
        BestKept &m_ranking;
        double m_count;
        bool m_prune = true;
        double m_margin = 0;
    };

    // Each row's usable values best first (byColumn: each column's), with their two best.
    Search::Sorted Search::sortedLines(bool byColumn) const
    {
        const std::size_t m = m_square.side;
        Sorted sorted;
        sorted.values.resize(m * m);
        sorted.others.resize(m * m);
        sorted.sizes.assign(m, 0);
        sorted.best.assign(m, kNoBound);
        sorted.second.assign(m, kNoBound);
        std::vector<std::pair<double, std::uint32_t>> line;
        for (std::size_t a = 0; a < m; ++a) {
            line.clear();
            for (std::size_t b = 0; b < m; ++b) {
                const std::size_t row = byColumn ? b : a, column = byColumn ? a : b;
                if (m_square.usable(row, column))
                    line.emplace_back(m_square.value(row, column), std::uint32_t(b));
            }
            std::sort(line.begin(), line.end(),
                [](const auto &x, const auto &y) { return x.first > y.first; });
            for (std::size_t t = 0; t < line.size(); ++t) {
                sorted.values[a * m + t] = line[t].first;
                sorted.others[a * m + t] = line[t].second;
            }
            sorted.sizes[a] = std::uint32_t(line.size());
            if (!line.empty())
                sorted.best[a] = line[0].first;
            if (line.size() >= 2)
                sorted.second[a] = line[1].first;
        }
        return sorted;
    }

    // Works a candidate out as the run would from the printed values and offers it to the
    // ranking; its place in the run is its lines read as a number, in enumeration order.
    void Search::offer(std::size_t i, std::size_t j, std::size_t k, std::size_t l)
    {
        const CrossSquare &s = m_square;
        CandidateRecord record;
        record.kind = m_kind;
        const std::uint64_t m = s.side;
        if (m_kind == HybridKind::DoubleCross) {
            record.parents = { s.lines[i], s.lines[j], s.lines[k], s.lines[l] };
            record.values = { s.value(i, k), s.value(i, l), s.value(j, k), s.value(j, l) };
            record.order = std::size_t(((i * m + j) * m + k) * m + l);
        } else {
            record.parents = { s.lines[i], s.lines[j], s.lines[k], 0 };
            record.values = { s.value(i, k), s.value(j, k), 0, 0 };
            record.order = std::size_t((i * m + j) * m + k);
        }
        const auto &v = record.values;
        const double mean = m_kind == HybridKind::DoubleCross ? runMean(v[0], v[1], v[2], v[3])
                                                              : runMean(v[0], v[1]);
        // Most candidates met are no better than the worst kept: they need no CV.
        if (couldEnter(mean, record.order) && workOutStatistics(record))
            m_ranking.add({ record.parents, record.mean, record.order });
    }

    void Search::doubleCrosses()
    {
        const std::size_t m = m_square.side;
        const Sorted rows = sortedLines(false);
        // The best mean any candidate of the pair (i, j) could have: its two single crosses
        // of row i are at most the two best of the row, summed first, and those of row j at
        // most the two best of row j, added in either order.
        struct PairBound
        {
            double mean;
            std::uint32_t i, j;
        };
        std::vector<PairBound> pairs;
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t j = i + 1; j < m; ++j)
                if (rows.sizes[i] >= 2 && rows.sizes[j] >= 2) {
                    const double a = rows.best[i], b = rows.second[i];
                    const double c = rows.best[j], d = rows.second[j];
                    pairs.push_back({ std::max(runMean(a, b, c, d), runMean(a, b, d, c)),
                        std::uint32_t(i), std::uint32_t(j) });
                }
        // Best bound first; of equal bounds, the pair met first in the run.
        std::sort(pairs.begin(), pairs.end(), [](const PairBound &x, const PairBound &y) {
            return x.mean != y.mean ? x.mean > y.mean : x.i != y.i ? x.i < y.i : x.j < y.j;
        });

        std::vector<std::pair<double, std::uint32_t>> columns; // w(x), x
        const std::uint64_t square = std::uint64_t(m) * m;
        for (const PairBound &pair : pairs) {
            // The pair's first candidate comes after every candidate of the pairs before it
            // (and its last before those after it): if none of its candidates can get in, none
            // of the later pairs' can, whose bounds are lower or whose places are later.
            const std::size_t i = pair.i, j = pair.j;
            if (!couldEnter(pair.mean, (i * m + j) * square))
                break;
            double need = needed();
            // No w exceeds the best of row i plus the best of row j, so a column whose w is
            // below need minus that pairs with none to reach need.
            const double least = need - (rows.best[i] + rows.best[j]);
            // Row i's values below least - best(j) cannot give such a w; nor row j's below
            // least - best(i). The shorter of the two prefixes is scanned.
            const auto prefix = [&](std::size_t row, double floor) {
                const double *begin = rows.values.data() + row * m;
                return std::size_t(std::partition_point(begin, begin + rows.sizes[row],
                                       [floor](double v) { return v >= floor; })
                    - begin);
            };
            const std::size_t lengthI = prefix(i, least - rows.best[j]);
            const std::size_t lengthJ = prefix(j, least - rows.best[i]);
            const std::size_t scanned = lengthI <= lengthJ ? i : j;
            const std::size_t other = scanned == i ? j : i;
            const std::size_t length = std::min(lengthI, lengthJ);
            columns.clear();
            for (std::size_t t = 0; t < length; ++t) {
                const std::size_t x = rows.others[scanned * m + t];
                if (x <= i || x == j || !m_square.usable(other, x))
                    continue;
                const double w = rows.values[scanned * m + t] + m_square.value(other, x);
                if (w >= least)
                    columns.emplace_back(w, std::uint32_t(x));
            }
            std::sort(columns.begin(), columns.end(),
                [](const auto &a, const auto &b) { return a.first > b.first; });
            for (std::size_t a = 0; a + 1 < columns.size(); ++a) {
                if (columns[a].first + columns[a + 1].first < need)
                    break;
                for (std::size_t b = a + 1; b < columns.size(); ++b) {
                    if (columns[a].first + columns[b].first < need)
                        break;
                    const std::size_t x = columns[a].second, y = columns[b].second;
                    offer(i, j, std::min(x, y), std::max(x, y));
                    need = needed();
                }
            }
        }
    }

    void Search::threeWayCrosses()
    {
        const std::size_t m = m_square.side;
        const Sorted columns = sortedLines(true);
        std::vector<std::pair<double, std::uint32_t>> order; // the best mean, column
        for (std::size_t k = 0; k < m; ++k)
            if (columns.sizes[k] >= 2)
                order.emplace_back(runMean(columns.best[k], columns.second[k]), std::uint32_t(k));
        std::sort(order.begin(), order.end(),
            [](const auto &a, const auto &b) { return a.first > b.first; });
        for (const auto &[bound, k] : order) {
            // A column's candidates come at every place of the run: only a bound below the
            // worst kept rules them out, and those of the columns after it.
            const std::optional<RankedHybrid> worst = m_ranking.worst();
            if (worst && bound < worst->mean)
                break;
            double need = needed();
            const double *values = columns.values.data() + std::size_t(k) * m;
            const std::uint32_t *rows = columns.others.data() + std::size_t(k) * m;
            const std::size_t size = columns.sizes[k];
            if (worst && bound == worst->mean) {
                // Only a tie with the worst kept, met before it, can get in: its first line
                // is at most the worst's, so only those rows are paired with the others.
                const std::uint64_t firstLine = worst->order / (std::uint64_t(m) * m);
                for (std::size_t a = 0; a < size; ++a) {
                    if (rows[a] > firstLine)
                        continue;
                    for (std::size_t b = 0; b < size; ++b) {
                        if (values[a] + values[b] < need)
                            break;
                        if (rows[b] > rows[a])
                            offer(rows[a], rows[b], k, 0);
                    }
                }
                continue;
            }
            for (std::size_t a = 0; a + 1 < size; ++a) {
                if (values[a] + values[a + 1] < need)
                    break;
                for (std::size_t b = a + 1; b < size; ++b) {
                    if (values[a] + values[b] < need)
                        break;
                    offer(std::min(rows[a], rows[b]), std::max(rows[a], rows[b]), k, 0);
                    need = needed();
                }
            }
        }
    }

} // namespace

RankingResult rankBestCandidates(const PredictionInput &input, HybridKind kind,
    const RankingOptions &options, MessageSink *messages)
{
    // The run's errors and messages first, in the run's order: the number of lines, the
    // message for too few and the progress maximum, which a check over a table without rows
    // meets and nothing else; then those of the lookups and of the means and CVs, which the
    // check over the table meets, but which no table of convertible cells whose values have
    // one sign can raise.
    const auto check = [kind](const PredictionInput &checked, MessageSink *told) {
        if (kind == HybridKind::DoubleCross)
            checkDoubleCrosses(checked, told);
        else
            checkThreeWayCrosses(checked, told);
    };
    if (options.top == 0)
        throw Error(kRankingTopZeroMessage); // as the ranking refuses it, before the run
    CellGrid noRows;
    noRows.setRowCount(1);
    check(PredictionInput { noRows, input.lines, input.reciprocals, input.settings }, messages);
    const std::int32_t n = input.lines.count();
    const std::size_t all = allCandidates(kind, n);
    Ranking ranking(kind, options, all);
    const auto index =
        std::make_shared<const SingleCrossIndex>(input.grid, input.reciprocals, input.settings);
    std::size_t candidates = 0, predicted = 0;
    if (n >= (kind == HybridKind::DoubleCross ? 4 : 3)) {
        const CrossSquare square = readSquare(*index, n);
        if (!index->convertsEverywhere() || square.wideRange)
            check(input, nullptr);
        else if (square.bothSigns)
            raiseFirstFailure(square, kind);
        BestKept kept(
            std::min(options.top, all), options.bestPairing && kind == HybridKind::DoubleCross);
        Search search(square, kind, kept);
        if (kind == HybridKind::DoubleCross)
            search.doubleCrosses();
        else
            search.threeWayCrosses();
        // The ranking keeps the same best whatever order they come in.
        for (const RankedHybrid &hybrid : kept.take()) {
            CandidateRecord record;
            record.kind = kind;
            record.parents = hybrid.parents;
            record.mean = hybrid.mean;
            record.order = std::size_t(hybrid.order);
            ranking.add(record);
        }
        countCandidates(kind, n, square, candidates, predicted);
    }
    // The kept hybrids' rows are read from the index as the run reads them.
    RankingResult result = ranking.take(completeFromIndex(index, kind));
    result.candidates = candidates;
    result.predicted = predicted;
    return result;
}

} // namespace koravel
