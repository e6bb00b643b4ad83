// The report's lines read back on the way out, for the ranking and the spreadsheets.
#include "exporting_report.h"

#include <cmath>

#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "numtext/error.h"
#include "export/ranking.h"

namespace koravel::cli {

ExportingReport::ExportingReport(ReportSink &report, const ExportOptions &options, HybridKind kind,
    const FormatSettings &reportSettings, std::size_t candidates, bool cleanUp)
    : m_report(report)
    , m_reportSettings(reportSettings)
    , m_cleanUp(cleanUp)
    , m_rankingOnly(options.ranking && !options.csvPath && !options.xlsxPath)
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

// The lines come straight from the prediction: a FALSO line is never ranked, and the mean a
// line shows ("0.000", halves away from zero) is within 0.0005 of the one worked out again from
// its values, which may differ from the prediction's in the last bits only. So a line whose
// shown mean plus a margin is below the worst of the K kept cannot get in, and only its
// count matters; most of the millions of lines of a large run end there.
bool ExportingReport::skipForRanking(std::string_view line)
{
    const bool falso = line.starts_with("FALSO ");
    const std::string_view head = line.substr(falso ? 6 : 0, 4);
    if (head != "HD (" && head != "HT (")
        return false;
    if (!falso) {
        const std::size_t start = line.find("=>\t");
        if (start == std::string_view::npos)
            return false;
        std::string_view mean = line.substr(start + 3);
        mean = mean.substr(0, mean.find('\t'));
        double shown = 0;
        try {
            shown = double(strToFloat(mean, m_reportSettings));
        } catch (const Error &) {
            return false;
        }
        if (m_ranking->mightKeep(shown + 0.001 + std::fabs(shown) * 1e-9))
            return false;
    }
    m_ranking->skip(falso);
    ++m_order;
    return true;
}

void ExportingReport::appendLine(std::string_view line)
{
    m_report.appendLine(line);
    if (m_rankingOnly && skipForRanking(line))
        return;
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
