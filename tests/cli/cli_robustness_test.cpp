// koravel-cli run the way people end up running it: a closed pipe, a file-size limit, closed
// standard descriptors, an output that is the data file, odd separators and odd paths. Each row
// is a bash script run in a fresh folder holding the complete diallels d5.txt, d20.txt and
// d40.txt; $CLI is the program. What the script prints (the folder's listing, the bytes of the
// files that must be intact) is checked exactly, standard error by a piece of it ("" for none),
// the folder's path written DIR in both. A script exits 77 to skip, saying why on standard
// output.
#include <string>

#include "cli_runner.h"

namespace {

using namespace clitest;

struct Row
{
    const char *name;
    const char *script;
    int status;
    const char *out;
    const char *err;
};

// The single crosses of n lines, each pair once, with plausible yields.
std::string diallel(int n)
{
    return koravel::test::everyPair(n, [](int i, int j) {
        return std::to_string(i) + " " + std::to_string(j) + " "
            + std::to_string(4 + (i * 37 + j * 91) % 800 / 100.0).substr(0, 4);
    });
}

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to), at += to.size();
    return text;
}

const std::string kData = "d20.txt d40.txt d5.txt";

// A 64 KB file system of the folder's own on m/ (root only), unmounted at the end.
#define SMALL_DISK                                                                               \
    "mkdir m && mount -t tmpfs -o size=64k tmpfs m 2>/dev/null || { echo 'no tmpfs'; exit 77; }\n" \
    "trap 'umount m' EXIT\n"

