// koravel-cli's failures: exit status 1 with the message on standard error, nothing on standard
// output and the --output file as it was; bad usage exits 2; help and counts.
#include <string>
#include <vector>

#include "cli_runner.h"

using namespace clitest;

namespace {

const std::string kFourLines = "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7\n";

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
    const std::vector<Row> rows = {
        { "lines not a number", { "hd", good, "--lines", "abc" },
            "'abc' is not a valid integer value.\n" },
        { "blank after lines", { "ht", good, "--lines", "4 " },
            "'4 ' is not a valid integer value.\n" },
        { "empty lines", { "hd", good, "--lines", "" }, "'' is not a valid integer value.\n" },
        { "HD with 2 lines", { "hd", good, "--lines", "2" },
            "Para c\xC3\xA1"
            "culo de HDs o m\xC3\xAD"
            "nimo s\xC3\xA3o 4 linhagens\n"
            "TProgressBar property out of range.\n" },
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
        { "empty line", { "ht", dir.file("vazia.txt", "1 2 5\n\n2 3 4\n"), "--lines", "3" },
            "List index out of bounds (0)\n" },
        { "empty file", { "ht", dir.file("nada.txt", ""), "--lines", "3" },
            "TProgressBar property out of range.\n" },
        { "bad parent A", { "ht", dir.file("pai.txt", "1 3 5\nx 3 6\n"), "--lines", "3" },
            "'x' is not a valid integer value.\n" },
        // (2x3) 1 meets 5 and -5 after two lines were formatted: none of them may leave.
        { "mean of zero",
            { "ht", dir.file("zero.txt", "1 2 5\n1 3 -5\n2 3 6\n"), "--lines", "3", "--reciprocals",
                "nao" },
            "Floating point division by zero.\n" },
        // A cell typed in UTF-8 shows as typed.
        { "UTF-8 cell", { "ht", dir.file("acao.txt", "1 3 ação\n2 3 6\n"), "--lines", "3" },
            "'ação' is not a valid floating point value.\n" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = runCli(row.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, row.err);
    }
}

TEST(CliErrors, LatinOneCellTextShowsInUtf8)
{
    TempDir dir;
    const std::string data = dir.file("latin1.txt", "1 3 n\xE3o\n2 3 6\n");
    const CliRun run = runCli({ "ht", data, "--lines", "3" });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "'n\xC3\xA3o' is not a valid floating point value.\n");
}

TEST(CliErrors, OutputFileIsLeftUntouched)
{
    TempDir dir;
    const std::string good = dir.file("quatro.txt", kFourLines);
    const std::string bad = dir.file("ruim.txt", "1 2 6\n1 3 5\n2 3 4,75\n");
    const std::string output = dir.file("relatorio.txt", "previous report\r\n");
    for (const std::vector<std::string> &arguments : std::vector<std::vector<std::string>> {
             { "hd", good, "--lines", "quatro", "--output", output },
             { "ht", bad, "--lines", "3", "--output", output },
             { "hd", good, "--lines", "2", "--clean", "--output", output } }) {
        SCOPED_TRACE(arguments[1] + " " + arguments[3]);
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.ends_with(" value.\n") || run.err.ends_with("range.\n"));
        EXPECT_EQ(readBytes(output), "previous report\r\n");
        EXPECT_EQ(
            dir.names(), (std::vector<std::string> { "quatro.txt", "relatorio.txt", "ruim.txt" }));
    }
}

