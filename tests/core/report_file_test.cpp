// Saving the report: every byte, and a failed save that keeps the old file.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "numtext/error.h"
#include "report/report_file.h"

using namespace koravel;
using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

class SaveReport : public ::testing::Test
{
protected:
    void SetUp() override { fs::create_directories(m_folder); }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string path(const std::string &name) const { return (m_folder / name).string(); }

    static std::string contentOf(const std::string &file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Only the files the test made: no temporary file may stay behind.
    std::size_t filesInFolder() const
    {
        return std::size_t(std::distance(fs::directory_iterator(m_folder), {}));
    }

    static std::string errorOf(const std::string &file, const std::string &bytes)
    {
        try {
            saveReportFile(file, bytes);
        } catch (const Error &error) {
            return error.message();
        }
        return "no error";
    }

    const fs::path m_folder =
        fs::temp_directory_path() / ("koravel-report-file-test-" + std::to_string(::getpid()));
};

TEST_F(SaveReport, WritesEveryByteAndKeepsPermissionsAndLinks)
{
    const std::string bytes = "PREDI\xC7\xC3O\tH\xCD"
                              "BRIDOS\r\nlast without break\r\x00\xFF"s;
    std::ofstream(path("r.txt"), std::ios::binary) << std::string(5000, 'o');
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path("r.txt"), perms);
    saveReportFile(path("r.txt"), bytes);
    EXPECT_EQ(contentOf(path("r.txt")), bytes);
    EXPECT_EQ(fs::status(path("r.txt")).permissions() & fs::perms::all, perms);

    saveReportFile(path("empty.txt"), "");
    EXPECT_EQ(fs::file_size(path("empty.txt")), 0u);

    fs::create_symlink(path("r.txt"), path("link.txt"));
    saveReportFile(path("link.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(contentOf(path("r.txt")), "new");
    EXPECT_EQ(filesInFolder(), 3u);
    EXPECT_EQ(savedMessage("/home/ana/HD.txt"), "Dados salvos com sucesso em /home/ana/HD.txt");
}

TEST_F(SaveReport, FileThatCannotBeCreatedIsNamedByItsFullPath)
{
    fs::create_directory(path("a folder"));
    std::ofstream(path("a folder/inside.txt")) << "kept";
    EXPECT_EQ(errorOf(path("a folder"), "x"),
        "Cannot create file \"" + path("a folder") + "\". Is a directory");
    EXPECT_EQ(contentOf(path("a folder/inside.txt")), "kept");
    EXPECT_EQ(filesInFolder(), 1u);

    const fs::path previous = fs::current_path();
    fs::current_path(m_folder);
    EXPECT_EQ(errorOf("missing/./r.txt", "x"),
        "Cannot create file \"" + path("missing/r.txt") + "\". No such file or directory");
    fs::current_path(previous);
}

TEST_F(SaveReport, FailedWriteKeepsTheOldFile)
{
    std::ofstream(path("r.txt"), std::ios::binary) << "the report saved yesterday\r\n";
    // A file size limit makes the write fall short, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = errorOf(path("r.txt"), std::string(5000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(contentOf(path("r.txt")), "the report saved yesterday\r\n");
    EXPECT_EQ(filesInFolder(), 1u);
}

} // namespace