const Row kRows[] = {
    // Twelve lines of long values pass the check of the free space (57 KB at the shortest) and
    // fill the disk (120 KB); the old report stays and no temporary file is left.
    { "full_disk",
        SMALL_DISK "for i in $(seq 12); do for j in $(seq $((i + 1)) 12); do echo $i $j 6.2512345678;"
                   " done; done > doze.txt; echo old > m/r.txt\n"
                   "$CLI hd doze.txt --lines 12 --output m/r.txt; s=$?; ls -A m; cat m/r.txt; exit $s",
        1, "r.txt\nold\n", "Stream write error." },
    // Larger than the free space from the start: refused before the first line, also when
    // standard output is a file there.
    { "disk_too_small",
        SMALL_DISK "$CLI hd d40.txt --lines 40 > m/o.txt 2> e.txt; echo $? $(wc -c < m/o.txt)\n"
                   "grep -c 'livres para \".*/m/o.txt\"' e.txt; $CLI hd d40.txt --lines 40 --output"
                   " m/r.txt",
        1, "1 0\n1\n", " bytes livres para \"DIR/m/r.txt\"." },
    // A workbook that does not fit: one message of the program's own, the old file intact.
    { "workbook_on_a_full_disk",
        SMALL_DISK "echo old > m/w.xlsx; $CLI hd d20.txt --lines 20 --xlsx m/w.xlsx >/dev/null"
                   " 2>e.txt; s=$?; ls -A m; cat m/w.xlsx e.txt; exit $s",
        1, "w.xlsx\nold\nCannot create file \"DIR/m/w.xlsx\". No space left on device.\n", "" },
    { "read_only_disk",
        SMALL_DISK "echo old > m/r.txt; mount -o remount,ro m\n"
                   "$CLI hd d5.txt --lines 5 --output m/r.txt; s=$?; ls -A m; cat m/r.txt; exit $s",
        1, "r.txt\nold\n", "Cannot create file \"DIR/m/r.txt\". Read-only file system." },
    // A reader that stops early ends the run quietly; the outputs stay as they were.
    { "closed_pipe",
        "echo old > big.csv; echo old > rk.csv\n"
        "$CLI hd d40.txt --lines 40 --reciprocals nao --csv big.csv --ranking rk.csv"
        " | head -c 100 >/dev/null; s=${PIPESTATUS[0]}\n"
        "ls -A | tr '\\n' ' '; cat big.csv rk.csv; exit $s",
        1, "big.csv d20.txt d40.txt d5.txt rk.csv old\nold\n", "" },
    { "file_size_limit",
        "echo old > rep.txt; ulimit -f 100\n"
        "$CLI hd d20.txt --lines 20 --output rep.txt; s=$?; ls -A | tr '\\n' ' '; cat rep.txt; "
        "exit $s",
        1, "d20.txt d40.txt d5.txt rep.txt old\n", "(ulimit -f)" },
    // A temporary file left by a killed run goes when its process is gone and it is ours.
    { "stale_temporary",
        "sh -c true & wait; gone=$!\n"
        "for t in \"$gone.1\" \"$$.2\" \"$gone.3\"; do echo x > .rep.txt.$t.tmp; done\n"
        "chown 65534 .rep.txt.$gone.3.tmp\n"
        "$CLI hd d5.txt --lines 5 --output rep.txt; s=$?\n"
        "ls -A | sed \"s/\\.$gone\\./.GONE./; s/\\.$$\\./.LIVE./\" | sort | tr '\\n' ' '; exit $s",
        0, ".rep.txt.GONE.3.tmp .rep.txt.LIVE.2.tmp d20.txt d40.txt d5.txt rep.txt ", "" },
    { "name_of_250_characters",
        "n=$(printf 'r%.0s' $(seq 250)); $CLI hd d5.txt --lines 5 --output $n; s=$?\n"
        "ls -A | tr '\\n' ' ' | sed 's/rrrrrrrrrr*/R/'; exit $s",
        0, "d20.txt d40.txt d5.txt R ", "" },
    // An output that is the data file, under any name, is refused before a byte is written.
    { "output_is_the_data",
        "cp d5.txt data.txt; $CLI hd data.txt --lines 5 --output ./data.txt; s=$?\n"
        "cmp -s d5.txt data.txt && echo intact; exit $s",
        2, "intact\n", "--output e o arquivo de dados não podem ser o mesmo arquivo" },
    { "csv_is_a_link_to_the_data",
        "cp d5.txt data.txt; ln -s data.txt link.csv\n"
        "$CLI hd data.txt --lines 5 --csv link.csv >/dev/null; s=$?\n"
        "cmp -s d5.txt data.txt && echo intact; exit $s",
        2, "intact\n", "--csv e o arquivo de dados não podem ser o mesmo arquivo" },
    { "xlsx_is_a_hard_link_to_the_data",
        "cp d5.txt data.txt; ln data.txt hard.xlsx\n"
        "$CLI hd data.txt --lines 5 --xlsx hard.xlsx >/dev/null; s=$?\n"
        "cmp -s d5.txt data.txt && echo intact; exit $s",
        2, "intact\n", "--xlsx e o arquivo de dados não podem ser o mesmo arquivo" },
    // A link is followed and stays; a pipe is written through, not replaced by a plain file.
    { "output_through_a_link",
        "echo old > real.txt; ln -s real.txt atalho.txt\n"
        "$CLI hd d5.txt --lines 3 --clean --output atalho.txt; s=$?\n"
        "[ -L atalho.txt ] && echo link; tail -n 1 real.txt; exit $s",
        0, "link\nHibridos Reais preditos = 0\r\n", "o mínimo são 4 linhagens" },
    { "output_is_a_pipe",
        "mkfifo fila; timeout 20 cat fila > recebido & r=$!\n"
        "$CLI ht d5.txt --lines 5 --output fila; s=$?; wait $r\n"
        "[ -p fila ] && $CLI ht d5.txt --lines 5 | cmp - recebido && echo same; exit $s",
        0, "same\n", "" },
    // Closed standard descriptors: no file the program makes takes their place.
    { "closed_standard_error",
        "$CLI hd d5.txt --lines 3 --output r.txt 2>&-; s=$?; head -c 4 r.txt; exit $s", 0, "----",
        "" },
    { "closed_standard_output",
        "$CLI hd d5.txt --lines 5 --csv a.csv >/dev/null; $CLI hd d5.txt --lines 5 --csv b.csv >&-"
        "; s=$?; cmp a.csv b.csv && echo same; exit $s",
        0, "same\n", "" },
    // A path is shown as typed, beside the program's own accented text.
    { "accented_path_named_as_typed", "$CLI hd d5.txt --lines 1000 --output 'relatório ç.txt'", 1,
        "", " livres para \"DIR/relatório ç.txt\"." },
    { "argument_outside_latin1", "$CLI hd d5.txt --lines 日本", 1, "",
        "'日本' is not a valid integer value." },
    { "output_in_a_missing_folder", "$CLI hd d5.txt --lines 5 --output new/", 1, "",
        "Cannot create file \"DIR/new/\". No such file or directory." },
    { "replaced_file_keeps_its_owner",
        "echo old > r.txt; chown 65534:65534 r.txt; chmod 640 r.txt\n"
        "$CLI hd d5.txt --lines 5 --output r.txt; s=$?; stat -c '%u:%g %a' r.txt; exit $s",
        0, "65534:65534 640\n", "" },
    // A link that leads nowhere is refused, as one that leads somewhere is followed.
    { "dangling_link",
        "ln -s nowhere/r.txt dl.txt; $CLI hd d5.txt --lines 5 --output dl.txt; s=$?\n"
        "readlink dl.txt; exit $s",
        1, "nowhere/r.txt\n", "Cannot create file \"DIR/dl.txt\". No such file or directory." },
    { "looping_link",
        "ln -s lp.txt lp.txt; $CLI hd d5.txt --lines 5 --output lp.txt; s=$?\n"
        "readlink lp.txt; exit $s",
        1, "lp.txt\n", "Cannot create file \"DIR/lp.txt\". Too many levels of symbolic links." },
    // Another user's file in a folder where only owners may rename is refused before the run,
    // and the other outputs of the run stay as they were.
    { "another_users_file_in_a_sticky_folder",
        "[ $(id -u) = 0 ] && command -v setpriv >/dev/null || { echo 'needs root'; exit 77; }\n"
        "chmod 755 .; mkdir -m 1777 s; cp d5.txt s/; echo old > s/shared.txt; echo old > s/c.csv\n"
        "chmod 666 s/shared.txt; chown 65534 s/c.csv\n"
        "setpriv --reuid=65534 --regid=65534 --clear-groups $CLI hd s/d5.txt --lines 5"
        " --output s/shared.txt --csv s/c.csv; s=$?\n"
        "ls -A s | tr '\\n' ' '; cat s/shared.txt s/c.csv; exit $s",
        1, "c.csv d5.txt shared.txt old\nold\n",
        "Cannot create file \"DIR/s/shared.txt\". Operation not permitted." },
    // A file system that keeps half its blocks for another user: only the rest counts.
    { "reserved_blocks",
        "dd if=/dev/zero of=e.img bs=1M count=16 2>/dev/null && mkfs.ext4 -q -m 50 e.img"
        " && mkdir e && mount -o loop,resuid=4321 e.img e 2>/dev/null"
        " || { echo 'no loop mount of ext4 here'; exit 77; }\n"
        "setpriv --bounding-set -sys_resource $CLI hd d40.txt --lines 40 --output e/r.txt; s=$?\n"
        "ls -A e | tr '\\n' ' '; umount e; exit $s",
        1, "lost+found ", " MB livres para \"DIR/e/r.txt\"." },
};

