// Saving the report, as rows of targets and faults: every byte reaches the target, a replaced
// file keeps its permissions and a link its target; a failure names the file by its full path,
// keeps the old file and leaves no temporary file behind.
#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <sys/resource.h>

#include "error_of.h"
#include "fixtures.h"
#include "report/report_file.h"
#include "scratch_mount.h"

using namespace koravel;
using namespace koravel::test;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kOld = "the report saved yesterday\r\n";

struct Target
{
    const char *name;
    std::string path; // relative to the folder of the row
    std::string bytes;
    std::string error; // "" for a save; "%/" stands for the folder
    std::string content; // of "relatorio.txt" after the save
};

// Saves each row into a folder that holds only "relatorio.txt" with kOld, and checks that the
// folder holds nothing else afterwards.
void save(const fs::path &folder, const std::vector<Target> &rows)
{
    for (const Target &row : rows) {
        SCOPED_TRACE(row.name);
        std::string expected = row.error;
        if (const auto at = expected.find("%/"); at != std::string::npos)
            expected.replace(at, 2, folder.string() + "/");
        EXPECT_EQ(errorOf([&] { saveReportFile((folder / row.path).string(), row.bytes); }),
            expected.empty() ? "no error" : expected);
        EXPECT_EQ(readBytes(folder / "relatorio.txt"), row.content);
        if (row.path == "novo.txt" && fs::exists(folder / row.path)) {
            EXPECT_EQ(expected, "");
            fs::remove(folder / row.path);
        }
        const std::set<fs::path> kept { "relatorio.txt", "link.txt", "pasta" };
        for (const auto &entry : fs::directory_iterator(folder))
            EXPECT_EQ(kept.count(entry.path().filename()), 1u) << entry.path();
    }
}

} // namespace

TEST(FileWriter, TargetsOnAnOrdinaryDisk)
{
    TempDir dir;
    const std::string report = "PREDI\xC7\xC3O\tH\xCD"
                               "BRIDOS\r\nlast without break\r\x00\xFF"s;
    dir.file("relatorio.txt", kOld);
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "relatorio.txt", perms);
    fs::create_symlink(dir / "relatorio.txt", dir / "link.txt");
    fs::create_directory(dir / "pasta");
    save(dir.path(),
        {
            { "every byte over the old file", "relatorio.txt", report, "", report },
            { "empty", "relatorio.txt", "", "", "" },
            { "through a link", "link.txt", "new", "", "new" },
            { "a new file", "novo.txt", "x", "", "new" },
            { "a folder", "pasta", "x", "Cannot create file \"%/pasta\". Is a directory", "new" },
            { "a missing folder", "nada/./r.txt", "x",
                "Cannot create file \"%/nada/r.txt\". No such file or directory", "new" },
        });
    EXPECT_EQ(fs::status(dir / "relatorio.txt").permissions() & fs::perms::all, perms);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));

    // A relative name is completed from the working folder in the message.
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    EXPECT_EQ(errorOf([] { saveReportFile("nada/r.txt", "x"); }),
        "Cannot create file \"" + dir / "nada/r.txt" + "\". No such file or directory");
    fs::current_path(previous);
    EXPECT_EQ(savedMessage("/home/ana/HD.txt"), "Dados salvos com sucesso em /home/ana/HD.txt");
}

TEST(FileWriter, AWriteThatFallsShort)
{
    // A file size limit makes the write fall short, as a full disk would.
    TempDir dir;
    dir.file("relatorio.txt", kOld);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    save(dir.path(),
        { { "over the size limit", "relatorio.txt", std::string(5000, 'n'), "Stream write error",
            kOld } });
    ::setrlimit(RLIMIT_FSIZE, &previous);
}

TEST(FileWriter, FullAndReadOnlyDisks)
{
    ScratchMount disk("size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    std::ofstream(disk.path() / "relatorio.txt", std::ios::binary) << kOld;
    const std::string large(200000, 'r'), small(30000, 's');
    save(disk.path(),
        {
            { "larger than the disk", "relatorio.txt", large, "Stream write error", kOld },
            { "a new file larger than the disk", "novo.txt", large, "Stream write error", kOld },
            { "what fits", "relatorio.txt", small, "", small },
        });
    ASSERT_TRUE(disk.makeReadOnly());
    save(disk.path(),
        {
            { "read-only", "relatorio.txt", "new",
                "Cannot create file \"%/relatorio.txt\". Read-only file system", small },
            { "a new file, read-only", "novo.txt", "new",
                "Cannot create file \"%/novo.txt\". Read-only file system", small },
        });
}
