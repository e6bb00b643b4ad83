// Ranking the predicted hybrids: the best K kept in a bounded heap.
#include "export/ranking.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <span>

#include "export/missing_cross_estimates.h"
#include "numtext/error.h"
#include "prediction/lookup.h"
#include "report/report_line.h"
#include "prediction/single_cross_index.h"
#include "report/report_document.h"
#include "report/size_limits.h"
#include "export/spreadsheet_texts.h"

namespace koravel {

const char *const kRankingTopZeroMessage = "O n\xFAmero de melhores h\xED"
                                           "bridos deve ser maior que zero";

namespace {

    // The four lines of a double cross, smallest first: the three pairings of a set share it.
    std::array<std::int32_t, 4> lineSet(const RankedHybrid &hybrid)
    {
        std::array<std::int32_t, 4> set = hybrid.parents;
        std::sort(set.begin(), set.end());
        return set;
    }

} // namespace

Ranking::Ranking(HybridKind kind, RankingOptions options, std::size_t candidates)
    : m_kind(kind)
    , m_options(options)
{
    if (options.top == 0)
        throw Error(kRankingTopZeroMessage);
    m_options.top = std::min(options.top, candidates);
    // Room for every kept hybrid at once when their number is known, so that the heap never
    // holds twice its size while it grows.
    if (candidates != SIZE_MAX)
        m_heap.reserve(m_options.top);
}

// Higher mean first; of equal means, the one met first.
bool Ranking::better(const RankedHybrid &a, const RankedHybrid &b) const
{
    if (a.mean != b.mean)
        return a.mean > b.mean;
    return a.order < b.order;
}

// The heap keeps the worst of the kept candidates at the root: a parent is never better than
// its children.
void Ranking::siftUp(std::size_t index)
{
    while (index > 0) {
        const std::size_t parent = (index - 1) / 2;
        if (!better(m_heap[parent], m_heap[index]))
            return;
        swapEntries(parent, index);
        index = parent;
    }
}

void Ranking::siftDown(std::size_t index)
{
    for (;;) {
        std::size_t worst = index;
        for (const std::size_t child : { 2 * index + 1, 2 * index + 2 })
            if (child < m_heap.size() && better(m_heap[worst], m_heap[child]))
                worst = child;
        if (worst == index)
            return;
        swapEntries(worst, index);
        index = worst;
    }
}

bool Ranking::trackingSets() const
{
    return m_options.bestPairing && m_kind == HybridKind::DoubleCross;
}

void Ranking::swapEntries(std::size_t a, std::size_t b)
{
    std::swap(m_heap[a], m_heap[b]);
    if (trackingSets()) {
        m_positions[lineSet(m_heap[a])] = a;
        m_positions[lineSet(m_heap[b])] = b;
    }
}

// Puts the candidate at index (one past the end appends), replacing what was there.
void Ranking::place(std::size_t index, const RankedHybrid &hybrid)
{
    if (index == m_heap.size()) {
        m_heap.push_back(hybrid);
    } else {
        if (trackingSets())
            m_positions.erase(lineSet(m_heap[index]));
        m_heap[index] = hybrid;
    }
    if (trackingSets())
        m_positions[lineSet(hybrid)] = index;
}

std::size_t Ranking::SetHash::operator()(const std::array<std::int32_t, 4> &set) const
{
    std::size_t hash = 0;
    for (const std::int32_t line : set)
        hash = hash * 1000003u ^ std::hash<int>()(line);
    return hash;
}

std::size_t Ranking::findSameSet(const RankedHybrid &hybrid) const
{
    const auto found = m_positions.find(lineSet(hybrid));
    return found == m_positions.end() ? m_heap.size() : found->second;
}

// With the best pairing, the heap holds at most one pairing of each set of four lines, and after
// every candidate it holds the best K of the per-set best among the candidates seen so far:
// - a candidate not better than the root when the heap is full changes nothing: the pairing of
//   its set in the heap, if any, is at least as good as the root, and without one, the root and
//   the K-1 above it are better than anything of its set seen so far, since the root only ever
//   gets better and a set leaves the heap only when K others better than its best are in it;
// - a candidate whose set is in the heap replaces that pairing if better, else is dropped: the
//   set's best changes and the other sets' do not;
// - any other candidate is its set's best so far (a better earlier pairing would be in the heap
//   or below the root) and goes in as in the plain ranking.
// The set is looked up only for the few candidates that get past the root.
void Ranking::add(const CandidateRecord &candidate)
{
    ++m_candidates;
    if (candidate.falso || candidate.kind != m_kind)
        return;
    ++m_predicted;
    if (candidate.estimated != 0)
        ++m_estimated;
    RankedHybrid hybrid;
    for (std::size_t i = 0; i < 4; ++i)
        hybrid.parents[i] = candidate.parents[i];
    hybrid.mean = candidate.mean;
    hybrid.order = candidate.order;
    const bool full = m_heap.size() >= m_options.top;
    if (full && !better(hybrid, m_heap.front()))
        return;
    if (trackingSets()) {
        const std::size_t same = findSameSet(hybrid);
        if (same < m_heap.size()) {
            if (better(hybrid, m_heap[same])) {
                place(same, hybrid);
                siftDown(same); // better than before: it can only move away from the root
            }
            return;
        }
    }
    if (full) {
        place(0, hybrid);
        siftDown(0);
    } else {
        place(m_heap.size(), hybrid);
        siftUp(m_heap.size() - 1);
    }
}

std::optional<RankedHybrid> Ranking::worstKept() const
{
    if (m_options.top == 0 || m_heap.size() < m_options.top)
        return std::nullopt;
    return m_heap.front();
}

RankingResult Ranking::take(RankingResult::Complete complete)
{
    RankingResult result;
    result.kind = m_kind;
    result.candidates = m_candidates;
    result.predicted = m_predicted;
    result.estimated = m_estimated;
    result.complete = std::move(complete);
    m_positions.clear();
    result.best = std::move(m_heap);
    m_heap.clear();
    std::sort(result.best.begin(), result.best.end(),
        [this](const RankedHybrid &a, const RankedHybrid &b) { return better(a, b); });

    std::map<int, std::size_t> counts;
    for (const RankedHybrid &hybrid : result.best)
        for (std::size_t i = 0; i < parentCount(m_kind); ++i)
            ++counts[hybrid.parents[i]];
    for (const auto &[line, count] : counts)
        result.frequencies.push_back(LineFrequency { line, count });
    // The map gives them by line number; a stable sort keeps that order among equal counts.
    std::stable_sort(result.frequencies.begin(), result.frequencies.end(),
        [](const LineFrequency &a, const LineFrequency &b) { return a.count > b.count; });
    return result;
}

std::uint64_t Ranking::memoryNeeded(const RankingOptions &options, std::size_t candidates)
{
    // A kept hybrid, and with the best pairing its set's node and bucket in the map.
    const std::uint64_t kept = std::min(options.top, candidates);
    return kept * (sizeof(RankedHybrid) + (options.bestPairing ? 64 : 0));
}

void Ranking::checkMemory(
    const RankingOptions &options, std::size_t candidates, std::uint64_t available)
{
    const std::uint64_t needed = memoryNeeded(options, candidates);
    if (needed <= available)
        return;
    throw Error("Guardar os " + groupedCount(std::min(options.top, candidates))
        + " melhores h\xED" "bridos precisaria de cerca de " + byteSizeText(needed)
        + " de mem\xF3ria, mais do que h\xE1 dispon\xEDvel (" + byteSizeText(available)
        + "). Use um --top menor.");
}

RankingResult::Complete completeFromTable(const CellGrid &grid, Reciprocals reciprocals,
    const FormatSettings &settings, HybridKind kind)
{
    return completeFromIndex(
        std::make_shared<const SingleCrossIndex>(grid, reciprocals, settings), kind);
}

RankingResult::Complete completeFromIndex(
    std::shared_ptr<const SingleCrossIndex> index, HybridKind kind)
{
    return [index, kind](const RankedHybrid &hybrid) {
        const auto &p = hybrid.parents;
        const std::array<std::array<std::int32_t, 2>, 4> pairs = kind == HybridKind::DoubleCross
            ? std::array<std::array<std::int32_t, 2>, 4> { { { p[0], p[2] }, { p[0], p[3] },
                { p[1], p[2] }, { p[1], p[3] } } }
            : std::array<std::array<std::int32_t, 2>, 4> { { { p[0], p[2] }, { p[1], p[2] } } };
        Candidate candidate;
        candidate.kind = kind;
        candidate.parents = p;
        std::array<double, 4> values {};
        const std::size_t count = valueCount(kind);
        for (std::size_t v = 0; v < count; ++v) {
            candidate.crosses[v] = index->lookup(pairs[v][0], pairs[v][1]);
            values[v] = candidate.crosses[v].value;
        }
        const CandidateStatistics statistics
            = candidateStatistics(std::span<const double>(values.data(), count));
        candidate.falso = statistics.falso; // kept only when ranked with estimates
        candidate.mean = statistics.mean;
        candidate.cv = statistics.cv;
        // The run met this hybrid and ranked its printed form, so it has one.
        return *printedRecord(candidate, std::size_t(hybrid.order));
    };
}

RankingResult::Complete completeWithEstimates(
    RankingResult::Complete complete, std::shared_ptr<const MissingCrossEstimates> estimates)
{
    return [complete = std::move(complete), estimates](const RankedHybrid &hybrid) {
        const CandidateRecord record = complete(hybrid);
        // Only a FALSO candidate with estimable crosses was let in.
        return record.falso ? *estimates->estimated(record) : record;
    };
}

RankingResult rankReport(const ReportDocument &document, const RankingOptions &options,
    const FormatSettings &settings, const MissingCrossEstimates *estimates)
{
    const auto ranked = [estimates](CandidateRecord candidate) {
        if (estimates != nullptr && candidate.falso)
            if (std::optional<CandidateRecord> estimated = estimates->estimated(candidate))
                return *estimated;
        return candidate;
    };
    std::optional<Ranking> ranking;
    std::vector<std::size_t> lineOf; // the document's line of each candidate, by order
    for (std::size_t i = 0; i < document.count(); ++i) {
        std::optional<CandidateRecord> candidate = readCandidateLine(document.line(i), settings);
        if (!candidate)
            continue;
        // The first candidate line tells the kind of report; lines of the other kind, which
        // only a hand could have put there, are counted and left out of the order.
        if (!ranking)
            ranking.emplace(candidate->kind, options);
        candidate->order = lineOf.size();
        lineOf.push_back(i);
        ranking->add(ranked(*candidate));
    }
    if (!ranking)
        ranking.emplace(HybridKind::DoubleCross, options); // refuses K = 0 all the same
    RankingResult result = ranking->take({});
    // The rows are read now: the user may change the document afterwards.
    auto rows = std::make_shared<std::unordered_map<std::uint64_t, CandidateRecord>>();
    for (const RankedHybrid &hybrid : result.best) {
        CandidateRecord row = *readCandidateLine(document.line(lineOf[hybrid.order]), settings);
        row.order = std::size_t(hybrid.order);
        row = ranked(row);
        rows->emplace(hybrid.order, row);
    }
    result.complete = [rows](const RankedHybrid &hybrid) { return rows->at(hybrid.order); };
    result.estimatesShown = estimates != nullptr;
    return result;
}

} // namespace koravel
