// The predictions: every double cross (i x j)(k x l) or three-way cross (i x j) k of lines
// 1 to n, its mean and CV% from the single crosses of the table, one candidate record each,
// handed to a sink (the report's line writer, the ranking, the spreadsheets).
#pragma once

#include <cstdint>
#include <string>

#include "prediction/candidate.h"
#include "prediction/lines_field.h"
#include "prediction/lookup.h"

namespace koravel {

class CellGrid;
class ProgressBar;

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

// Where a run takes its single crosses from when not from the table's index: a reference such
// as the literal scan of the table, for tests and benchmarks. find() gives what the run makes of
// a x b (ExisteHS, then ValorHS when it answered true, else 0) and raises what they raise.
class CrossSource
{
public:
    virtual ~CrossSource() = default;
    virtual SingleCrossValue find(std::int32_t a, std::int32_t b) = 0;
};

// A run reads n from the field, tells messages when n is below the minimum (4 lines for double
// crosses, 3 for three-way crosses) and goes on, calls sink.begin(), sets the progress maximum
// (n - 3, n - 1) and hands every candidate in enumeration order to the sink, then sink.end().
// Errors end the run where they arise (Error with the product's message); the records handed
// out until then stay with the sink and end() is not called.
void predictDoubleCrosses(const PredictionInput &input, CandidateSink &sink, ProgressBar &progress,
    MessageSink &messages, CrossSource *source = nullptr);
void predictThreeWayCrosses(const PredictionInput &input, CandidateSink &sink,
    ProgressBar &progress, MessageSink &messages, CrossSource *source = nullptr);

// The same runs without handing anything out: the same steps in the same order (the number of
// lines, the progress maximum, every lookup and every mean and CV), so that the error a run
// would raise is raised here first, before a single line is written; a front end that streams
// the report can call it and write nothing when it throws. The information message for too few
// lines goes to messages when one is given. The progress bar the run would use is not touched.
//   field "3", a table without errors   -> returns; messages receives kMinimumDoubleCrossMessage
//   field "0"                           -> Error "TProgressBar property out of range"
//   a bad parent A cell                 -> the Error the first lookup of the run would raise
void checkDoubleCrosses(const PredictionInput &input, MessageSink *messages = nullptr,
    CrossSource *source = nullptr);
void checkThreeWayCrosses(const PredictionInput &input, MessageSink *messages = nullptr,
    CrossSource *source = nullptr);

inline constexpr const char *kMinimumDoubleCrossMessage = "Para c\xE1"
                                                          "culo de HDs o m\xED"
                                                          "nimo s\xE3o 4 linhagens";
inline constexpr const char *kMinimumThreeWayMessage = "Para c\xE1"
                                                       "culo de HTs o m\xED"
                                                       "nimo s\xE3o 3 linhagens";

} // namespace koravel
