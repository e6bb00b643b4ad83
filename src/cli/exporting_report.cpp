// The records of a run handed to the ranking and the spreadsheets on their way to the report.
#include "exporting_report.h"

#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "numtext/error.h"
#include "export/ranking.h"
#include "ranking_extras.h"

namespace koravel::cli {

ExportingReport::ExportingReport(CandidateSink &report, const ExportOptions &options,
    HybridKind kind, const PredictionInput &input, std::size_t candidates, bool cleanUp)
    : m_report(report)
    , m_input(input)
    , m_kind(kind)
    , m_cleanUp(cleanUp)
{
    if (options.xlsxPath)
        m_workbook = std::make_unique<CandidateWorkbook>(
            *options.xlsxPath, kind, candidates, options.ranking.has_value());
    if (options.ranking)
        m_ranking = std::make_unique<Ranking>(kind, *options.ranking, candidates);
    if (options.rankingPath)
        m_rankingCsv = std::make_unique<CsvWriter>(*options.rankingPath, options.csv);
    if (options.csvPath) {
        m_csv = std::make_unique<CsvWriter>(*options.csvPath, options.csv);
        m_csv->candidateHeader(kind);
    }
}

ExportingReport::~ExportingReport() = default;

void ExportingReport::candidate(const Candidate &candidate)
{
    m_report.candidate(candidate);
    const std::optional<CandidateRecord> record = printedRecord(candidate, m_order);
    if (!record)
        return;
    ++m_order;
    if (m_ranking)
        m_ranking->add(m_extras ? m_extras->ranked(*record, m_input) : *record);
    if (m_cleanUp && record->falso)
        return;
    if (m_csv)
        m_csv->candidate(*record);
    if (m_workbook)
        m_workbook->candidate(*record);
}

std::vector<ReplacingFile *> ExportingReport::finish()
{
    std::optional<RankingResult> ranking;
    if (m_ranking)
        ranking = m_ranking->take(
            completeFromTable(m_input.grid, m_input.reciprocals, m_input.settings, m_kind));
    if (ranking && m_extras)
        m_extras->complete(*ranking, m_input);
    std::vector<ReplacingFile *> files;
    if (m_csv)
        files.push_back(&m_csv->finished());
    if (m_workbook)
        files.push_back(&m_workbook->finished(ranking ? &*ranking : nullptr));
    if (m_rankingCsv) {
        m_rankingCsv->ranking(*ranking);
        files.push_back(&m_rankingCsv->finished());
    }
    return files;
}

} // namespace koravel::cli
