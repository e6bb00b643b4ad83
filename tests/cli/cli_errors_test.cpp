// koravel-cli's failures: exit status 1 with the message on standard error, nothing on standard
// output and the --output file as it was; bad usage exits 2; help and counts.
#include <string>
#include <vector>

#include "cli_runner.h"

using namespace clitest;

namespace {

const std::string kFourLines = "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7\n";

// A data file of n lines, every pair once, each cell given by the function.
template <typename Cell> std::string everyPair(int n, Cell cell)
{
    std::string data;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            data += cell(i, j) + "\n";
    return data;
}

} // namespace

TEST(CliErrors, MessageWithFinalStopAndNothingOnStandardOutput)
{
    TempDir dir;
    const std::string good = dir.file("quatro.txt", kFourLines);
    const std::string missing = (dir.path() / "nao_existe.txt").string();
    struct Row
    {
        std::string name;
        std::vector<std::string> arguments;
        std::string err;
    };
    const Row rows[] = {
        { "lines not a number", { "hd", good, "--lines", "abc" },
            "'abc' is not a valid integer value.\n" },
        { "HT with 0 lines", { "ht", good, "--lines", "0" },
            "Para c\xC3\xA1"
            "culo de HTs o m\xC3\xAD"
            "nimo s\xC3\xA3o 3 linhagens\n"
            "TProgressBar property out of range.\n" },
        { "missing file", { "hd", missing, "--lines", "4" },
            "Cannot open file \"" + missing + "\". No such file or directory.\n" },
        // ")" comes before "." in the code table: no stop is added after it.
        { "short line", { "hd", dir.file("curta.txt", "1 2 5\n1 3\n2 3 4\n"), "--lines", "3" },
            "List index out of bounds (2)\n" },
        // (2x3) 1 meets 5 and -5 after two lines were formatted: none of them may leave.
        { "mean of zero",
            { "ht", dir.file("zero.txt", "1 2 5\n1 3 -5\n2 3 6\n"), "--lines", "3", "--reciprocals",
                "nao" },
            "Floating point division by zero.\n" },
        // A cell in UTF-8 shows as typed; one in Latin-1 is shown in UTF-8.
        { "UTF-8 cell", { "ht", dir.file("acao.txt", "1 3 ação\n2 3 6\n"), "--lines", "3" },
            "'ação' is not a valid floating point value.\n" },
        { "Latin-1 cell", { "ht", dir.file("latin1.txt", "1 3 n\xE3o\n2 3 6\n"), "--lines", "3" },
            "'n\xC3\xA3o' is not a valid floating point value.\n" },
        { "counts not a number", { "counts", "cinco" },
            "'cinco' is not a valid floating point value.\n" },
        { "output in a missing folder", { "hd", good, "--lines", "4", "--output", missing + "/r" },
            "Cannot create file \"" + missing + "/r\". No such file or directory.\n" },
        { "output is a folder", { "hd", good, "--lines", "4", "--output", dir.path() },
            "Cannot create file \"" + dir.path().string() + "\". Is a directory.\n" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = runCli(row.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, row.err);
    }
    // No output file was left behind.
    EXPECT_EQ(dir.names(),
        (std::vector<std::string> {
            "acao.txt", "curta.txt", "latin1.txt", "quatro.txt", "zero.txt" }));
}

TEST(CliErrors, OutputFileIsLeftUntouchedEvenWhenTheErrorComesLate)
{
    // Sixty lines, every pair once; the row of 59 x 60 has the letter O in its parent B. With
    // "sim" its cell is first converted for (1x59)(2x3), after some 90,000 lines, several
    // megabytes of report.
    TempDir dir;
    const std::string late = dir.file("sessenta.txt", everyPair(60, [](int i, int j) {
        return std::to_string(i) + " " + (i == 59 ? "6O" : std::to_string(j)) + " 7.5";
    }));
    const std::string good = dir.file("quatro.txt", kFourLines);
    const std::string output = dir.file("relatorio.txt", "previous report\r\n");
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        { { "hd", late, "--lines", "60" }, "6O" },
        { { "hd", late, "--lines", "60", "--clean", "--output", output }, "6O" },
        { { "hd", good, "--lines", "quatro", "--output", output }, "quatro" },
    };
    for (const auto &[arguments, bad] : rows) {
        SCOPED_TRACE(testing::Message() << arguments.size() << " arguments, " << bad);
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "'" + bad + "' is not a valid integer value.\n");
        EXPECT_EQ(readBytes(output), "previous report\r\n");
        EXPECT_EQ(dir.names(),
            (std::vector<std::string> { "quatro.txt", "relatorio.txt", "sessenta.txt" }));
    }
}

TEST(CliErrors, StandardOutputThatCannotBeWritten)
{
    // Thirty lines: a report of some 4 MB, so that several chunks meet the full device.
    TempDir dir;
    const std::string input = dir.file("trinta.txt", everyPair(30, [](int i, int j) {
        return std::to_string(i) + " " + std::to_string(j) + " 6.25";
    }));
    for (const std::vector<std::string> &arguments : std::vector<std::vector<std::string>> {
             { "hd", input, "--lines", "30" }, { "counts", "6" } }) {
        const CliRun run = runCli(arguments, "/dev/full");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "Stream write error.\n");
    }
}

TEST(CliUsage, BadUsageExitsTwoWithTheUsageTextAndHelpDoesNot)
{
    const std::string f = example("dialelo_completo.txt");
    const std::vector<std::vector<std::string>> rows = {
        {},
        { "hx", f, "--lines", "6" },
        { "hd", f, "--lines" },
        { "hd", f, f, "--lines", "6" },
        { "hd", f, "--lines", "6", "--reciprocals", "talvez" },
        { "hd", f, "--lines", "6", "--decimal-separator", ",," },
        { "hd", f, "--lines", "6", "--clean=sim" },
        { "hd", f, "--lines", "6", "--output", "" },
        { "counts", "5", "6" },
    };
    for (const std::vector<std::string> &arguments : rows) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("koravel-cli: "));
        EXPECT_NE(run.err.find("\nUso: koravel-cli hd ARQUIVO --lines N"), std::string::npos);
    }
    // Asked for, the help goes to standard output.
    const CliRun help = runCli({ "hd", "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("--reciprocals sim|nao"), std::string::npos);
}

TEST(CliCounts, PossibleHybrids)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        { { "counts", "5" }, "HD possíveis: 15\nHT possíveis: 30\n" },
        { { "counts", "3" }, "HD possíveis: 0\nHT possíveis: 3\n" },
        { { "counts", "100" }, "HD possíveis: 11763675\nHT possíveis: 485100\n" },
        // n is read as a real: 2.5 gives (1.5 * 2.5 * 0.5 * -0.5) / 8, shown "0" and not "-0",
        // and (1.5 * 2.5 * 0.5) / 2 = 0.9375, rounded to 1.
        { { "counts", "2,5", "--decimal-separator", "," }, "HD possíveis: 0\nHT possíveis: 1\n" },
    };
    for (const auto &[arguments, out] : rows) {
        SCOPED_TRACE(arguments[1]);
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, out);
    }
}
