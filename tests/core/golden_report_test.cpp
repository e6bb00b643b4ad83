// The report window's path against the golden files: the example imported, the prediction
// written into the report document, saved, cleaned up and saved again; the CSV, the ranking and
// the workbook made from the document. Every byte as koravel-cli wrote it before the reshaping.
#include <gtest/gtest.h>

#include "export/spreadsheet_export.h"
#include "golden.h"
#include "progress.h"
#include "report/report_document.h"
#include "report/report_file.h"
#include "report/report_line.h"
#include "unzipped.h"

using namespace koravel;
using namespace koravel::test;

namespace {

struct DocumentSink : ReportSink, MessageSink
{
    void clear() override { document.clear(); }
    void appendLine(std::string_view line) override { document.appendLine(line); }
    void information(const std::string &message) override { ADD_FAILURE() << message; }
    ReportDocument document;
};

using GoldenWindow = testing::TestWithParam<GoldenRow>;

TEST_P(GoldenWindow, SavedReportSpreadsheetsAndCleanUp)
{
    const GoldenRow &row = GetParam();
    TempDir dir;
    const CellGrid grid = importedExample(row.example + ".txt");
    const FormatSettings settings { row.separator };
    const PredictionInput input { grid, std::to_string(row.lines),
        row.sim ? Reciprocals::Distinct : Reciprocals::Either, settings };
    DocumentSink report;
    ProgressBar progress;
    if (row.hd)
        predictDoubleCrosses(input, report, progress, report);
    else
        predictThreeWayCrosses(input, report, progress, report);
    ReportDocument &document = report.document;
    saveReportFile(dir / "r.txt", document.text());
    EXPECT_EQ(readBytes(dir / "r.txt"), row.file(".txt"));

    exportReportCsv(dir / "c.csv", document, settings, {});
    EXPECT_EQ(readBytes(dir / "c.csv"), row.file(".csv"));
    exportRankingCsv(dir / "o.csv", rankReport(document, { 10, row.hd }, settings), {});
    EXPECT_EQ(readBytes(dir / "o.csv"), row.file(".ranking.csv"));
    // Read back with Info-ZIP's unzip, which Windows lacks; scripts/build-windows-compare.sh
    // compares the sheets of the Windows build's workbooks on the Linux side.
#ifndef _WIN32
    if (!row.file(".xlsx.sheet1.xml").empty()) {
        const RankingResult best = rankReport(document, { 5, false }, settings);
        exportReportXlsx(dir / "w.xlsx", document, settings, &best);
        for (const std::string sheet : { "sheet1", "sheet2" })
            EXPECT_EQ(unzipped(dir / "w.xlsx", "xl/worksheets/" + sheet + ".xml"),
                row.file(".xlsx." + sheet + ".xml"));
    }
#endif

    cleanUpReport(document);
    saveReportFile(dir / "r.txt", document.text());
    EXPECT_EQ(readBytes(dir / "r.txt"), row.file(".limpo.txt"));
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenWindow, testing::ValuesIn(goldenRows()), goldenName);

} // namespace