void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.name;
}

class CliRobustness : public testing::TestWithParam<Row>
{
};

TEST_P(CliRobustness, EndsCleanly)
{
    const Row &row = GetParam();
    TempDir folder;
    for (const int n : { 5, 20, 40 })
        folder.file("d" + std::to_string(n) + ".txt", diallel(n));
    TempDir capture;
    const std::string script = capture.file("script", std::string(row.script) + "\n");
    const std::string command = "cd " + quoted(folder.path())
        + " && CLI=" + quoted(KORAVEL_CLI_PATH) + " LC_ALL=C bash " + quoted(script)
        + " </dev/null >" + quoted(capture.path() / "out") + " 2>" + quoted(capture.path() / "err");
    const int status = std::system(command.c_str());
    const std::string out = replaced(readBytes(capture.path() / "out"), folder.path(), "DIR");
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == 77)
        GTEST_SKIP() << out;
    const std::string err = replaced(readBytes(capture.path() / "err"), folder.path(), "DIR");
    EXPECT_EQ(code, row.status) << err;
    EXPECT_EQ(out, row.out);
    if (std::string(row.err).empty())
        EXPECT_EQ(err, "");
    else
        EXPECT_NE(err.find(row.err), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(Rows, CliRobustness, testing::ValuesIn(kRows),
    [](const testing::TestParamInfo<Row> &row) { return std::string(row.param.name); });

// A separator that could be taken for part of a number, or that splits a line, is a usage error.
TEST(CliRobustness, AmbiguousDecimalSeparatorsAreRefused)
{
    TempDir folder;
    const std::string data = folder.file("d5.txt", diallel(5));
    for (const char *separator : { "0", "9", " ", "\t", "-", "+", "e", "E", "\"", "\x01", "\r",
             "\x7F", "\xC2\x85", "\xC2\xA0" }) {
        SCOPED_TRACE(testing::PrintToString(separator));
        const CliRun run = runCli({ "hd", data, "--lines", "5", "--decimal-separator", separator });
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("koravel-cli: --decimal-separator ")) << run.err;
    }
    for (const char *separator : { ",", ".", "\xC3\xA7" }) {
        SCOPED_TRACE(separator);
        EXPECT_EQ(runCli({ "counts", "5", "--decimal-separator", separator }).status, 0);
    }
}

} // namespace
