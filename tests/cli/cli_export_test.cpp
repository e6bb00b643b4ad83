// koravel-cli's ranking and spreadsheets: the files next to an unchanged report, the same
// results as the core gives for the report document, and the refusals before anything is written.
#include <cstdio>
#include <string>
#include <vector>

#include "../core/unzipped.h"
#include "cli_runner.h"
#include "export/ranking.h"
#include "report/report_document.h"
#include "export/spreadsheet_export.h"

using namespace clitest;

namespace {

const std::string kFourLines = "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7\n";
const std::string kBom = "\xEF\xBB\xBF";
// "Posição,Híbrido,Média,CV%,HS(ik),HS(il),HS(jk),HS(jl)" in UTF-8, with commas.
const std::string kRankingTitles = "Posi\xC3\xA7\xC3\xA3o,H\xC3\xAD"
                                   "brido,M\xC3\xA9"
                                   "dia,CV%,HS(ik),HS(il),HS(jk),HS(jl)\r\n";
const std::string kFrequencyTitles = "Linhagem,Frequ\xC3\xAAncia\r\n";

using koravel::test::unzipped;

} // namespace

TEST(CliExport, RankingNextToAnUnchangedReport)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const std::vector<std::string> plain { "hd", data, "--lines", "4", "--reciprocals", "nao" };
    const CliRun reference = runCli(plain);
    ASSERT_EQ(reference.status, 0);

    // The three pairings of lines 1 to 4: 5.250, 5.813 and 5.938 (by hand from the table).
    const struct
    {
        const char *name;
        std::vector<std::string> options;
        std::string ranking;
    } rows[] = {
        { "top two", { "--top", "2" },
            kBom + kRankingTitles + "1,(1x4)(2x3),5.938,13.9,6,5,5.75,7\r\n"
                + "2,(1x3)(2x4),5.813,16.2,6,5.5,4.75,7\r\n\r\n" + kFrequencyTitles
                + "1,2\r\n2,2\r\n3,2\r\n4,2\r\n" },
        { "best pairing", { "--top=5", "--best-pairing" },
            kBom + kRankingTitles + "1,(1x4)(2x3),5.938,13.9,6,5,5.75,7\r\n\r\n" + kFrequencyTitles
                + "1,1\r\n2,1\r\n3,1\r\n4,1\r\n" },
        // Without --top, the twenty best: all three.
        { "default top", {},
            kBom + kRankingTitles + "1,(1x4)(2x3),5.938,13.9,6,5,5.75,7\r\n"
                + "2,(1x3)(2x4),5.813,16.2,6,5.5,4.75,7\r\n"
                + "3,(1x2)(3x4),5.250,8.7,5,5.5,4.75,5.75\r\n\r\n" + kFrequencyTitles
                + "1,3\r\n2,3\r\n3,3\r\n4,3\r\n" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> arguments = plain;
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        const std::vector<std::string> files { "--ranking", (dir.path() / "r.csv").string(),
            "--csv-separator", ",", "--csv-decimal", "." };
        arguments.insert(arguments.end(), files.begin(), files.end());
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, reference.out);
        EXPECT_EQ(readBytes(dir.path() / "r.csv"), row.ranking);
    }
}

// The command line reads the lines as they go out; the core reads the document: the same files.
TEST(CliExport, SameFilesAsTheCoreMakesFromTheReport)
{
    TempDir dir;
    const std::string report = (dir.path() / "r.txt").string();
    const std::string csv = (dir.path() / "c.csv").string();
    const std::string ranking = (dir.path() / "o.csv").string();
    const std::string workbook = (dir.path() / "w.xlsx").string();
    for (const bool clean : { false, true }) {
        SCOPED_TRACE(clean ? "cleaned" : "as predicted");
        std::vector<std::string> arguments { "hd", example("dialelo_incompleto.txt"), "--lines",
            "7", "--reciprocals", "nao", "--decimal-separator", ".", "--output", report, "--top",
            "7", "--best-pairing", "--ranking", ranking, "--csv", csv, "--xlsx", workbook };
        if (clean)
            arguments.push_back("--clean");
        const CliRun run = runCli(arguments);
        ASSERT_EQ(run.status, 0) << run.err;

        koravel::ReportDocument document;
        document.setText(readBytes(report));
        const koravel::FormatSettings dot { '.' };
        const koravel::RankingResult result = koravel::rankReport(document, { 7, true }, dot);
        ASSERT_EQ(result.best.size(), 7u);
        koravel::exportReportCsv((dir.path() / "c2.csv").string(), document, dot, {});
        koravel::exportRankingCsv((dir.path() / "o2.csv").string(), result, {});
        EXPECT_EQ(readBytes(csv), readBytes(dir.path() / "c2.csv"));
        EXPECT_EQ(readBytes(ranking), readBytes(dir.path() / "o2.csv"));
        // A cleaned report has no FALSO line left to export.
        EXPECT_EQ(readBytes(csv).find(";sim\r\n") == std::string::npos, clean);

        const std::string sheet = unzipped(workbook, "xl/worksheets/sheet2.xml");
        ASSERT_FALSE(sheet.empty()) << "unzip (scripts/setup.sh installs it) read nothing";
        EXPECT_NE(sheet.find("<t>" + koravel::hybridName(result.record(0)) + "</t>"),
            std::string::npos);
    }
}

