// The report's lines on their way out, read back once each and handed to the ranking and the
// spreadsheets, so that koravel-cli ranks and exports exactly what the report holds.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "export_options.h"
#include "prediction/prediction.h"

namespace koravel {
class CandidateWorkbook;
class CsvWriter;
class Ranking;
} // namespace koravel

namespace koravel::cli {

class ExportingReport final : public ReportSink
{
public:
    // Makes the export files' temporary files; refuses a workbook that would need more rows
    // than a sheet has (candidates is the count the prediction will write). With cleanUp the
    // spreadsheets leave out the FALSO lines, as the cleaned report does.
    ExportingReport(ReportSink &report, const ExportOptions &options, HybridKind kind,
        const FormatSettings &reportSettings, std::size_t candidates, bool cleanUp);
    ~ExportingReport() override;

    void clear() override { m_report.clear(); }
    void appendLine(std::string_view line) override;
    void show() override { m_report.show(); }

    // Writes the ranking and puts every export file in place.
    void finish();

private:
    // Whether the line can be left out of the ranking without reading it in full.
    bool skipForRanking(std::string_view line);

    ReportSink &m_report;
    FormatSettings m_reportSettings;
    bool m_cleanUp;
    bool m_rankingOnly;
    std::size_t m_order = 0;
    std::unique_ptr<Ranking> m_ranking;
    std::unique_ptr<CsvWriter> m_csv;
    std::unique_ptr<CsvWriter> m_rankingCsv;
    std::unique_ptr<CandidateWorkbook> m_workbook;
};

} // namespace koravel::cli
