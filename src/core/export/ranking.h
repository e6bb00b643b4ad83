// Ranking the predicted hybrids: the candidate lines of a report read back, the best K by mean
// kept in a bounded heap, and how often each line appears among them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "numtext/numtext.h" // FormatSettings
#include "report/report_format.h" // HybridKind

namespace koravel {

class ReportDocument;

// One candidate line of a report, read back.
struct CandidateRecord
{
    HybridKind kind = HybridKind::DoubleCross;
    bool falso = false;
    std::array<int, 4> parents {}; // i, j, k, l; l is 0 for a three-way cross
    std::array<double, 4> values {}; // HD: ik, il, jk, jl; HT: ik, jk, then 0, 0
    double mean = 0; // recomputed from the values as the prediction does
    double cv = 0;
    std::size_t order = 0; // 0-based position among the candidate lines read
};

// Reads a line as the predictions write it, with the decimal separator of settings:
//   "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75"  -> HD 1 2 3 4, values 5 5.5 4.75 5.75
//   "FALSO HT (1x2) 3 =>\t0.000\t0.0\t0\t6"            -> falso HT 1 2 3, values 0 6
//   "HD (1x2)(3x4) =>\t5.250"                           -> nullopt (values missing)
// Anything else (header, rule, summary, a line the user broke) gives nullopt. order is left 0.
std::optional<CandidateRecord> parseCandidateLine(
    std::string_view line, const FormatSettings &settings);

// "(1x2)(3x4)" or "(1x2) 3".
std::string hybridName(const CandidateRecord &candidate);

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

    // For a front end that ranks lines it has just written itself, so that most need not be
    // read in full: whether a candidate whose mean is at most upperBound could still be among
    // the best K. When it could not, skip() counts it in place of add().
    bool mightKeep(double upperBound) const;
    void skip(bool falso);

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
