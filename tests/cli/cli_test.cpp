// koravel-cli's usage, errors, version and counts as rows: the arguments, the exit status and
// what standard output and standard error receive. An error prints its message (in UTF-8, with a
// final stop) and exits 1 with nothing on standard output and no file written or changed; bad
// usage exits 2 with the usage text.
#include <sstream>

#include "cli_runner.h"

using namespace clitest;

namespace {

// "%/" stands for the test's folder; "..." at an end of an expected text lets that end be
// anything, at both ends it asks only that the text be there.
bool matches(const std::string &got, const std::string &expected)
{
    const bool anyStart = expected.starts_with("..."), anyEnd = expected.ends_with("...");
    if (!anyStart && !anyEnd)
        return got == expected;
    const std::string part =
        expected.substr(anyStart ? 3 : 0, expected.size() - (anyStart ? 3 : 0) - (anyEnd ? 3 : 0));
    return anyStart && anyEnd ? got.find(part) != std::string::npos
        : anyStart            ? got.ends_with(part)
                              : got.starts_with(part);
}

struct CliRow
{
    std::vector<std::string> arguments;
    int status;
    std::string out, err;
    std::string stdoutFile = ""; // standard output sent there instead of captured
};

const std::string kRule = std::string(128, '-') + "\r\n";
const std::string kLastHt = "...HT (2x3) 1 =>\t5.500\t12.9\t6\t5\r\n" + kRule;
const std::string kUsage = "\nUso: koravel-cli hd ARQUIVO --lines N";

} // namespace

