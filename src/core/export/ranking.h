// Ranking the predicted hybrids: the best K by mean kept in a bounded heap, and how often each
// line appears among them; fed with the records of a run or the lines of a report read back.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "numtext/numtext.h" // FormatSettings
#include "prediction/candidate.h"

namespace koravel {

class ReportDocument;

struct RankingOptions
{
    std::size_t top = 20; // K: how many of the best are kept; 0 is refused
    bool bestPairing =
        false; // double crosses: only the best of the three pairings of each set of four lines
};

struct LineFrequency
{
    int line = 0;
    std::size_t count = 0; // how many of the best hybrids have this line as a parent
};

struct RankingResult
{
    HybridKind kind = HybridKind::DoubleCross;
    std::size_t candidates = 0; // candidate lines read, FALSO ones included
    std::size_t predicted = 0; // of them, not FALSO
    std::vector<CandidateRecord> best; // highest mean first; ties in enumeration order
    std::vector<LineFrequency> frequencies; // most frequent first; ties by line number
};

// "O número de melhores híbridos deve ser maior que zero" (Latin-1)
extern const char *const kRankingTopZeroMessage;

// Streaming ranking: add candidates in enumeration order (FALSO ones are counted and skipped).
// Memory is bounded by K, however many candidates arrive.
class Ranking
{
public:
    // Throws Error(kRankingTopZeroMessage) when options.top is 0.
    Ranking(HybridKind kind, RankingOptions options);
    void add(const CandidateRecord &candidate);
    RankingResult result() const;

private:
    bool better(const CandidateRecord &a, const CandidateRecord &b) const;
    void siftUp(std::size_t index);
    void siftDown(std::size_t index);
    bool trackingSets() const;
    void swapEntries(std::size_t a, std::size_t b);
    void place(std::size_t index, const CandidateRecord &candidate);
    std::size_t findSameSet(const CandidateRecord &candidate) const;

    struct SetHash
    {
        std::size_t operator()(const std::array<int, 4> &set) const;
    };

    HybridKind m_kind;
    RankingOptions m_options;
    std::size_t m_candidates = 0;
    std::size_t m_predicted = 0;
    // A min-heap on (mean, later order first): the root is the worst of those kept.
    std::vector<CandidateRecord> m_heap;
    // With the best pairing: where the pairing kept of each set of four lines is in the heap.
    std::unordered_map<std::array<int, 4>, std::size_t, SetHash> m_positions;
};

// Ranks the candidate lines of a report document as it stands (headers, rules, summary lines
// and lines that do not parse are skipped).
RankingResult rankReport(
    const ReportDocument &document, const RankingOptions &options, const FormatSettings &settings);

} // namespace koravel
