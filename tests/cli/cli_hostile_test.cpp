// koravel-cli's files beyond the golden rows: the ranking's CSV options, a large report, and an
// interrupted run, which leaves no partial file.
#include <algorithm>
#include <csignal>

#include "cli_runner.h"

using namespace clitest;

TEST(CliFiles, RankingWithItsCsvOptionsNextToAnUnchangedReport)
{
    TempDir dir;
    std::vector<std::string> arguments { "hd", dir.file("quatro.txt", kFourLines), "--lines", "4",
        "--reciprocals", "nao" };
    const std::string report = runCli(arguments).out;
    arguments.insert(arguments.end(),
        { "--top", "2", "--ranking", dir / "r.csv", "--csv-separator", ",", "--csv-decimal", "." });
    EXPECT_EQ(runCli(arguments).out, report);
    // The two best pairings of lines 1 to 4 (by hand from the table), after the UTF-8 mark.
    EXPECT_EQ(readBytes(dir / "r.csv"),
        "\xEF\xBB\xBFPosi\xC3\xA7\xC3\xA3o,H\xC3\xAD"
        "brido,M\xC3\xA9"
        "dia,CV%,HS(ik),HS(il),HS(jk),HS(jl)\r\n1,(1x4)(2x3),5.938,13.9,6,5,5.75,7\r\n"
        "2,(1x3)(2x4),5.813,16.2,6,5.5,4.75,7\r\n\r\nLinhagem,Frequ\xC3\xAAncia\r\n"
        "1,2\r\n2,2\r\n3,2\r\n4,2\r\n");
}

// Thirty lines, every pair once: 3 C(30, 4) = 82,215 double crosses, some 4 MB, several times
// the write buffer; nothing is FALSO, so the clean-up only adds the summary.
TEST(CliFiles, ALargeReportToStandardOutputAndToAFile)
{
    TempDir dir;
    std::vector<std::string> arguments { "hd",
        dir.file("trinta.txt",
            everyPair(30,
                [](int i, int j) {
                    return std::to_string(i) + " " + std::to_string(j) + " "
                        + std::to_string(5 + (i * 7 + j * 3) % 40 / 10.0);
                })),
        "--lines", "30", "--reciprocals", "nao" };
    const CliRun toStdout = runCli(arguments);
    EXPECT_EQ(std::count(toStdout.out.begin(), toStdout.out.end(), '\n'), 8 + 82215);
    arguments.insert(arguments.end(), { "--output", dir / "r.txt", "--clean" });
    EXPECT_EQ(runCli(arguments).status, 0);
    EXPECT_EQ(readBytes(dir / "r.txt"),
        toStdout.out + "Hibridos possiveis totais= 82215\r\n"
            + "Hibridos Falso preditos excluidos = 0\r\nHibridos Reais preditos = 82215\r\n");
}

TEST(CliFiles, InterruptedRunLeavesNoTemporaryFile)
{
    // A hundred lines: a report of some 600 MB, stopped as soon as the temporary file of the
    // report or of the spreadsheet exists.
    TempDir dir;
    const std::string input = dir.file("cem.txt", everyPair(100, [](int i, int j) {
        return std::to_string(i) + " " + std::to_string(j) + " 6.25";
    }));
    for (const auto &[option, name] :
        { std::pair { "--output", "relatorio.txt" }, std::pair { "--csv", "planilha.csv" } }) {
        SCOPED_TRACE(option);
        const std::string kept = dir.file(name, "previous content\r\n");
        const std::string script = "exec 2>/dev/null; LC_ALL=C " + quoted(KORAVEL_CLI_PATH) + " hd "
            + quoted(input) + " --lines 100 " + option + " " + quoted(kept)
            + " >/dev/null & pid=$!; n=0; while [ -z \"$(ls -A " + quoted(dir.path().string())
            + " | grep '^\\." + name + "')\" ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n+1)); "
            + "done; kill -TERM $pid; wait $pid";
        const int status = std::system(("sh -c " + quoted(script)).c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
        EXPECT_EQ(readBytes(kept), "previous content\r\n");
        EXPECT_EQ(dir.names(), (std::vector<std::string> { "cem.txt", name }));
        std::filesystem::remove(kept);
    }
}