TEST(Cli, UsageErrorsVersionAndCounts)
{
    TempDir dir;
    const std::string version = KORAVEL_PROJECT_VERSION;
    const auto pair = [](int i, int j) { return std::to_string(i) + " " + std::to_string(j); };
    for (const auto &[name, bytes] : std::vector<std::pair<std::string, std::string>> {
             { "quatro.txt", kFourLines }, { "tres.txt", kThreeLines },
             { "latin1.txt", "1 3 n\xE3o\n2 3 6\n" }, { "relatorio.txt", "previous report\r\n" },
             // The row of 59 x 60 has the letter O in its parent B; with "sim" its cell is first
             // read for (1x59)(2x3), after some 90,000 lines, several megabytes of report.
             { "sessenta.txt",
                 everyPair(60,
                     [&](int i, int j) { return i == 59 ? "59 6O 7.5" : pair(i, j) + " 7.5"; }) },
             { "trinta.txt", everyPair(30, [&](int i, int j) { return pair(i, j) + " 6.25"; }) } })
        dir.file(name, bytes);
    const auto hd = [](const std::string &file, const std::string &lines) {
        return std::vector<std::string> { "hd", "%/" + file, "--lines", lines };
    };
    const auto with = [](std::vector<std::string> arguments, std::vector<std::string> more) {
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    };
    const auto hd4 = [&](std::vector<std::string> more) {
        return with(hd("quatro.txt", "4"), more);
    };
    std::vector<CliRow> rows = {
        { { "--version" }, 0, "koravel-cli " + version + "\n", "" },
        // As with --help, the rest is not read: no file is opened, no usage error is raised.
        { { "hd", "nao_existe.txt", "--version" }, 0, "koravel-cli " + version + "\n", "" },
        { { "hd", "--help" }, 0, "...--reciprocals sim|nao...", "" },
        { { "counts", "5" }, 0, "HD possíveis: 15\nHT possíveis: 30\n", "" },
        // Read as a real: 3.5 * 4.5 * 2.5 * 1.5 / 8 = 7.38..., 3.5 * 4.5 * 2.5 / 2 = 19.6875; and
        // -1 gives (-2 * -1) * -3 * -4 / 8 = 3 and (-2 * -1) * -3 / 2 = -3.
        { { "counts", "4.5" }, 0, "HD possíveis: 7\nHT possíveis: 20\n", "" },
        { { "counts", "-1" }, 0, "HD possíveis: 3\nHT possíveis: -3\n", "" },
        // n is read as a real: 2.5 gives (1.5 * 2.5 * 0.5 * -0.5) / 8, shown "0" and not "-0",
        // and (1.5 * 2.5 * 0.5) / 2 = 0.9375, rounded to 1.
        { { "counts", "2,5", "--decimal-separator", "," }, 0, "HD possíveis: 0\nHT possíveis: 1\n",
            "" },
        // With "sim" (3, 2) and (3, 1) are not in the table: the last HT would be FALSO.
        { { "ht", "%/tres.txt", "--lines", "3", "--reciprocals=n\xC3\xA3o" }, 0, kLastHt, "" },
        { { "ht", "--reciprocals", "NAO", "%/tres.txt", "--lines", "3" }, 0, kLastHt, "" },
        { hd("quatro.txt", "3"), 0, "..." + kRule,
            "Para c\xC3\xA1"
            "culo de HDs o m\xC3\xAD"
            "nimo s\xC3\xA3o 4 linhagens\n" },

        { hd("quatro.txt", "abc"), 1, "", "'abc' is not a valid integer value.\n" },
        { hd("nao_existe.txt", "4"), 1, "",
            "Cannot open file \"%/nao_existe.txt\". No such file or directory.\n" },
        { { "ht", "%/latin1.txt", "--lines", "3" }, 1, "",
            "'n\xC3\xA3o' is not a valid floating point value.\n" },
        // Under the "C" locale the separator is a point.
        { { "hd", example("dialelo_virgula.txt"), "--lines", "5", "--reciprocals", "nao" }, 1, "",
            "'7,42' is not a valid floating point value.\n" },
        { hd("sessenta.txt", "60"), 1, "", "'6O' is not a valid integer value.\n" },
        { with(hd("sessenta.txt", "60"), { "--clean", "--output", "%/relatorio.txt" }), 1, "",
            "'6O' is not a valid integer value.\n" },
        { { "counts", "12a" }, 1, "", "'12a' is not a valid floating point value.\n" },
        // n^4 beyond the extended range is an overflow, not the text "INF".
        { { "counts", "1e2000" }, 1, "", "Floating point overflow.\n" },
        { hd4({ "--output", "%/nada/r" }), 1, "",
            "Cannot create file \"%/nada/r\". No such file or directory.\n" },
        { hd4({ "--output", "%/relatorio.txt", "--ranking", "%/nada/r.csv" }), 1, "",
            "Cannot create file \"%/nada/r.csv\". No such file or directory.\n" },
        // 3 * C(56, 4) hybrids do not fit in one sheet; 55 lines would.
        { with(hd("quatro.txt", "56"), { "--xlsx", "%/w.xlsx" }), 1, "",
            "A planilha comporta no máximo 1048575 híbridos; este relatório tem 1101870.\n" },
        // Without the report only the ranking's sheet must hold its rows.
        { with(hd("quatro.txt", "2000"),
              { "--top", "1048574", "--no-report", "--xlsx", "%/w.xlsx" }),
            1, "", "A folha Ordenação comporta no máximo 1048576 linhas. Use um --top menor.\n" },
        { hd("tres.txt", "2000000000"), 1, "",
            "Com 2.000.000.000 linhagens, o relat\xC3\xB3rio de HDs teria "
            "1.999.999.994.000.000.005.499.999.998.500.000.008 linhas, mais do que o koravel-cli "
            "pode contar (9.223.372.036.854.775.807).\n" },
        // Some 5.4 TB, more than the disk of any test machine has free.
        { with(hd("tres.txt", "1000"), { "--output", "%/relatorio.txt" }), 1, "",
            "Com 1.000 linhagens, o relat\xC3\xB3rio de HDs teria 124.251.374.258 linhas, "
            "pelo menos 5,4 TB, e s\xC3\xB3 h\xC3\xA1 ..." },
#ifndef _WIN32
        { hd("trinta.txt", "30"), 1, "", "Stream write error.\n", "/dev/full" },
        { { "counts", "6" }, 1, "", "Stream write error.\n", "/dev/full" },
#endif
    };
    // Bad usage: the start of the message after "koravel-cli: ", then the usage text.
    const std::pair<std::vector<std::string>, std::string> usage[] = {
        { {}, "" },
        { { "hx", "%/quatro.txt", "--lines", "4" }, "" },
        { { "hd", "%/quatro.txt", "%/tres.txt", "--lines", "4" }, "" },
        { hd4({ "--reciprocals", "talvez" }), "" },
        { hd4({ "--decimal-separator", ",," }), "" },
        { hd4({ "--clean=sim" }), "" },
        { hd4({ "--top=-3", "--ranking", "%/o.csv" }),
            "--top espera um número inteiro maior que zero, não \"-3\"\n" },
        { hd4({ "--top", "3" }), "--top pede --ranking ARQUIVO ou --xlsx ARQUIVO\n" },
        { hd4({ "--best-pairing", "--csv", "%/o.csv" }),
            "--best-pairing pede --top K ou --ranking ARQUIVO\n" },
        { { "ht", "%/quatro.txt", "--lines", "4", "--top", "2", "--ranking", "%/o.csv",
              "--best-pairing" },
            "--best-pairing vale só para hd\n" },
        { hd4({ "--csv", "%/o.csv", "--csv-separator", ",", "--csv-decimal", "," }),
            "O separador de campos e a marca decimal do CSV devem ser diferentes\n" },
        { hd4({ "--csv", "%/o.csv", "--csv-decimal", ";" }),
            "A marca decimal do CSV deve ser ponto ou vírgula\n" },
        { hd4({ "--csv-separator", "\\t" }),
            "--csv-separator e --csv-decimal pedem --csv ou --ranking\n" },
        { hd4({ "--csv", "%/o.csv", "--ranking", "%/./o.csv" }),
            "--ranking e --csv não podem ser o mesmo arquivo\n" },
        { hd4({ "--output", "%/o.csv", "--csv", "%/o.csv" }),
            "--output e --csv não podem ser o mesmo arquivo\n" },
        { hd4({ "--xlsx=" }), "--xlsx espera o nome de um arquivo\n" },
        { hd4({ "--no-report", "--top", "3" }),
            "--no-report pede --ranking ARQUIVO ou --xlsx ARQUIVO\n" },
        { hd4({ "--no-report", "--ranking", "%/o.csv", "--output", "%/r.txt" }),
            "--no-report não combina com --output\n" },
        { hd4({ "--no-report", "--xlsx", "%/o.xlsx", "--clean" }),
            "--no-report não combina com --clean\n" },
        { hd4({ "--no-report", "--ranking", "%/o.csv", "--csv", "%/c.csv" }),
            "--no-report não combina com --csv\n" },
        { hd4({ "--ranking", "%/o.csv", "--error-ms", "4", "--replications", "2" }),
            "--error-ms, --error-df e --replications vão juntas\n" },
        { hd4({ "--ranking", "%/o.csv", "--error-ms", "0", "--error-df", "9", "--replications",
              "2" }),
            "--error-ms espera um número maior que zero, não \"0\"\n" },
        { hd4({ "--csv", "%/o.csv", "--names", "%/n.txt" }),
            "--error-ms, --error-df, --replications e --names pedem a ordenação (--top K, "
            "--ranking ARQUIVO ou --no-report)\n" },
        { hd4({ "--csv", "%/o.csv", "--estimate-missing" }),
            "--estimate-missing pede --top K, --ranking ARQUIVO ou --no-report\n" },
        { hd4({ "--ranking", "%/o.csv", "--estimate-missing=sim" }),
            "a opção --estimate-missing não leva valor\n" },
        { { "dialelo", "%/quatro.txt", "--lines", "4", "--estimate-missing" },
            "dialelo aceita só --lines, --decimal-separator" },
    };
    for (const auto &[arguments, message] : usage)
        rows.push_back({ arguments, 2, "", "koravel-cli: " + message + "..." });
    const auto expand = [&](std::string text) {
        for (std::size_t at; (at = text.find("%/")) != std::string::npos;)
            text.replace(at, 2, (dir.path() / "").string());
#ifdef _WIN32
        // The messages name files by their full path, which Windows writes with backslashes.
        if (text.find(dir.path().string()) != std::string::npos)
            std::replace(text.begin(), text.end(), '/', '\\');
#endif
        return text;
    };
    const std::vector<std::string> before = dir.names();
    for (const CliRow &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        std::vector<std::string> arguments;
        for (const std::string &argument : row.arguments)
            arguments.push_back(expand(argument));
        const CliRun run = runCli(arguments, row.stdoutFile);
        EXPECT_EQ(run.status, row.status);
        EXPECT_TRUE(matches(run.out, expand(row.out))) << run.out.substr(0, 2000);
        EXPECT_TRUE(matches(run.err, expand(row.err))) << run.err;
        EXPECT_EQ(run.err.find(kUsage) != std::string::npos, row.status == 2);
    }
    // No file was written or changed.
    EXPECT_EQ(dir.names(), before);
    EXPECT_EQ(readBytes(dir / "relatorio.txt"), "previous report\r\n");
}

