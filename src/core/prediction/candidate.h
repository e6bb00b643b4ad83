// What a prediction gives for each candidate hybrid: a record with its lines, its single crosses
// (each value with the text the report prints for it), its mean and CV, and whether it is
// FALSO. Records go to sinks: the report's line writer, the ranking, the spreadsheets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace koravel {

enum class HybridKind { DoubleCross, ThreeWayCross };

// Four single crosses for a double cross (ik, il, jk, jl), two for a three-way cross (ik, jk).
constexpr std::size_t valueCount(HybridKind kind)
{
    return kind == HybridKind::DoubleCross ? 4 : 2;
}
// Four lines for a double cross (i, j, k, l), three for a three-way cross (i, j, k).
constexpr std::size_t parentCount(HybridKind kind)
{
    return kind == HybridKind::DoubleCross ? 4 : 3;
}

// One single cross as a candidate sees it: its value (0 when absent), that value in the general
// real format, and the number that text reads back as. The two numbers differ only for a cell
// of more than 15 significant digits; printed is NaN when the text does not read back ("INF").
struct SingleCrossValue
{
    double value = 0;
    std::string_view text;
    double printed = 0;
};

struct Candidate
{
    HybridKind kind = HybridKind::DoubleCross;
    bool falso = false;
    std::array<std::int32_t, 4> parents {}; // i, j, k, l; l is 0 for a three-way cross
    std::array<SingleCrossValue, 4> crosses {}; // in report order; the first valueCount(kind)
    double mean = 0; // 0 for FALSO
    double cv = 0;
    // The CV as "0.0" prints it, in tenths, when the quick computation settled it.
    bool cvTenthsKnown = false;
    std::uint64_t cvTenths = 0;
    // Whether 16 bytes may be read from the start of every text of at most 16 (a run in
    // blocks keeps its texts so, for a writer that copies them in one move).
    bool paddedTexts = false;
};

// The mean and CV% of one candidate from its single-cross values in the order of its line: four
// for a double cross (ik, il, jk, jl), two for a three-way cross (ik, jk). A value of exactly 0
// makes it FALSO, with mean and CV 0. Otherwise the mean is summed left to right in extended
// precision and stored as a double, and CV = sqrt(sum of the squared deviations from the stored
// mean / (count - 1)) / mean * 100 in extended precision, stored as a double; it carries the
// sign of the mean. Error "Floating point division by zero" when the mean is 0, "Floating point
// overflow" when the CV is beyond the double range. Where a quicker double computation is
// certain to print the same with "0.0", the CV is that computation's (within 1e-15 relative).
//   {5, 5.5, 4.75, 5.75} -> mean 5.25, CV 8.694...      {5, 6} -> mean 5.5, CV 12.856...
//   {5, 0, 4, 4}         -> FALSO                       {1, -1, 2, -2} -> division by zero
struct CandidateStatistics
{
    bool falso;
    double mean;
    double cv;
};
CandidateStatistics candidateStatistics(std::span<const double> values);

// The records of a run of consecutive candidates, taken on a worker thread: one block of a run
// that is worked on by several threads at once.
class CandidateBatch
{
public:
    virtual ~CandidateBatch() = default;
    virtual void clear() = 0;
    virtual void candidate(const Candidate &candidate) = 0;
};

// Where the records of a run go. begin() comes before the progress bar is set, end() after the
// last candidate; an error ends the run between the two and end() is not called.
class CandidateSink
{
public:
    virtual ~CandidateSink() = default;
    virtual void begin(HybridKind) { }
    virtual void candidate(const Candidate &candidate) = 0;
    virtual void end() { }

    // A sink that can take a run in blocks gives batches (made on the run's thread, filled on
    // worker threads, each by one thread at a time); take() then receives every filled batch
    // on the run's thread in the order of the candidates, in place of candidate(). Null: the
    // records come one at a time, as for a sink that needs them so (the ranking, the exports).
    virtual std::unique_ptr<CandidateBatch> batch() { return nullptr; }
    virtual void take(CandidateBatch &) { }
};

// A candidate as the report prints it, the form the ranking and the spreadsheets take: every
// value is the one its text reads back as, and the mean and CV are worked out from those values
// as the prediction works them out. Made from a record, or read back from a report line.
struct CandidateRecord
{
    HybridKind kind = HybridKind::DoubleCross;
    bool falso = false;
    std::array<int, 4> parents {}; // i, j, k, l; l is 0 for a three-way cross
    std::array<double, 4> values {}; // HD: ik, il, jk, jl; HT: ik, jk, then 0, 0
    double mean = 0;
    double cv = 0;
    std::size_t order = 0; // 0-based position among the candidates
    // Bit v set: values[v] is the additive fit's estimate of a missing single cross, so the
    // hybrid was FALSO in the report; 0 for every hybrid of the report itself.
    std::uint8_t estimated = 0;
};

// The printed form of a record. Nothing when a text does not read back, or when the values read
// back give no mean (0) or a CV beyond the double range: such a line is not the prediction's.
//   values {5, 5.5, 4.75, 5.75} texts "5" "5.5" "4.75" "5.75" -> the same values, mean 5.25
//   value 0.1234567890123456789, text "0.123456789012346"      -> value 0.123456789012346
std::optional<CandidateRecord> printedRecord(const Candidate &candidate, std::size_t order);

// The mean and CV of a record worked out from its values; false when they give an error or
// when the FALSO mark does not match them.
bool workOutStatistics(CandidateRecord &record);

// "(1x2)(3x4)" or "(1x2) 3".
std::string hybridName(const CandidateRecord &candidate);

} // namespace koravel
