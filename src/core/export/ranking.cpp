// Ranking the predicted hybrids: the best K kept in a bounded heap.
#include "export/ranking.h"

#include <algorithm>
#include <limits>
#include <map>
#include <span>

#include "numtext/error.h"
#include "prediction/lookup.h"
#include "report/report_line.h"
#include "report/report_document.h"
#include "export/spreadsheet_texts.h"

namespace koravel {

const char *const kRankingTopZeroMessage = "O n\xFAmero de melhores h\xED"
                                           "bridos deve ser maior que zero";

namespace {

    // The four lines of a double cross, smallest first: the three pairings of a set share it.
    std::array<int, 4> lineSet(const CandidateRecord &candidate)
    {
        std::array<int, 4> set = candidate.parents;
        std::sort(set.begin(), set.end());
        return set;
    }

} // namespace

Ranking::Ranking(HybridKind kind, RankingOptions options)
    : m_kind(kind)
    , m_options(options)
{
    if (options.top == 0)
        throw Error(kRankingTopZeroMessage);
}

// Higher mean first; of equal means, the one met first.
bool Ranking::better(const CandidateRecord &a, const CandidateRecord &b) const
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
void Ranking::place(std::size_t index, const CandidateRecord &candidate)
{
    if (index == m_heap.size()) {
        m_heap.push_back(candidate);
    } else {
        if (trackingSets())
            m_positions.erase(lineSet(m_heap[index]));
        m_heap[index] = candidate;
    }
    if (trackingSets())
        m_positions[lineSet(candidate)] = index;
}

std::size_t Ranking::SetHash::operator()(const std::array<int, 4> &set) const
{
    std::size_t hash = 0;
    for (const int line : set)
        hash = hash * 1000003u ^ std::hash<int>()(line);
    return hash;
}

std::size_t Ranking::findSameSet(const CandidateRecord &candidate) const
{
    const auto found = m_positions.find(lineSet(candidate));
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
    const bool full = m_heap.size() >= m_options.top;
    if (full && !better(candidate, m_heap.front()))
        return;
    if (trackingSets()) {
        const std::size_t same = findSameSet(candidate);
        if (same < m_heap.size()) {
            if (better(candidate, m_heap[same])) {
                place(same, candidate);
                siftDown(same); // better than before: it can only move away from the root
            }
            return;
        }
    }
    if (full) {
        place(0, candidate);
        siftDown(0);
    } else {
        place(m_heap.size(), candidate);
        siftUp(m_heap.size() - 1);
    }
}

RankingResult Ranking::result() const
{
    RankingResult result;
    result.kind = m_kind;
    result.candidates = m_candidates;
    result.predicted = m_predicted;
    result.best = m_heap;
    std::sort(result.best.begin(), result.best.end(),
        [this](const CandidateRecord &a, const CandidateRecord &b) { return better(a, b); });

    std::map<int, std::size_t> counts;
    for (const CandidateRecord &candidate : result.best)
        for (std::size_t i = 0; i < parentCount(m_kind); ++i)
            ++counts[candidate.parents[i]];
    for (const auto &[line, count] : counts)
        result.frequencies.push_back(LineFrequency { line, count });
    // The map gives them by line number; a stable sort keeps that order among equal counts.
    std::stable_sort(result.frequencies.begin(), result.frequencies.end(),
        [](const LineFrequency &a, const LineFrequency &b) { return a.count > b.count; });
    return result;
}

RankingResult rankReport(
    const ReportDocument &document, const RankingOptions &options, const FormatSettings &settings)
{
    std::optional<Ranking> ranking;
    std::size_t order = 0;
    for (std::size_t i = 0; i < document.count(); ++i) {
        std::optional<CandidateRecord> candidate = readCandidateLine(document.line(i), settings);
        if (!candidate)
            continue;
        // The first candidate line tells the kind of report; lines of the other kind, which
        // only a hand could have put there, are counted and left out of the order.
        if (!ranking)
            ranking.emplace(candidate->kind, options);
        candidate->order = order++;
        ranking->add(*candidate);
    }
    if (!ranking)
        ranking.emplace(HybridKind::DoubleCross, options); // refuses K = 0 all the same
    return ranking->result();
}

} // namespace koravel
