// The predictions: every double cross (i x j)(k x l) or three-way cross (i x j) k of lines
// 1 to n, its mean and CV% from the single crosses of the table, one report line each.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "prediction/lines_field.h"
#include "prediction/lookup.h"
#include "numtext/numtext.h"

namespace koravel {

class CellGrid;
class ProgressBar;

// Where a prediction writes its lines: the report window's document, a stream, or nothing.
class ReportSink
{
public:
    virtual ~ReportSink() = default;
    virtual void clear() = 0;
    virtual void appendLine(std::string_view line) = 0;
    // Called after every candidate line: the report window is shown and brought to the front.
    virtual void show() { }
};

// Information messages ("Para cáculo de HDs o mínimo são 4 linhagens"); the run goes on after.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual void information(const std::string &message) = 0;
};

struct PredictionInput
{
    const CellGrid &grid;
    LinesField lines;
    Reciprocals reciprocals = Reciprocals::Distinct;
    FormatSettings settings;
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

// The literal scan is kept as the reference; the index gives the same report much faster.
enum class LookupMethod { Indexed, LiteralScan };

// Errors end the run where they arise (Error with the product's message); the lines appended
// until then stay and the closing rule is not written.
void predictDoubleCrosses(const PredictionInput &input, ReportSink &report, ProgressBar &progress,
    MessageSink &messages, LookupMethod method = LookupMethod::Indexed);
void predictThreeWayCrosses(const PredictionInput &input, ReportSink &report, ProgressBar &progress,
    MessageSink &messages, LookupMethod method = LookupMethod::Indexed);

// The same runs without writing anything: the same steps in the same order (the number of
// lines, the progress maximum, every lookup and every mean and CV), so that the error a run
// would raise is raised here first, before a single line is written; a front end that streams
// the report can call it and write nothing when it throws. The information message for too few
// lines goes to messages when one is given. The progress bar the run would use is not touched.
//   field "3", a table without errors   -> returns; messages receives kMinimumDoubleCrossMessage
//   field "0"                           -> Error "TProgressBar property out of range"
//   a bad parent A cell                 -> the Error the first lookup of the run would raise
void checkDoubleCrosses(const PredictionInput &input, MessageSink *messages = nullptr,
    LookupMethod method = LookupMethod::Indexed);
void checkThreeWayCrosses(const PredictionInput &input, MessageSink *messages = nullptr,
    LookupMethod method = LookupMethod::Indexed);

} // namespace koravel
