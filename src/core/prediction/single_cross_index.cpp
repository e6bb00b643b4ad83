// The index of the single-cross table: every cell converted once, the rows grouped by parent A,
// and the answer (or the error) for each pair worked out on its first call and kept.
//
// Why the answers match the literal scan: every call converts column 1 of every data row, so
// the first row whose parent A is not valid integer text fails every call, unless an earlier
// row fails first; rows after it never matter. Before it, a call can only fail in the rows
// whose parent A is a (or, when reciprocals are not distinct, a or b): on their parent B, or,
// for ValorHS alone, on the value of a matching row. Walking those rows in table order gives
// the first failure, the last matching value and whether any row matches.
#include "prediction/single_cross_index.h"

#include <algorithm>
#include <bit>
#include <deque>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "table/cell_grid.h"
#include "numtext/error.h"

namespace koravel {

namespace {

    constexpr int kNoError = -1;
    // Pairs of parents from 1 to this bound are kept in a square table, grown as calls need it;
    // other pairs go to a hash map.
    constexpr std::int32_t kMaxDenseSide = 1024;

    struct IndexedRow
    {
        int row;
        std::int32_t parentB;
        int parentBError; // message index, or kNoError
        int valueError; // message index, or kNoError
        double value;
    };

    struct Answer
    {
        double value = 0.0; // what ValorHS returns
        int existsError = kNoError; // the error ExisteHS raises
        int valueError = kNoError; // the error ValorHS raises
        int text = kNoError; // the general-format text of value, once written
        bool resolved = false;
        bool exists = false; // what ExisteHS returns
    };

    // The number a value's text reads back as; NaN when it does not read ("INF").
    double readBack(std::string_view text, const FormatSettings &settings)
    {
        try {
            return roundToDouble(strToFloat(text, settings));
        } catch (const Error &) {
            return std::numeric_limits<double>::quiet_NaN();
        }
    }

    std::uint64_t pairKey(std::int32_t a, std::int32_t b)
    {
        return (std::uint64_t(std::uint32_t(a)) << 32) | std::uint32_t(b);
    }

} // namespace

struct SingleCrossIndex::Impl
{
    Reciprocals reciprocals;
    FormatSettings settings;
    std::vector<std::string> messages;
    int firstBadParentA = kNoError;
    std::vector<IndexedRow> rows; // sorted by parent A, then by row
    std::unordered_map<std::int32_t, std::pair<std::size_t, std::size_t>> groups;

    std::int32_t denseSide = 0;
    std::vector<Answer> dense; // denseSide * denseSide answers, (a - 1) * denseSide + (b - 1)
    std::unordered_map<std::uint64_t, Answer> sparse;
    std::deque<std::string> texts; // a deque never moves its elements, so views stay valid
    std::vector<std::string_view> textViews;
    std::vector<double> printed; // what each text reads back as

    int addMessage(std::string message)
    {
        messages.push_back(std::move(message));
        return int(messages.size() - 1);
    }

