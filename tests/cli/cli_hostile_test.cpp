// koravel-cli against hostile data files, reports too large to write, full and read-only disks
// and an interrupted run: each ends with a clear message and leaves no partial file.
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../core/scratch_mount.h"
#include "cli_runner.h"

using namespace clitest;
using namespace std::string_literals;

namespace {

std::string repeated(const std::string &piece, std::size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Three lines, every pair once: HT (2x3) 1 is predicted from 6 and 5 whatever else the file holds.
const std::string kThree = "1 2 6\n1 3 5\n2 3 4\n";
const std::string kLastHt = "HT (2x3) 1 =>\t5.500\t12.9\t6\t5\r\n";

} // namespace

TEST(CliHostile, DataFiles)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "pasta.txt");
    const std::string folder = (dir.path() / "pasta.txt").string();
    const std::string pipe = (dir.path() / "fila.txt").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Row
    {
        std::string name;
        std::string path;
        std::string err; // "" for a report that ends with kLastHt and its rule
    };
    const Row rows[] = {
        { "spreadsheet", dir.file("p.txt", "PK\x03\x04\x14\0\x06\0"s + std::string(3000, '\x9C')),
            "'PK' is not a valid integer value.\n" },
        { "NUL after the lines",
            dir.file("n.txt",
                kThree
                    + "\0"
                      "9 9 9\n"s),
            "" },
        { "100 MB in one line",
            dir.file("l.txt", "1 2 6\n1 3 5\n2 3 4 " + std::string(100 << 20, 'x')), "" },
        { "10,000 fields", dir.file("f.txt", "1 2 6 " + repeated("7 ", 9997) + "\n1 3 5\n2 3 4\n"),
            "List index out of bounds (3)\n" },
        { "1,000,000 lines", dir.file("m.txt", kThree + repeated("4 5 6.5\n", 1000000)), "" },
        { "open quote", dir.file("q.txt", "1 2 \"6\n1 3 5\n2 3 4\n"), "" },
        { "Latin-1 accent", dir.file("w.txt", "1 2 ol\xE1\n1 3 5\n2 3 4\n"),
            "'ol\xC3\xA1' is not a valid floating point value.\n" },
        { "UTF-8 with its mark", dir.file("u.txt", "\xEF\xBB\xBF" + kThree), "" },
        { "UTF-8 accent", dir.file("a.txt", "1 2 a\xC3\xA7\xC3\xA3o\n1 3 5\n2 3 4\n"),
            "'a\xC3\xA7\xC3\xA3o' is not a valid floating point value.\n" },
        { "folder", folder, "Cannot open file \"" + folder + "\". Is a directory.\n" },
        { "pipe", pipe, "Cannot open file \"" + pipe + "\". Not a regular file.\n" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = runCli({ "ht", row.path, "--lines", "3", "--reciprocals", "nao" });
        EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(run.status, row.err.empty() ? 0 : 1);
        if (row.err.empty())
            EXPECT_TRUE(run.out.ends_with(kLastHt + kRule + "\r\n"));
        else
            EXPECT_EQ(run.out, "");
    }
}

TEST(CliHostile, UnreadableFile)
{
    // Root reads a file whatever its mode; a kernel setting that may only be written refuses
    // even root.
    TempDir dir;
    std::string path = dir.file("fechado.txt", kThree);
    ::chmod(path.c_str(), 0);
    if (::geteuid() == 0)
        path = "/proc/sys/vm/drop_caches";
    if (::access(path.c_str(), R_OK) == 0)
        GTEST_SKIP() << "running as root, and " << path << " is not refused to root here";
    const CliRun run = runCli({ "ht", path, "--lines", "3" });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot open file \"" + path + "\". Permission denied.\n");
}

TEST(CliHostile, ReportsThatCannotBeWrittenAreRefusedBeforeTheFirstLine)
{
    TempDir dir;
    const std::string data = dir.file("tres.txt", kThree);
    const std::string output = dir.file("relatorio.txt", "previous report\r\n");
    const std::string tooMany =
        "mais do que o koravel-cli pode contar (9.223.372.036.854.775.807).\n";
    const struct
    {
        std::vector<std::string> arguments;
        std::string err; // its beginning when it ends in "..."
    } rows[] = {
        { { "hd", data, "--lines", "2000000000" },
            "Com 2.000.000.000 linhagens, o relat\xC3\xB3rio de HDs teria "
            "1.999.999.994.000.000.005.499.999.998.500.000.008 linhas, "
                + tooMany },
        { { "ht", data, "--lines", "2000000000", "--output", output },
            "Com 2.000.000.000 linhagens, o relat\xC3\xB3rio de HTs teria "
            "3.999.999.994.000.000.002.000.000.008 linhas, "
                + tooMany },
        // Some 5.4 TB, more than the disk of any test machine has free.
        { { "hd", data, "--lines", "1000", "--output", output },
            "Com 1.000 linhagens, o relat\xC3\xB3rio de HDs teria 124.251.374.258 linhas, pelo "
            "menos 5,4 TB, e s\xC3\xB3 h\xC3\xA1 ..." },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.arguments[3]);
        const CliRun run = runCli(row.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        if (row.err.ends_with("..."))
            EXPECT_TRUE(run.err.starts_with(row.err.substr(0, row.err.size() - 3))) << run.err;
        else
            EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(readBytes(output), "previous report\r\n");
        EXPECT_EQ(dir.names(), (std::vector<std::string> { "relatorio.txt", "tres.txt" }));
    }
}

