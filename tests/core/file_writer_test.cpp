// Saving the report from the window: every byte reaches the target, a replaced file keeps its
// permissions and a link its target; a failure names the file by its full path, keeps the old
// file and leaves no temporary file behind. Full and read-only disks are the command line's
// tests, whose outputs are replaced the same way.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "error_of.h"
#include "fixtures.h"
#include "report/report_file.h"

using namespace koravel;
using namespace std::string_literals;
namespace fs = std::filesystem;

TEST(FileWriter, TargetsOnAnOrdinaryDisk)
{
    test::TempDir dir;
    const std::string report = "PREDI\xC7\xC3O\tH\xCD"
                               "BRIDOS\r\nlast without break\r\x00\xFF"s;
    dir.file("relatorio.txt", "the report saved yesterday\r\n");
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "relatorio.txt", perms);
    fs::create_symlink(dir / "relatorio.txt", dir / "link.txt");
    fs::create_directory(dir / "pasta");
    const struct
    {
        std::string path, bytes;
        std::string error; // "no error" for a save
        std::string content; // of "relatorio.txt" after the save
    } rows[] = {
        { "relatorio.txt", report, "no error", report },
        { "relatorio.txt", "", "no error", "" },
        { "link.txt", "new", "no error", "new" },
        { "novo.txt", "x", "no error", "new" },
        { "pasta", "x", "Cannot create file \"" + dir / "pasta" + "\". Is a directory", "new" },
        { "nada/./r.txt", "x",
            "Cannot create file \"" + dir / "nada/r.txt" + "\". No such file or directory", "new" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(errorOf([&] { saveReportFile(dir / row.path, row.bytes); }), row.error);
        EXPECT_EQ(test::readBytes(dir / "relatorio.txt"), row.content);
        if (row.path == "novo.txt") {
            EXPECT_EQ(test::readBytes(dir / "novo.txt"), "x");
            fs::remove(dir / row.path);
        }
        EXPECT_EQ(dir.names(), (std::vector<std::string> { "link.txt", "pasta", "relatorio.txt" }))
            << "nothing left behind";
    }
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

// A file size limit makes the write fall short, as a full disk would, on any machine.
TEST(FileWriter, AWriteThatFallsShort)
{
    test::TempDir dir;
    dir.file("relatorio.txt", "old");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_EQ(errorOf([&] { saveReportFile(dir / "relatorio.txt", std::string(5000, 'n')); }),
        "Stream write error");
    ::setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(test::readBytes(dir / "relatorio.txt"), "old");
    EXPECT_EQ(dir.names(), std::vector<std::string> { "relatorio.txt" });
}
