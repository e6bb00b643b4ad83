// Ranking the predicted hybrids: the best K by mean kept in a bounded heap, and how often each
// line appears among them; fed with the records of a run or the lines of a report read back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "numtext/numtext.h" // FormatSettings
#include "prediction/candidate.h"
#include "prediction/lookup.h"

namespace koravel {

class CellGrid;
class LineNames;
class MissingCrossEstimates;
class ReportDocument;
class SingleCrossIndex;

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

// One kept hybrid: its lines, its mean and its place among the candidates, 32 bytes; the rest of
// its row is worked out again when the ranking is shown or written.
struct RankedHybrid
{
    std::array<std::int32_t, 4> parents {};
    double mean = 0;
    std::uint64_t order = 0;
};

struct RankingResult
{
    using Complete = std::function<CandidateRecord(const RankedHybrid &)>;

    HybridKind kind = HybridKind::DoubleCross;
    std::size_t candidates = 0; // candidates met, FALSO ones included
    std::size_t predicted = 0; // of them, not FALSO (or ranked with estimates)
    std::size_t estimated = 0; // of the predicted, those ranked with estimated single crosses
    std::vector<RankedHybrid> best; // highest mean first; ties in enumeration order
    std::vector<LineFrequency> frequencies; // most frequent first; ties by line number
    Complete complete; // the whole row of a kept hybrid

    // What the ranking shows besides, only when asked for: the column "Estimado" when it was
    // asked to rank with estimates of missing crosses; with the trial's error the standard error
    // of each kept hybrid and whether it differs from the first at 5 % (one entry a kept
    // hybrid, else empty); the names of the lines beside their numbers.
    bool estimatesShown = false;
    std::vector<double> standardErrors;
    std::vector<char> differsFromFirst;
    std::shared_ptr<const LineNames> names;

    // The row of best[index]: its single crosses and CV as the report prints them.
    CandidateRecord record(std::size_t index) const { return complete(best[index]); }
};

// "O número de melhores híbridos deve ser maior que zero" (Latin-1)
extern const char *const kRankingTopZeroMessage;

// Streaming ranking: add candidates in enumeration order (FALSO ones are counted and skipped).
// Memory is bounded by K, however many candidates arrive: 32 bytes a kept hybrid, and with the
// best pairing about 64 more for finding the kept pairing of a set.
class Ranking
{
public:
    // Throws Error(kRankingTopZeroMessage) when options.top is 0. K is capped at candidates, the
    // number of candidates the run will offer, when known.
    Ranking(HybridKind kind, RankingOptions options, std::size_t candidates = SIZE_MAX);
    void add(const CandidateRecord &candidate);
    // Once K are kept, the worst of them: a candidate must beat it to get in. Nothing before.
    std::optional<RankedHybrid> worstKept() const;
    // The best K, sorted; the ranking is left empty.
    RankingResult take(RankingResult::Complete complete);

    // The memory the ranking of K of candidates would take at most, and its refusal when more
    // than available:
    //   "Guardar os 11.763.675 melhores híbridos precisaria de cerca de 376,4 MB de memória, mais
    //    do que há disponível (200,0 MB). Use um --top menor."
    static std::uint64_t memoryNeeded(const RankingOptions &options, std::size_t candidates);
    static void checkMemory(
        const RankingOptions &options, std::size_t candidates, std::uint64_t available);

private:
    bool better(const RankedHybrid &a, const RankedHybrid &b) const;
    void siftUp(std::size_t index);
    void siftDown(std::size_t index);
    bool trackingSets() const;
    void swapEntries(std::size_t a, std::size_t b);
    void place(std::size_t index, const RankedHybrid &hybrid);
    std::size_t findSameSet(const RankedHybrid &hybrid) const;

    struct SetHash
    {
        std::size_t operator()(const std::array<std::int32_t, 4> &set) const;
    };

    HybridKind m_kind;
    RankingOptions m_options;
    std::size_t m_candidates = 0;
    std::size_t m_predicted = 0;
    std::size_t m_estimated = 0;
    // A min-heap on (mean, later order first): the root is the worst of those kept.
    std::vector<RankedHybrid> m_heap;
    // With the best pairing: where the pairing kept of each set of four lines is in the heap.
    std::unordered_map<std::array<std::int32_t, 4>, std::size_t, SetHash> m_positions;
};

// The rows of kept hybrids worked out again from the table a run predicted from (which must not
// change meanwhile), as the run worked them out.
RankingResult::Complete completeFromTable(const CellGrid &grid, Reciprocals reciprocals,
    const FormatSettings &settings, HybridKind kind);
// The same from an index already built over that table.
RankingResult::Complete completeFromIndex(
    std::shared_ptr<const SingleCrossIndex> index, HybridKind kind);

// The rows of a run's kept hybrids where a FALSO one, which only the estimates let in, gets its
// estimated crosses again.
RankingResult::Complete completeWithEstimates(
    RankingResult::Complete complete, std::shared_ptr<const MissingCrossEstimates> estimates);

// Ranks the candidate lines of a report document as it stands (headers, rules, summary lines
// and lines that do not parse are skipped). The result holds the rows of the kept hybrids read
// then, so it does not depend on the document afterwards. With estimates, a FALSO line whose
// missing crosses they estimate is ranked with them (marked estimated).
RankingResult rankReport(const ReportDocument &document, const RankingOptions &options,
    const FormatSettings &settings, const MissingCrossEstimates *estimates = nullptr);

} // namespace koravel
