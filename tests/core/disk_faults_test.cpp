// Saving the report where the disk fails: a full file system and a read-only one. The error is
// the product's, an existing file keeps its content and no temporary file is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "error_of.h"
#include "report/report_file.h"
#include "scratch_mount.h"

using namespace koravel;

namespace {

std::string contentOf(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> namesIn(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kOld = "old report\r\n";
// A report of some 200 KB: more than the 64 KB file system holds.
const std::string kLarge(200000, 'r');

TEST(DiskFaults, FullFileSystem)
{
    const ScratchMount disk("size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::filesystem::path existing = disk.path() / "relatorio.txt";
    std::ofstream(existing, std::ios::binary) << kOld;
    const std::filesystem::path fresh = disk.path() / "novo.txt";

    EXPECT_EQ(errorOf([&] { saveReportFile(existing.string(), kLarge); }), "Stream write error");
    EXPECT_EQ(errorOf([&] { saveReportFile(fresh.string(), kLarge); }), "Stream write error");
    EXPECT_EQ(contentOf(existing), kOld);
    EXPECT_EQ(namesIn(disk.path()), std::vector<std::string> { "relatorio.txt" });

    // What fits is saved over the old file, in full.
    const std::string small(30000, 's');
    EXPECT_EQ(errorOf([&] { saveReportFile(existing.string(), small); }), "no error");
    EXPECT_EQ(contentOf(existing), small);
    EXPECT_EQ(namesIn(disk.path()), std::vector<std::string> { "relatorio.txt" });
}

TEST(DiskFaults, ReadOnlyFileSystem)
{
    ScratchMount disk("size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::filesystem::path existing = disk.path() / "relatorio.txt";
    std::ofstream(existing, std::ios::binary) << kOld;
    if (!disk.makeReadOnly())
        GTEST_SKIP() << "remounting read-only refused here";

    for (const std::string name : { "relatorio.txt", "novo.txt" }) {
        SCOPED_TRACE(name);
        const std::string path = (disk.path() / name).string();
        EXPECT_EQ(errorOf([&] { saveReportFile(path, "new\r\n"); }),
            "Cannot create file \"" + path + "\". Read-only file system");
    }
    EXPECT_EQ(contentOf(existing), kOld);
    EXPECT_EQ(namesIn(disk.path()), std::vector<std::string> { "relatorio.txt" });
}

} // namespace
