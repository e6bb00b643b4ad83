// koravel-cli's reports: exact bytes, reciprocal option, clean-up, decimal comma, --output.
#include <string>
#include <vector>

#include "cli_runner.h"
#include "report_document.h"

using namespace clitest;

namespace {

// Six single crosses among four lines, each written once with the smaller parent first.
const std::string kFourLines = "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7\n";

const std::string kHd12x34 = "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75";

// "Para cáculo de HDs o mínimo são 4 linhagens" in UTF-8.
const std::string kHdMinimumUtf8 = "Para c\xC3\xA1"
                                   "culo de HDs o m\xC3\xAD"
                                   "nimo s\xC3\xA3o 4 linhagens\n";

} // namespace

TEST(CliReport, DoubleCrossesWithDistinctReciprocalsGiveTheSavedBytes)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    // "sim" is the default: (3, 2), (4, 2) and (4, 3) are not in the table.
    const CliRun run = runCli({ "hd", data, "--lines", "4" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
        doubleCrossHeader()
            + crlf({ kHd12x34, "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t7",
                "FALSO HD (1x4)(2x3) =>\t0.000\t0.0\t6\t5\t0\t0", kRule }));
}

TEST(CliReport, EitherOrderPredictsEveryCandidate)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const std::string expected = doubleCrossHeader()
        + crlf({ kHd12x34, "HD (1x3)(2x4) =>\t5.813\t16.2\t6\t5.5\t4.75\t7",
            "HD (1x4)(2x3) =>\t5.938\t13.9\t6\t5\t5.75\t7", kRule });
    for (const std::string spelling : { "nao", "n\xC3\xA3o", "NAO", "--reciprocals=nao" }) {
        SCOPED_TRACE(spelling);
        const std::vector<std::string> arguments = spelling.starts_with("--")
            ? std::vector<std::string> { "hd", data, "--lines", "4", spelling }
            : std::vector<std::string> { "hd", data, "--lines", "4", "--reciprocals", spelling };
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, expected);
    }
    const CliRun sim = runCli({ "hd", data, "--lines", "4", "--reciprocals", "Sim" });
    EXPECT_NE(sim.out.find("FALSO HD (1x3)(2x4)"), std::string::npos);
}

TEST(CliReport, ThreeWayCrosses)
{
    TempDir dir;
    const std::string data = dir.file("tres.txt", "1 3 5\r\n2 3 6\r\n1 2 4\r\n");
    const CliRun run = runCli({ "ht", "--reciprocals", "nao", data, "--lines", "3" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
        threeWayHeader()
            + crlf({ "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "HT (1x3) 2 =>\t5.000\t28.3\t4\t6",
                "HT (2x3) 1 =>\t4.500\t15.7\t4\t5", kRule }));
}

TEST(CliReport, CleanUpDropsFalsoLinesAndAppendsTheSummary)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const CliRun run = runCli({ "hd", data, "--lines", "4", "--clean" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, doubleCrossHeader() + crlf({ kHd12x34, kRule }) + summary(3, 2, 1));

    const CliRun ht = runCli({ "ht", data, "--lines", "4", "--clean" });
    EXPECT_EQ(ht.status, 0);
    EXPECT_EQ(ht.out,
        threeWayHeader()
            + crlf({ "HT (1x2) 3 =>\t4.875\t3.6\t5\t4.75", "HT (1x2) 4 =>\t5.625\t3.1\t5.5\t5.75",
                "HT (1x3) 4 =>\t6.250\t17.0\t5.5\t7", "HT (2x3) 4 =>\t6.375\t13.9\t5.75\t7",
                kRule })
            + summary(12, 8, 4));
}

TEST(CliReport, TooFewLinesIsToldOnStandardErrorAndTheRunGoesOn)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const CliRun plain = runCli({ "hd", data, "--lines", "3" });
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, kHdMinimumUtf8);
    EXPECT_EQ(plain.out, doubleCrossHeader() + crlf({ kRule }));

    // Eight lines: the closing rule at index 7 is not examined, and the counts are all 0.
    const CliRun cleaned = runCli({ "hd", data, "--lines", "3", "--clean" });
    EXPECT_EQ(cleaned.status, 0);
    EXPECT_EQ(cleaned.err, kHdMinimumUtf8);
    EXPECT_EQ(cleaned.out, doubleCrossHeader() + crlf({ kRule }) + summary(0, 0, 0));

    const CliRun ht = runCli({ "ht", data, "--lines", "2" });
    EXPECT_EQ(ht.status, 0);
    EXPECT_EQ(ht.err,
        "Para c\xC3\xA1"
        "culo de HTs o m\xC3\xAD"
        "nimo s\xC3\xA3o 3 linhagens\n");
    EXPECT_EQ(ht.out, threeWayHeader() + crlf({ kRule }));
}

