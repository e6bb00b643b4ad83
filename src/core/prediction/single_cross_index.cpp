// The index of the single-cross table: every cell converted once, the rows grouped by parent A,
// and the answer (or the error) for each pair worked out on its first call and kept.
//
// Why the answers match the literal scan: every call converts column 1 of every data row, so
// the first row whose parent A is not valid integer text fails every call, unless an earlier
// row fails first; rows after it never matter. Before it, a call can only fail in the rows
// whose parent A is a (or, when reciprocals are not distinct, a or b): on their parent B, or,
// for ValorHS alone, on the value of a matching row. Walking those rows in table order gives
// the first failure, the last matching value and whether any row matches; the walk stops at the
// first of them whose parent B does not convert, so only that row and the matching rows before
// it count, and each group keeps its rows sorted by parent B to find the matching ones at once.
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

    // The rows of one parent A: where they are, and the first of them whose parent B does not
    // convert, where every walk through them stops.
    struct Group
    {
        std::size_t begin, end;
        int firstBadRow = std::numeric_limits<int>::max();
        int firstBadMessage = kNoError;
    };

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
    // The rows sorted by parent A, then parent B, then row: a pair's matches at once.
    std::vector<IndexedRow> byParentB;
    std::vector<std::int32_t> keysB; // the parent B of each of them, searched in place of them
    std::unordered_map<std::int32_t, Group> groups;

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
    const Group *group(std::int32_t parentA) const;
    std::pair<const IndexedRow *, const IndexedRow *> matches(
        const Group *group, std::int32_t parentB) const;
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
    byParentB.reserve(converted.size());
    groups.reserve(converted.size() / 16 + 1);
    for (std::size_t begin = 0; begin < converted.size();) {
        std::size_t end = begin;
        Group found { begin, end };
        while (end < converted.size() && converted[end].first == converted[begin].first) {
            const IndexedRow &row = converted[end].second;
            if (row.parentBError != kNoError && found.firstBadMessage == kNoError) {
                found.firstBadRow = row.row;
                found.firstBadMessage = row.parentBError;
            }
            byParentB.push_back(row);
            ++end;
        }
        found.end = end;
        groups.emplace(converted[begin].first, found);
        begin = end;
    }
    for (const auto &[parentA, range] : groups)
        std::stable_sort(byParentB.begin() + std::ptrdiff_t(range.begin),
            byParentB.begin() + std::ptrdiff_t(range.end),
            [](const IndexedRow &x, const IndexedRow &y) { return x.parentB < y.parentB; });
    keysB.reserve(byParentB.size());
    for (const IndexedRow &row : byParentB)
        keysB.push_back(row.parentB);
}

const Group *SingleCrossIndex::Impl::group(std::int32_t parentA) const
{
    const auto found = groups.find(parentA);
    return found == groups.end() ? nullptr : &found->second;
}

// The rows of a group whose parent B is parentB, in table order (a row whose parent B does not
// convert is never among them: it comes at or after the group's first bad row).
std::pair<const IndexedRow *, const IndexedRow *> SingleCrossIndex::Impl::matches(
    const Group *group, std::int32_t parentB) const
{
    if (group == nullptr)
        return { nullptr, nullptr };
    const std::int32_t *keys = keysB.data();
    const auto [first, last] = std::equal_range(keys + group->begin, keys + group->end, parentB);
    return { byParentB.data() + (first - keys), byParentB.data() + (last - keys) };
}

// The walk through the rows with parent A = a (or b) in table order stops at the first of them
// whose parent B does not convert; before it, only the rows that match count.
void SingleCrossIndex::Impl::resolve(std::int32_t a, std::int32_t b, Answer &out) const
{
    const Group *groupA = group(a);
    const Group *groupB = reciprocals == Reciprocals::Either && a != b ? group(b) : nullptr;
    int stopRow = std::numeric_limits<int>::max();
    int stopMessage = kNoError;
    for (const Group *walked : { groupA, groupB }) {
        if (walked != nullptr && walked->firstBadRow < stopRow) {
            stopRow = walked->firstBadRow;
            stopMessage = walked->firstBadMessage;
        }
    }
    auto [ma, maEnd] = matches(groupA, b);
    auto [mb, mbEnd] = matches(groupB, a);
    // The matching rows of both groups, merged back into table order.
    while (ma != maEnd || mb != mbEnd) {
        const IndexedRow *row = (mb == mbEnd || (ma != maEnd && ma->row < mb->row)) ? ma++ : mb++;
        if (row->row >= stopRow)
            break;
        out.exists = true;
        if (out.valueError == kNoError) {
            if (row->valueError != kNoError)
                out.valueError = row->valueError;
            else
                out.value = row->value;
        }
    }
    if (stopMessage != kNoError) {
        // Both calls convert that parent B; nothing after it is reached.
        out.existsError = stopMessage;
        if (out.valueError == kNoError)
            out.valueError = stopMessage;
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
    lines.reserve(m_impl->groups.size() + m_impl->byParentB.size());
    for (const auto &[parentA, range] : m_impl->groups)
        lines.push_back(parentA);
    for (const IndexedRow &row : m_impl->byParentB)
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
