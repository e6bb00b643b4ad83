// koravel-cli's usage, errors, version and counts as rows: the arguments, the exit status and
// what standard output and standard error receive. An error prints its message (in UTF-8, with a
// final stop) and exits 1 with nothing on standard output and no file written or changed; bad
// usage exits 2 with the usage text.
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