    void build(const CellGrid &grid);
    std::pair<const IndexedRow *, const IndexedRow *> group(std::int32_t parentA) const;
    Answer &answer(std::int32_t a, std::int32_t b);
    void resolve(std::int32_t a, std::int32_t b, Answer &answer) const;
    void growDense(std::int32_t needed);
    [[noreturn]] void raise(int message) const { throw Error(messages[std::size_t(message)]); }
};

void SingleCrossIndex::Impl::build(const CellGrid &grid)
{
    std::vector<std::pair<std::int32_t, IndexedRow>> converted;
    const int rowCount = grid.rowCount();
    for (int r = 1; r <= rowCount - 1; ++r) {
        std::int32_t parentA = 0;
        try {
            parentA = strToInt(grid.cell(1, r));
        } catch (const Error &error) {
            firstBadParentA = addMessage(error.message());
            break; // every call fails here at the latest; the rows below are never reached
        }
        IndexedRow row { r, 0, kNoError, kNoError, 0.0 };
        try {
            row.parentB = strToInt(grid.cell(2, r));
        } catch (const Error &error) {
            row.parentBError = addMessage(error.message());
        }
        if (row.parentBError == kNoError) {
            try {
                row.value = roundToDouble(strToFloat(grid.cell(3, r), settings));
            } catch (const Error &error) {
                row.valueError = addMessage(error.message());
            }
        }
        converted.emplace_back(parentA, row);
    }
    std::stable_sort(converted.begin(), converted.end(),
        [](const auto &x, const auto &y) { return x.first < y.first; });
    rows.reserve(converted.size());
    for (std::size_t begin = 0; begin < converted.size();) {
        std::size_t end = begin;
        while (end < converted.size() && converted[end].first == converted[begin].first) {
            rows.push_back(converted[end].second);
            ++end;
        }
        groups.emplace(converted[begin].first, std::make_pair(begin, end));
        begin = end;
    }
}

std::pair<const IndexedRow *, const IndexedRow *> SingleCrossIndex::Impl::group(
    std::int32_t parentA) const
{
    const auto found = groups.find(parentA);
    if (found == groups.end())
        return { nullptr, nullptr };
    return { rows.data() + found->second.first, rows.data() + found->second.second };
}

void SingleCrossIndex::Impl::resolve(std::int32_t a, std::int32_t b, Answer &out) const
{
    auto [ga, gaEnd] = group(a);
    auto [gb, gbEnd] = reciprocals == Reciprocals::Either && a != b
        ? group(b)
        : std::pair<const IndexedRow *, const IndexedRow *>(nullptr, nullptr);
    // The rows with parent A = a or b, merged back into table order.
    while (ga != gaEnd || gb != gbEnd) {
        const IndexedRow *row;
        std::int32_t wantedB;
        if (gb == gbEnd || (ga != gaEnd && ga->row < gb->row)) {
            row = ga++;
            wantedB = b;
        } else {
            row = gb++;
            wantedB = a;
        }
        if (row->parentBError != kNoError) {
            // Both calls convert this parent B; nothing after it is reached.
            if (out.existsError == kNoError)
                out.existsError = row->parentBError;
            if (out.valueError == kNoError)
                out.valueError = row->parentBError;
            break;
        }
        if (row->parentB != wantedB)
            continue;
        out.exists = true;
        if (out.valueError == kNoError) {
            if (row->valueError != kNoError)
                out.valueError = row->valueError;
            else
                out.value = row->value;
        }
    }
    if (out.existsError == kNoError)
        out.existsError = firstBadParentA;
    if (out.valueError == kNoError)
        out.valueError = firstBadParentA;
    out.resolved = true;
}

void SingleCrossIndex::Impl::growDense(std::int32_t needed)
{
    const auto side =
        std::int32_t(std::max<std::uint32_t>(16, std::bit_ceil(std::uint32_t(needed))));
    std::vector<Answer> grown(std::size_t(side) * std::size_t(side));
    for (std::int32_t a = 0; a < denseSide; ++a) {
        std::copy_n(dense.begin() + std::ptrdiff_t(a) * denseSide, denseSide,
            grown.begin() + std::ptrdiff_t(a) * side);
    }
    dense = std::move(grown);
    denseSide = side;
}

Answer &SingleCrossIndex::Impl::answer(std::int32_t a, std::int32_t b)
{
    Answer *slot;
    if (a >= 1 && b >= 1 && a <= kMaxDenseSide && b <= kMaxDenseSide) {
        if (a > denseSide || b > denseSide)
            growDense(std::max(a, b));
        slot = &dense[std::size_t(a - 1) * std::size_t(denseSide) + std::size_t(b - 1)];
    } else {
        slot = &sparse[pairKey(a, b)];
    }
    if (!slot->resolved)
        resolve(a, b, *slot);
    return *slot;
}

SingleCrossIndex::SingleCrossIndex(
    const CellGrid &grid, Reciprocals reciprocals, const FormatSettings &settings)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->reciprocals = reciprocals;
    m_impl->settings = settings;
    m_impl->build(grid);
}

SingleCrossIndex::~SingleCrossIndex() = default;

bool SingleCrossIndex::convertsEverywhere() const
{
    return m_impl->messages.empty();
}

std::vector<std::int32_t> SingleCrossIndex::parents() const
{
    std::vector<std::int32_t> lines;
    lines.reserve(m_impl->groups.size() + m_impl->rows.size());
    for (const auto &[parentA, range] : m_impl->groups)
        lines.push_back(parentA);
    for (const IndexedRow &row : m_impl->rows)
        lines.push_back(row.parentB);
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

bool SingleCrossIndex::exists(std::int32_t a, std::int32_t b) const
{
    const Answer &found = m_impl->answer(a, b);
    if (found.existsError != kNoError)
        m_impl->raise(found.existsError);
    return found.exists;
}

double SingleCrossIndex::value(std::int32_t a, std::int32_t b) const
{
    const Answer &found = m_impl->answer(a, b);
    if (found.valueError != kNoError)
        m_impl->raise(found.valueError);
    return found.value;
}

SingleCrossValue SingleCrossIndex::lookup(std::int32_t a, std::int32_t b) const
{
    Answer &found = m_impl->answer(a, b);
    if (found.existsError != kNoError)
        m_impl->raise(found.existsError);
    // ValorHS is asked only after ExisteHS answered true; without a match its value stays 0.
    if (found.exists && found.valueError != kNoError)
        m_impl->raise(found.valueError);
    if (found.text == kNoError) {
        m_impl->texts.push_back(floatToStr(found.value, m_impl->settings));
        m_impl->textViews.push_back(m_impl->texts.back());
        m_impl->printed.push_back(readBack(m_impl->texts.back(), m_impl->settings));
        found.text = int(m_impl->textViews.size() - 1);
    }
    const auto text = std::size_t(found.text);
    return { found.value, m_impl->textViews[text], m_impl->printed[text] };
}

} // namespace koravel