TEST(CliErrors, AnErrorLateInALongReport)
{
    // Sixty lines, every pair once; the row of 59 x 60 has the letter O in its parent B. With
    // "sim" its cell is first converted for (1x59)(2x3), after some 90,000 lines, several
    // megabytes of report.
    TempDir dir;
    std::string data;
    for (int i = 1; i <= 60; ++i)
        for (int j = i + 1; j <= 60; ++j)
            data += std::to_string(i) + " " + (i == 59 ? std::string("6O") : std::to_string(j))
                + " 7.5\n";
    const std::string input = dir.file("sessenta.txt", data);
    const std::string output = dir.file("relatorio.txt", "previous report\r\n");

    const CliRun toStdout = runCli({ "hd", input, "--lines", "60" });
    EXPECT_EQ(toStdout.status, 1);
    EXPECT_EQ(toStdout.out, "");
    EXPECT_EQ(toStdout.err, "'6O' is not a valid integer value.\n");

    const CliRun toFile = runCli({ "hd", input, "--lines", "60", "--clean", "--output", output });
    EXPECT_EQ(toFile.status, 1);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(toFile.err, "'6O' is not a valid integer value.\n");
    EXPECT_EQ(readBytes(output), "previous report\r\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "relatorio.txt", "sessenta.txt" }));
}

TEST(CliErrors, StandardOutputThatCannotBeWritten)
{
    // Thirty lines: a report of some 4 MB, so that several chunks meet the full device.
    TempDir dir;
    std::string data;
    for (int i = 1; i <= 30; ++i)
        for (int j = i + 1; j <= 30; ++j)
            data += std::to_string(i) + " " + std::to_string(j) + " 6.25\n";
    const std::string input = dir.file("trinta.txt", data);
    const CliRun run = runCli({ "hd", input, "--lines", "30" }, { "LC_ALL=C" }, "/dev/full");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Stream write error.\n");
    const CliRun counts = runCli({ "counts", "6" }, { "LC_ALL=C" }, "/dev/full");
    EXPECT_EQ(counts.status, 1);
    EXPECT_EQ(counts.err, "Stream write error.\n");
}

TEST(CliErrors, OutputThatCannotBeCreated)
{
    TempDir dir;
    const std::string good = dir.file("quatro.txt", kFourLines);
    const std::string noFolder = (dir.path() / "falta" / "r.txt").string();
    const CliRun run = runCli({ "hd", good, "--lines", "4", "--output", noFolder });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot create file \"" + noFolder + "\". No such file or directory.\n");

    const CliRun folder = runCli({ "hd", good, "--lines", "4", "--output", dir.path().string() });
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "Cannot create file \"" + dir.path().string() + "\". Is a directory.\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "quatro.txt" }));
}

TEST(CliUsage, BadUsageExitsTwoWithTheUsageText)
{
    const std::string f = example("dialelo_completo.txt");
    const std::vector<std::vector<std::string>> rows = {
        {},
        { "hx", f, "--lines", "6" },
        { "hd" },
        { "hd", f },
        { "hd", f, "--lines" },
        { "hd", f, f, "--lines", "6" },
        { "hd", f, "--lines", "6", "--lines", "5" },
        { "hd", f, "--lines", "6", "--reciprocals", "talvez" },
        { "hd", f, "--lines", "6", "--decimal-separator", ",," },
        { "hd", f, "--lines", "6", "--decimal-separator", "" },
        { "hd", f, "--lines", "6", "--decimal-separator", "\xE2\x80\xA2" },
        { "hd", f, "--lines", "6", "--clean=sim" },
        { "hd", f, "--lines", "6", "--saida", "x.txt" },
        { "hd", f, "--lines", "6", "--output", "" },
        { "counts" },
        { "counts", "5", "6" },
        { "counts", "5", "--clean" },
    };
    for (const std::vector<std::string> &arguments : rows) {
        std::string trace;
        for (const std::string &a : arguments)
            trace += "[" + a + "]";
        SCOPED_TRACE(trace);
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("koravel-cli: "));
        EXPECT_NE(run.err.find("\nUso: koravel-cli hd ARQUIVO --lines N"), std::string::npos);
    }
}

TEST(CliUsage, HelpGoesToStandardOutput)
{
    for (const std::vector<std::string> &arguments :
        std::vector<std::vector<std::string>> { { "--help" }, { "-h" }, { "hd", "--help" } }) {
        SCOPED_TRACE(arguments.back());
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_NE(run.out.find("Uso:"), std::string::npos);
        EXPECT_NE(run.out.find("--reciprocals sim|nao"), std::string::npos);
    }
}

TEST(CliCounts, PossibleHybrids)
{
    struct Row
    {
        std::vector<std::string> arguments;
        std::string out;
    };
    const std::vector<Row> rows = {
        { { "counts", "5" }, "HD possíveis: 15\nHT possíveis: 30\n" },
        { { "counts", "4" }, "HD possíveis: 3\nHT possíveis: 12\n" },
        { { "counts", "3" }, "HD possíveis: 0\nHT possíveis: 3\n" },
        { { "counts", "1" }, "HD possíveis: 0\nHT possíveis: 0\n" },
        { { "counts", "100" }, "HD possíveis: 11763675\nHT possíveis: 485100\n" },
        // n is read as a real: 2.5 gives (1.5 * 2.5 * 0.5 * -0.5) / 8, shown "0" and not "-0",
        // and (1.5 * 2.5 * 0.5) / 2 = 0.9375, rounded to 1.
        { { "counts", "2,5", "--decimal-separator", "," }, "HD possíveis: 0\nHT possíveis: 1\n" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.arguments[1]);
        const CliRun run = runCli(row.arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, row.out);
    }
    const CliRun bad = runCli({ "counts", "cinco" });
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "'cinco' is not a valid floating point value.\n");
}
