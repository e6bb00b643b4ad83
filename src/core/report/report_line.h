// The report's candidate lines both ways: the writer that turns candidate records into lines,
// and its exact inverse, the reader of a line of the report window's text (which the user may
// have edited) back into a record.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "numtext/numtext.h"
#include "prediction/candidate.h"
#include "prediction/prediction.h"

namespace koravel {

// Candidate lines made together on a worker thread, each followed by CR LF.
struct LineBlock
{
    std::string_view text;
    std::size_t lines = 0; // the lines in text
    std::size_t falso = 0; // the FALSO lines among the block's candidates
};

// How a sink takes candidate lines in blocks: with the FALSO lines or without them (left out
// on the way, as a clean-up leaves them out).
struct BlockForm
{
    bool withoutFalso = false;
};

// Where report lines go: the report window's document, a stream, or nothing.
class ReportSink
{
public:
    virtual ~ReportSink() = default;
    virtual void clear() = 0;
    virtual void appendLine(std::string_view line) = 0;
    // Called after every candidate line: the report window is shown and brought to the front.
    // After a block of lines it is called once.
    virtual void show() { }

    // A sink that takes the candidate lines of a run in blocks, made on several threads and
    // appended in order, gives their form; nothing when it takes one line at a time.
    virtual std::optional<BlockForm> blockForm() const { return std::nullopt; }
    virtual void appendBlock(const LineBlock &) { }
    // A sink that shows the report while it is written puts the lines so far on view.
    virtual void refresh() { }
};

// The whole report of a run: begin() clears the report and writes the header block, every
// candidate becomes one line ("HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75", or the same
// after "FALSO "), and end() writes the closing rule.
class ReportLineWriter final : public CandidateSink
{
public:
    ReportLineWriter(ReportSink &report, const FormatSettings &settings);
    ~ReportLineWriter() override;

    void begin(HybridKind kind) override;
    void candidate(const Candidate &candidate) override;
    void end() override;
    // Blocks of lines, when the report takes them.
    std::unique_ptr<CandidateBatch> batch() override;
    void take(CandidateBatch &batch) override;

private:
    class MeanTexts;
    class LineBatch;
    void writeCv(const Candidate &candidate);

    ReportSink &m_report;
    FormatSettings m_settings;
    std::unique_ptr<MeanTexts> m_means;
    std::string m_cv;
    std::string m_line; // reused for every line
};

// A report line read back with the decimal separator of settings:
//   "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75"  -> HD 1 2 3 4, values 5 5.5 4.75 5.75
//   "FALSO HT (1x2) 3 =>\t0.000\t0.0\t0\t6"            -> falso HT 1 2 3, values 0 6
//   "HD (1x2)(3x4) =>\t5.250"                           -> nullopt (values missing)
// Anything else (header, rule, summary, a line the user broke) gives nullopt. The mean and CV
// shown must read as numbers, but the record's are worked out again from the values, as
// printedRecord() works them out; order is left 0.
std::optional<CandidateRecord> readCandidateLine(
    std::string_view line, const FormatSettings &settings);

// A run written straight into a report (the report window's).
void predictDoubleCrosses(const PredictionInput &input, ReportSink &report, ProgressBar &progress,
    MessageSink &messages);
void predictThreeWayCrosses(const PredictionInput &input, ReportSink &report,
    ProgressBar &progress, MessageSink &messages);

} // namespace koravel
