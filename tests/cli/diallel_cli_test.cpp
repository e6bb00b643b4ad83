// koravel-cli dialelo: the text and the CSV of the examples against golden files (checked against an exact
// least-squares computation before they were kept), the workbook's sheets, and its refusals.
#include "cli_runner.h"
#include "unzipped.h"

using namespace clitest;

TEST(CliDiallel, ExamplesRefusalsAndUsage)
{
    TempDir dir;
    const std::string names = dir.file("nomes.txt", "1 B73\n2 Mo17\n");
    const std::string golden = std::string(KORAVEL_GOLDEN_DIR) + "/";
    const struct
    {
        std::vector<std::string> arguments;
        int status;
        std::string goldenCsv; // or the start of standard error
    } rows[] = {
        { { example("griffing56_maize.txt"), "--lines", "9", "--error-ms", "250", "--error-df",
              "175", "--replications", "6", "--names", names, "--xlsx", dir / "w.xlsx" },
            0, "griffing56_maize.dialelo.csv" },
        { { example("dialelo_incompleto.txt"), "--lines", "7", "--csv-separator", ",",
              "--csv-decimal", "." },
            0, "dialelo_incompleto.dialelo.csv" },
        { { example("dialelo_completo.txt"), "--lines", "3" }, 1,
            "Para a análise dialélica o mínimo são 4 linhagens.\n" },
        { { example("dialelo_completo.txt"), "--lines", "6", "--names", dir / "nada.txt" }, 1,
            "Cannot open file \"" + dir / "nada.txt" + "\". No such file or directory.\n" },
        { { example("dialelo_completo.txt"), "--lines", "6", "--error-ms", "2,5" }, 2,
            "koravel-cli: --error-ms, --error-df e --replications vão juntas\n" },
        { { example("dialelo_completo.txt"), "--lines", "6", "--error-ms", "-1", "--error-df", "10",
              "--replications", "2" },
            2, "koravel-cli: --error-ms espera um número maior que zero, não \"-1\"\n" },
        { { example("dialelo_completo.txt"), "--lines", "6", "--top", "3" }, 2,
            "koravel-cli: dialelo aceita só --lines, " },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        std::vector<std::string> arguments { "dialelo" };
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        arguments.insert(arguments.end(), { "--decimal-separator", ".", "--csv", dir / "o.csv" });
        std::remove((dir / "o.csv").c_str());
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, row.status) << run.err;
        if (row.status != 0) {
            EXPECT_TRUE(run.err.starts_with(row.goldenCsv)) << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_FALSE(std::filesystem::exists(dir / "o.csv"));
            continue;
        }
        EXPECT_EQ(run.err, "");
        const std::string name = row.goldenCsv.substr(0, row.goldenCsv.size() - 4);
        EXPECT_EQ(run.out, readBytes(golden + name + ".txt"));
        EXPECT_EQ(readBytes(dir / "o.csv"), readBytes(golden + row.goldenCsv));
    }
    // The workbook holds the same tables, one sheet each, numbers as numbers (read back with
    // Info-ZIP's unzip, which Windows lacks).
#ifndef _WIN32
    EXPECT_NE(
        unzipped(dir / "w.xlsx", "xl/workbook.xml").find("An\xC3\xA1lise de vari\xC3\xA2ncia"),
        std::string::npos);
    EXPECT_NE(unzipped(dir / "w.xlsx", "xl/worksheets/sheet1.xml").find("<v>9.3507936507936"),
        std::string::npos);
#endif
    // With hd and ht the options of the analysis go to the ranking, which they need.
    const CliRun hd =
        runCli({ "hd", example("dialelo_completo.txt"), "--lines", "6", "--names", names });
    EXPECT_EQ(hd.status, 2);
    EXPECT_TRUE(hd.err.starts_with(
        "koravel-cli: --error-ms, --error-df, --replications e --names pedem a ordenação"));
}
