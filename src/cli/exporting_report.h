// The candidate records of a run on their way to the report, handed in the form the report
// prints them to the ranking and the spreadsheets, so that koravel-cli ranks and exports exactly
// what the report holds.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "export_options.h"
#include "report/replacing_file.h"
#include "prediction/prediction.h"

namespace koravel {
class CandidateWorkbook;
class CsvWriter;
class Ranking;
} // namespace koravel

namespace koravel::cli {

class RankingExtras;

class ExportingReport final : public CandidateSink
{
public:
    // Makes the export files' temporary files; refuses a workbook that would need more rows
    // than a sheet has (candidates is the count the prediction will write). With cleanUp the
    // spreadsheets leave out the FALSO lines, as the cleaned report does.
    // The table of input must stay as it is until finish(): the ranking's rows are worked out
    // from it again when they are written.
    ExportingReport(CandidateSink &report, const ExportOptions &options, HybridKind kind,
        const PredictionInput &input, std::size_t candidates, bool cleanUp);
    ~ExportingReport() override;

    void begin(HybridKind kind) override { m_report.begin(kind); }
    void candidate(const Candidate &candidate) override;
    void end() override { m_report.end(); }

    // The ranking's estimates, errors and names, when asked for; extras must outlive finish().
    void setRankingExtras(RankingExtras *extras) { m_extras = extras; }

    // Writes the ranking and finishes every export file; they are replaced by the caller.
    std::vector<ReplacingFile *> finish();

private:
    CandidateSink &m_report;
    const PredictionInput &m_input;
    HybridKind m_kind;
    bool m_cleanUp;
    std::size_t m_order = 0;
    std::unique_ptr<Ranking> m_ranking;
    RankingExtras *m_extras = nullptr;
    std::unique_ptr<CsvWriter> m_csv;
    std::unique_ptr<CsvWriter> m_rankingCsv;
    std::unique_ptr<CandidateWorkbook> m_workbook;
};

} // namespace koravel::cli
