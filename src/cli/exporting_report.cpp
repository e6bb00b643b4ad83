// The report's lines read back on the way out, for the ranking and the spreadsheets.
#include "exporting_report.h"

#include "candidate_workbook.h"
#include "csv_writer.h"
#include "ranking.h"

namespace koravel::cli {

ExportingReport::ExportingReport(ReportSink &report, const ExportOptions &options, HybridKind kind,
    const FormatSettings &reportSettings, std::size_t candidates, bool cleanUp)
    : m_report(report)
    , m_options(options)
    , m_reportSettings(reportSettings)
    , m_cleanUp(cleanUp)
{
    if (options.xlsxPath)
        m_workbook = std::make_unique<CandidateWorkbook>(
            *options.xlsxPath, kind, candidates, options.ranking.has_value());
    if (options.ranking)
        m_ranking = std::make_unique<Ranking>(kind, *options.ranking);
    if (options.rankingPath)
        m_rankingCsv = std::make_unique<CsvWriter>(*options.rankingPath, options.csv);
    if (options.csvPath) {
        m_csv = std::make_unique<CsvWriter>(*options.csvPath, options.csv);
        m_csv->candidateHeader(kind);
    }
}

ExportingReport::~ExportingReport() = default;

void ExportingReport::appendLine(std::string_view line)
{
    m_report.appendLine(line);
    std::optional<CandidateRecord> candidate = parseCandidateLine(line, m_reportSettings);
    if (!candidate)
        return;
    candidate->order = m_order++;
    if (m_ranking)
        m_ranking->add(*candidate);
    if (m_cleanUp && candidate->falso)
        return;
    if (m_csv)
        m_csv->candidate(*candidate);
    if (m_workbook)
        m_workbook->candidate(*candidate);
}

void ExportingReport::finish()
{
    std::optional<RankingResult> ranking;
    if (m_ranking)
        ranking = m_ranking->result();
    if (m_csv)
        m_csv->commit();
    if (m_workbook)
        m_workbook->finish(ranking ? &*ranking : nullptr);
    if (m_rankingCsv) {
        m_rankingCsv->ranking(*ranking);
        m_rankingCsv->commit();
    }
}

} // namespace koravel::cli
