// koravel-cli's reports: exact bytes, reciprocal option, clean-up, decimal comma, --output.
#include <string>
#include <vector>

#include "cli_runner.h"
#include "report/report_document.h"

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

TEST(CliReport, DoubleCrossesWithEitherReciprocalOptionAndCleanedUp)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    // "sim" is the default: (3, 2), (4, 2) and (4, 3) are not in the table.
    const CliRun sim = runCli({ "hd", data, "--lines", "4" });
    EXPECT_EQ(sim.status, 0);
    EXPECT_EQ(sim.err, "");
    EXPECT_EQ(sim.out,
        header(true)
            + crlf({ kHd12x34, "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t7",
                "FALSO HD (1x4)(2x3) =>\t0.000\t0.0\t6\t5\t0\t0", kRule }));

    const std::string eitherOrder = header(true)
        + crlf({ kHd12x34, "HD (1x3)(2x4) =>\t5.813\t16.2\t6\t5.5\t4.75\t7",
            "HD (1x4)(2x3) =>\t5.938\t13.9\t6\t5\t5.75\t7", kRule });
    for (const std::string spelling : { "--reciprocals=nao", "--reciprocals=n\xC3\xA3o" }) {
        SCOPED_TRACE(spelling);
        const CliRun run = runCli({ "hd", data, "--lines", "4", spelling });
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, eitherOrder);
    }

    const CliRun cleaned = runCli({ "hd", data, "--lines", "4", "--clean" });
    EXPECT_EQ(cleaned.status, 0);
    EXPECT_EQ(cleaned.out, header(true) + crlf({ kHd12x34, kRule }) + summary(3, 2, 1));
}

TEST(CliReport, ThreeWayCrosses)
{
    TempDir dir;
    const std::string data = dir.file("tres.txt", "1 3 5\r\n2 3 6\r\n1 2 4\r\n");
    const CliRun run = runCli({ "ht", "--reciprocals", "NAO", data, "--lines", "3" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
        header(false)
            + crlf({ "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "HT (1x3) 2 =>\t5.000\t28.3\t4\t6",
                "HT (2x3) 1 =>\t4.500\t15.7\t4\t5", kRule }));
}

TEST(CliReport, TooFewLinesIsToldOnStandardErrorAndTheRunGoesOn)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const CliRun plain = runCli({ "hd", data, "--lines", "3" });
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, kHdMinimumUtf8);
    EXPECT_EQ(plain.out, header(true) + crlf({ kRule }));

    // Eight lines: the closing rule at index 7 is not examined, and the counts are all 0. The
    // message is told once, and the file behind the link receives the report.
    const std::string real = dir.file("real.txt", "old\r\n");
    const std::filesystem::path link = dir.path() / "atalho.txt";
    std::filesystem::create_symlink(real, link);
    const CliRun cleaned = runCli({ "hd", data, "--lines", "3", "--clean", "--output", link });
    EXPECT_EQ(cleaned.status, 0);
    EXPECT_EQ(cleaned.out, "");
    EXPECT_EQ(cleaned.err, kHdMinimumUtf8);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(real), header(true) + crlf({ kRule }) + summary(0, 0, 0));
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "atalho.txt", "quatro.txt", "real.txt" }));
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
    EXPECT_TRUE(run.out.starts_with(header(true)
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
        std::string command, file, lines, reciprocals;
        long long total, removed;
    };
    // Totals and FALSO counts worked out apart from the program (see examples/README.md).
    const Row rows[] = {
        { "hd", "dialelo_incompleto.txt", "7", "nao", 105, 54 },
        { "ht", "dialelo_incompleto.txt", "7", "nao", 105, 30 },
        { "hd", "dialelo_incompleto.txt", "7", "sim", 105, 95 },
        { "hd", "griffing56_maize.txt", "9", "sim", 378, 252 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.command + " " + row.file + " " + row.reciprocals);
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
        koravel::cleanUpReport(document);
        EXPECT_EQ(cleaned.out, document.text());
        EXPECT_TRUE(cleaned.out.ends_with(
            kRule + "\r\n" + summary(row.total, row.removed, row.total - row.removed)));
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
    std::vector<std::string> arguments { "hd", input, "--lines", "30", "--reciprocals", "nao" };

    const CliRun toStdout = runCli(arguments);
    ASSERT_EQ(toStdout.status, 0);
    EXPECT_EQ(std::count(toStdout.out.begin(), toStdout.out.end(), '\n'), 8 + 82215);
    arguments.insert(arguments.end(), { "--output", output, "--clean" });
    const CliRun toFile = runCli(arguments);
    EXPECT_EQ(toFile.status, 0);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(toFile.err, "");
    // Nothing is FALSO, so the clean-up only adds the summary.
    EXPECT_EQ(readBytes(output), toStdout.out + summary(82215, 0, 82215));
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "relatorio.txt", "trinta.txt" }));
}