TEST(CliHostile, FullAndReadOnlyDisks)
{
    ScratchMount disk("size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    // Twelve lines, every pair once, with long values: the lines of the HD report take some
    // 120 KB, where the shortest values would take 57 KB; the 64 KB disk passes the check of
    // the free space and fills up during the run.
    TempDir dir;
    std::string data;
    for (int i = 1; i <= 12; ++i)
        for (int j = i + 1; j <= 12; ++j)
            data += std::to_string(i) + " " + std::to_string(j) + " 6.2512345678\n";
    const std::string input = dir.file("doze.txt", data);
    const std::string output = (disk.path() / "relatorio.txt").string();
    std::ofstream(output, std::ios::binary) << "previous report\r\n";

    const CliRun full = runCli({ "hd", input, "--lines", "12", "--output", output });
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "Stream write error.\n");
    // Larger than the free space from the start: refused before the first line.
    const CliRun large = runCli({ "hd", input, "--lines", "30", "--output", output });
    EXPECT_EQ(large.status, 1);
    EXPECT_EQ(large.err,
        "Com 30 linhagens, o relat\xC3\xB3rio de HDs teria 82.223 linhas, pelo menos 3,2 MB, e "
        "s\xC3\xB3 h\xC3\xA1 61.440 bytes livres para \""
            + output + "\".\n");
    EXPECT_EQ(readBytes(output), "previous report\r\n");
    // The same for standard output sent to a file on that disk.
    const std::string shellFile = (disk.path() / "saida.txt").string();
    const CliRun redirected = runCli({ "hd", input, "--lines", "30" }, shellFile);
    EXPECT_EQ(redirected.status, 1);
    EXPECT_EQ(redirected.err,
        "Com 30 linhagens, o relat\xC3\xB3rio de HDs teria 82.223 linhas, pelo menos 3,2 MB, e "
        "s\xC3\xB3 h\xC3\xA1 61.440 bytes livres para \""
            + shellFile + "\".\n");
    EXPECT_EQ(readBytes(shellFile), "");
    std::filesystem::remove(shellFile);

    ASSERT_TRUE(disk.makeReadOnly());
    const CliRun readOnly = runCli({ "hd", input, "--lines", "4", "--output", output });
    EXPECT_EQ(readOnly.status, 1);
    EXPECT_EQ(readOnly.err, "Cannot create file \"" + output + "\". Read-only file system.\n");
    EXPECT_EQ(readBytes(output), "previous report\r\n");
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(disk.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { "relatorio.txt" });
}

TEST(CliHostile, InterruptedRunLeavesNoTemporaryFile)
{
    // A hundred lines: a report of some 600 MB, stopped as soon as the temporary file of the
    // report or of the spreadsheet exists.
    TempDir dir;
    std::string data;
    for (int i = 1; i <= 100; ++i)
        for (int j = i + 1; j <= 100; ++j)
            data += std::to_string(i) + " " + std::to_string(j) + " 6.25\n";
    const std::string input = dir.file("cem.txt", data);
    const struct
    {
        const char *option;
        const char *name;
    } rows[] = { { "--output", "relatorio.txt" }, { "--csv", "planilha.csv" } };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.option);
        const std::string kept = dir.file(row.name, "previous content\r\n");
        const std::string script = "exec 2>/dev/null; LC_ALL=C " + quoted(KORAVEL_CLI_PATH) + " hd "
            + quoted(input) + " --lines 100 " + row.option + " " + quoted(kept)
            + " >/dev/null 2>/dev/null & pid=$!; n=0; " + "while [ -z \"$(ls -A "
            + quoted(dir.path()) + " | grep '^\\." + row.name
            + "')\" ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n+1)); done; kill -TERM $pid; "
            + "wait $pid";
        const int status = std::system(("sh -c " + quoted(script)).c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
        EXPECT_EQ(readBytes(kept), "previous content\r\n");
        EXPECT_EQ(dir.names(), (std::vector<std::string> { "cem.txt", row.name }));
        std::filesystem::remove(kept);
    }
}

// --output naming a pipe writes through it: renaming a finished file over it would leave a
// plain file where the pipe was (and, for root, over /dev/null).
TEST(CliHostile, OutputToAPipeIsWrittenThroughIt)
{
    TempDir dir;
    const std::string input = dir.file("tres.txt", kThree);
    const std::string pipe = (dir.path() / "fila").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string received = (dir.path() / "recebido").string();
    // The reader gives up after 20 s, so a run that never opens the pipe cannot hang the test.
    const std::string script = "timeout 20 cat " + quoted(pipe) + " >" + quoted(received)
        + " & LC_ALL=C " + quoted(KORAVEL_CLI_PATH) + " ht " + quoted(input)
        + " --lines 3 --reciprocals nao --output " + quoted(pipe)
        + " 2>/dev/null; status=$?; wait; exit $status";
    const int status = std::system(script.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat after = {};
    ASSERT_EQ(::stat(pipe.c_str(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode));
    EXPECT_TRUE(readBytes(received).ends_with(kLastHt + kRule + "\r\n"));
}
