// The predictions: every double cross (i x j)(k x l) or three-way cross (i x j) k of lines
// 1 to n, its mean and CV% from the single crosses of the table, one report line each.
#pragma once

#include <string>
#include <string_view>

#include "lookup.h"
#include "numtext.h"

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
    std::string_view linesFieldText; // the text of the number-of-lines field, read as integer
    Reciprocals reciprocals = Reciprocals::Distinct;
    FormatSettings settings;
};

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