TEST(CliReport, DecimalCommaWhenAsked)
{
    const std::string data = example("dialelo_virgula.txt");
    const CliRun run =
        runCli({ "hd", data, "--lines", "5", "--reciprocals", "nao", "--decimal-separator", "," });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    // (7.42 + 7.96 + 7.13 + 7.6) / 4 is 7.5275 on paper, but the mean of the four doubles is
    // stored as 7.52749999999999986; judged on 18 digits it is below the half.
    EXPECT_TRUE(run.out.starts_with(doubleCrossHeader()
        + crlf({ "HD (1x2)(3x4) =>\t7,805\t8,4\t7,42\t8,1\t7,13\t8,57",
            "HD (1x2)(3x5) =>\t7,527\t4,6\t7,42\t7,96\t7,13\t7,6" })));

    // Under the "C" locale the separator is a point, and the first value read fails.
    const CliRun point = runCli({ "hd", data, "--lines", "5", "--reciprocals", "nao" });
    EXPECT_EQ(point.status, 1);
    EXPECT_EQ(point.out, "");
    EXPECT_EQ(point.err, "'7,42' is not a valid floating point value.\n");
}

TEST(CliReport, CleanUpAgreesWithTheReportWindowOnTheExamples)
{
    struct Row
    {
        std::string name, command, file, lines, reciprocals;
        long long total, removed;
    };
    // Totals and FALSO counts worked out apart from the program (see examples/README.md).
    const std::vector<Row> rows = {
        { "incomplete HD nao", "hd", "dialelo_incompleto.txt", "7", "nao", 105, 54 },
        { "incomplete HT nao", "ht", "dialelo_incompleto.txt", "7", "nao", 105, 30 },
        { "incomplete HD sim", "hd", "dialelo_incompleto.txt", "7", "sim", 105, 95 },
        { "complete HT nao", "ht", "dialelo_completo.txt", "6", "nao", 60, 0 },
        { "Griffing HD sim", "hd", "griffing56_maize.txt", "9", "sim", 378, 252 },
        { "Griffing HT nao", "ht", "griffing56_maize.txt", "9", "nao", 252, 0 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::string> arguments { row.command, example(row.file), "--lines",
            row.lines, "--reciprocals", row.reciprocals };
        const CliRun whole = runCli(arguments);
        std::vector<std::string> cleanArguments = arguments;
        cleanArguments.push_back("--clean");
        const CliRun cleaned = runCli(cleanArguments);
        ASSERT_EQ(whole.status, 0);
        ASSERT_EQ(cleaned.status, 0);

        koravel::ReportDocument document;
        document.setText(whole.out);
        EXPECT_EQ(document.count(), 8u + static_cast<std::size_t>(row.total));
        koravel::cleanUpReport(document);
        EXPECT_EQ(cleaned.out, document.text());
        const std::string expectedSummary =
            summary(row.total, row.removed, row.total - row.removed);
        EXPECT_TRUE(cleaned.out.ends_with(kRule + "\r\n" + expectedSummary));
    }
}

TEST(CliReport, OutputFileHoldsTheSameBytesAndReplacesTheOldFile)
{
    TempDir dir;
    // Thirty lines, every pair once: 82,215 double crosses, several times the write buffer.
    std::string data;
    for (int i = 1; i <= 30; ++i)
        for (int j = i + 1; j <= 30; ++j)
            data += std::to_string(i) + " " + std::to_string(j) + " "
                + std::to_string(5 + (i * 7 + j * 3) % 40 / 10.0) + "\n";
    const std::string input = dir.file("trinta.txt", data);
    const std::string output = dir.file("relatorio.txt", "old report\r\n");
    const std::vector<std::string> base { "hd", input, "--lines", "30", "--reciprocals", "nao" };

    const CliRun toStdout = runCli(base);
    ASSERT_EQ(toStdout.status, 0);
    std::vector<std::string> toFileArguments = base;
    toFileArguments.insert(toFileArguments.end(), { "--output", output });
    const CliRun toFile = runCli(toFileArguments);
    EXPECT_EQ(toFile.status, 0);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(toFile.err, "");
    EXPECT_EQ(readBytes(output), toStdout.out);
    EXPECT_EQ(std::count(toStdout.out.begin(), toStdout.out.end(), '\n'), 8 + 82215);
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "relatorio.txt", "trinta.txt" }));

    // The same with the clean-up: nothing is FALSO, so only the summary is added.
    toFileArguments.push_back("--clean");
    EXPECT_EQ(runCli(toFileArguments).status, 0);
    EXPECT_EQ(readBytes(output), toStdout.out + summary(82215, 0, 82215));
}

TEST(CliReport, OutputThroughALinkAndWithTooFewLines)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const std::string real = dir.file("real.txt", "old\r\n");
    const std::filesystem::path link = dir.path() / "atalho.txt";
    std::filesystem::create_symlink(real, link);

    // The message is told once, and the file receives the eight-line report.
    const CliRun run = runCli({ "hd", data, "--lines", "3", "--output", link.string() });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kHdMinimumUtf8);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(real), doubleCrossHeader() + crlf({ kRule }));
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "atalho.txt", "quatro.txt", "real.txt" }));
}