TEST(CliExport, BadOptionsAreUsageErrors)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const std::string out = (dir.path() / "o.csv").string();
    const struct
    {
        const char *name;
        std::vector<std::string> options;
        std::string message;
    } rows[] = {
        { "top zero", { "--top", "0", "--ranking", out },
            "--top espera um número inteiro maior que zero, não \"0\"" },
        { "top negative", { "--top=-3", "--ranking", out },
            "--top espera um número inteiro maior que zero, não \"-3\"" },
        { "top alone", { "--top", "3" }, "--top pede --ranking ARQUIVO ou --xlsx ARQUIVO" },
        { "best pairing alone", { "--best-pairing", "--csv", out },
            "--best-pairing pede --top K ou --ranking ARQUIVO" },
        { "same marks", { "--csv", out, "--csv-separator", ",", "--csv-decimal", "," },
            "O separador de campos e a marca decimal do CSV devem ser diferentes" },
        { "default separator as mark", { "--csv", out, "--csv-decimal", ";" },
            "A marca decimal do CSV deve ser ponto ou vírgula" },
        { "separator without csv", { "--csv-separator", "\\t" },
            "--csv-separator e --csv-decimal pedem --csv ou --ranking" },
        { "same file", { "--csv", out, "--ranking", (dir.path() / "." / "o.csv").string() },
            "--ranking e --csv não podem ser o mesmo arquivo" },
        { "csv over the report", { "--output", out, "--csv", out },
            "--output e --csv não podem ser o mesmo arquivo" },
        { "empty name", { "--xlsx=" }, "--xlsx espera o nome de um arquivo" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> arguments { "hd", data, "--lines", "4" };
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "koravel-cli: " + row.message);
    }
    const CliRun ht =
        runCli({ "ht", data, "--lines", "4", "--top", "2", "--ranking", out, "--best-pairing" });
    EXPECT_EQ(ht.status, 2);
    EXPECT_EQ(ht.err.substr(0, ht.err.find('\n')), "koravel-cli: --best-pairing vale só para hd");
    EXPECT_EQ(runCli({ "counts", "5", "--top", "2" }).status, 2);
    EXPECT_EQ(dir.names(), std::vector<std::string> { "quatro.txt" });
}

TEST(CliExport, RefusedBeforeAnythingIsWritten)
{
    TempDir dir;
    const std::string data = dir.file("quatro.txt", kFourLines);
    const std::string old = dir.file("old.txt", "old");
    const std::string missing = (dir.path() / "nao_existe").string();
    const struct
    {
        const char *name;
        std::vector<std::string> arguments;
        std::string err;
    } rows[] = {
        // 3 * C(56, 4) hybrids do not fit in one sheet; 55 lines would.
        { "workbook too small",
            { "hd", data, "--lines", "56", "--xlsx", (dir.path() / "w.xlsx").string() },
            "A planilha comporta no máximo 1048575 híbridos; este relatório tem 1101870.\n" },
        { "workbook too small, standard output",
            { "ht", data, "--lines", "130", "--xlsx", (dir.path() / "w.xlsx").string() },
            "A planilha comporta no máximo 1048575 híbridos; este relatório tem 1073280.\n" },
        { "csv in a missing folder", { "hd", data, "--lines", "4", "--csv", missing + "/c.csv" },
            "Cannot create file \"" + missing + "/c.csv\". No such file or directory.\n" },
        { "ranking in a missing folder",
            { "hd", data, "--lines", "4", "--output", old, "--ranking", missing + "/r.csv" },
            "Cannot create file \"" + missing + "/r.csv\". No such file or directory.\n" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = runCli(row.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, row.err);
    }
    EXPECT_EQ(readBytes(old), "old");
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "old.txt", "quatro.txt" }));
}

// A ranking alone leaves most lines unread once the best K are known: the same ranking still.
TEST(CliExport, RankingAloneAgreesWithTheCore)
{
    TempDir dir;
    const std::string report = (dir.path() / "r.txt").string();
    const std::string ranking = (dir.path() / "o.csv").string();
    const struct
    {
        const char *command;
        const char *file;
        const char *lines;
        const char *top;
        bool bestPairing;
    } rows[] = {
        { "hd", "griffing56_maize.txt", "9", "1", false },
        { "hd", "griffing56_maize.txt", "9", "6", true },
        { "ht", "griffing56_maize.txt", "9", "10", false },
        { "hd", "dialelo_incompleto.txt", "7", "4", false },
        { "ht", "dialelo_incompleto.txt", "7", "3", false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.command) + " " + row.file + " K=" + row.top);
        std::vector<std::string> arguments { row.command, example(row.file), "--lines", row.lines,
            "--reciprocals", "nao", "--decimal-separator", ".", "--output", report, "--top",
            row.top, "--ranking", ranking };
        if (row.bestPairing)
            arguments.push_back("--best-pairing");
        const CliRun run = runCli(arguments);
        ASSERT_EQ(run.status, 0) << run.err;

        koravel::ReportDocument document;
        document.setText(readBytes(report));
        const koravel::RankingResult result = koravel::rankReport(document,
            { std::size_t(std::stoul(row.top)), row.bestPairing }, koravel::FormatSettings { '.' });
        koravel::exportRankingCsv((dir.path() / "o2.csv").string(), result, {});
        EXPECT_EQ(readBytes(ranking), readBytes(dir.path() / "o2.csv"));
    }
}
