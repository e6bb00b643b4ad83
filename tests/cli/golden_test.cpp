// koravel-cli against the golden files: for every row, the report as predicted and cleaned up,
// its CSV, its ranking and, where kept, the sheets of its workbook, byte for byte.
#include "cli_runner.h"
#include "golden.h"
#include "unzipped.h"

using namespace clitest;

using GoldenCli = testing::TestWithParam<GoldenRow>;

TEST_P(GoldenCli, ReportCsvRankingAndWorkbook)
{
    const GoldenRow &row = GetParam();
    TempDir dir;
    const auto run = [&](const std::vector<std::string> &options) {
        std::vector<std::string> arguments { row.hd ? "hd" : "ht", example(row.example + ".txt"),
            "--lines", std::to_string(row.lines), "--reciprocals", row.sim ? "sim" : "nao",
            "--decimal-separator", std::string(1, row.separator) };
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CliRun done = runCli(arguments);
        EXPECT_EQ(done.status, 0);
        EXPECT_EQ(done.err, "");
        return done.out;
    };
    // The ranking alone, which may stop reading candidates once the best are known; the CSV
    // beside a report written to a file; the clean-up on standard output.
    std::vector<std::string> ranking { "--top", "10", "--ranking", dir / "o.csv" };
    if (row.hd)
        ranking.push_back("--best-pairing");
    EXPECT_EQ(run(ranking), row.file(".txt"));
    EXPECT_EQ(readBytes(dir / "o.csv"), row.file(".ranking.csv"));
    // The same ranking found without the report.
    ranking.push_back("--no-report");
    EXPECT_EQ(run(ranking), "");
    EXPECT_EQ(readBytes(dir / "o.csv"), row.file(".ranking.csv"));
    EXPECT_EQ(run({ "--output", dir / "r.txt", "--csv", dir / "c.csv" }), "");
    EXPECT_EQ(readBytes(dir / "r.txt"), row.file(".txt"));
    EXPECT_EQ(readBytes(dir / "c.csv"), row.file(".csv"));
    EXPECT_EQ(run({ "--clean" }), row.file(".limpo.txt"));

    // Read back with Info-ZIP's unzip, which Windows lacks; scripts/build-windows-compare.sh
    // compares the sheets of the Windows build's workbooks on the Linux side.
#ifdef _WIN32
    return;
#endif
    if (row.file(".xlsx.sheet1.xml").empty())
        return;
    run({ "--top", "5", "--xlsx", dir / "w.xlsx" });
    for (const std::string sheet : { "sheet1", "sheet2" })
        EXPECT_EQ(unzipped(dir / "w.xlsx", "xl/worksheets/" + sheet + ".xml"),
            row.file(".xlsx." + sheet + ".xml"));
    // Without the report the ranking is the only sheet, and so the one selected.
    run({ "--top", "5", "--no-report", "--xlsx", dir / "n.xlsx" });
    std::string alone = unzipped(dir / "n.xlsx", "xl/worksheets/sheet1.xml");
    const std::string selected = " tabSelected=\"1\"";
    alone.erase(alone.find(selected), selected.size());
    EXPECT_EQ(alone, row.file(".xlsx.sheet2.xml"));
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenCli, testing::ValuesIn(goldenRows()), goldenName);