// The ranking with estimates, errors and names: the report keeps its bytes, the measured rows
// keep their order and are marked "não", every FALSO hybrid (only 3x4 is missing, and the fit
// estimates it) comes in marked "sim", and --no-report ranks the same.
TEST(Cli, RankingWithEstimatesErrorsAndNames)
{
    TempDir dir;
    dir.file("d.txt", "1 2 10\n1 3 12\n2 3 14\n1 4 13\n2 4 15\n1 5 11\n2 5 16\n3 5 9\n4 5 12.5\n");
    dir.file("n.txt", "1 B73\n2 Mo17\n");
    const std::vector<std::string> ht { "ht", dir / "d.txt", "--lines", "5", "--decimal-separator",
        ".", "--reciprocals", "nao", "--top", "30" };
    const auto run = [&](const std::string &csv, std::vector<std::string> more) {
        std::vector<std::string> arguments = ht;
        arguments.insert(arguments.end(), more.begin(), more.end());
        arguments.insert(arguments.end(), { "--ranking", dir / csv });
        const CliRun result = runCli(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    };
    const std::vector<std::string> extras { "--estimate-missing", "--error-ms", "4", "--error-df",
        "10", "--replications", "2", "--names", dir / "n.txt" };
    const std::string report = run("a.csv", {});
    EXPECT_EQ(run("b.csv", extras), report);
    std::vector<std::string> noReport = extras;
    noReport.push_back("--no-report");
    EXPECT_EQ(run("c.csv", noReport), "");
    EXPECT_EQ(readBytes(dir / "c.csv"), readBytes(dir / "b.csv"));

    // The rows of a ranking table, split at ";", the line end dropped.
    const auto rows = [&](const std::string &csv) {
        std::istringstream text(readBytes(dir / csv));
        std::vector<std::vector<std::string>> table;
        for (std::string line; std::getline(text, line) && line != "\r";) {
            std::vector<std::string> fields(1);
            for (const char c : line.substr(0, line.size() - 1))
                if (c == ';')
                    fields.emplace_back();
                else
                    fields.back().push_back(c);
            table.push_back(fields);
        }
        return table;
    };
    const auto plain = rows("a.csv"), extended = rows("b.csv");
    EXPECT_EQ(extended[0][0] + ";" + extended[0][2] + ";" + extended[0][7] + ";" + extended[0][8]
            + ";" + extended[0][9],
        "\xEF\xBB\xBFPosição;Híbrido (nomes);Estimado;EP;Difere do 1º (5%)");
    std::vector<std::vector<std::string>> measured;
    std::size_t estimated = 0;
    for (std::size_t r = 1; r < extended.size(); ++r) {
        const std::vector<std::string> &row = extended[r];
        if (row[7] == "sim") {
            ++estimated;
            continue;
        }
        EXPECT_EQ(row[7] + " " + row[8], "não 1,000"); // a measured HT: sqrt(4 / (2 * 2))
        measured.push_back({ row[1], row[3], row[4], row[5], row[6] });
    }
    ASSERT_EQ(measured.size() + 1, plain.size());
    for (std::size_t r = 1; r < plain.size(); ++r)
        EXPECT_EQ(measured[r - 1],
            (std::vector<std::string> {
                plain[r][1], plain[r][2], plain[r][3], plain[r][4], plain[r][5] }));
    std::size_t falso = 0;
    for (std::size_t at = 0; (at = report.find("FALSO", at)) != std::string::npos; ++at)
        ++falso;
    EXPECT_EQ(estimated, falso);
    EXPECT_GT(estimated, 0u);
    EXPECT_NE(
        readBytes(dir / "b.csv").find("\r\nLinhagem;Nome;Frequência\r\n1;B73;"), std::string::npos);
    EXPECT_NE(readBytes(dir / "b.csv").find(";(B73xMo17) 4;"), std::string::npos);
}
