// The outputs of one run are replaced together: when one cannot be, none is.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "numtext/error.h"
#include "report/replacing_file.h"

namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CommitTogether, AllOrNone)
{
    const fs::path folder = fs::temp_directory_path() / ("koravel_commit_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "a.txt") << "old a";
    {
        koravel::ReplacingFile a((folder / "a.txt").string());
        koravel::ReplacingFile b((folder / "b.txt").string());
        koravel::ReplacingFile c((folder / "c.txt").string());
        a.write("new a");
        b.write("new b");
        c.write("new c");
        // c's target turns into a folder holding a file while the run writes: its rename fails
        // after a's and b's went through.
        fs::create_directories(folder / "c.txt" / "inside");
        EXPECT_THROW(koravel::commitTogether({ &a, &b, &c }), koravel::Error);
    }
    EXPECT_EQ(contentOf(folder / "a.txt"), "old a");
    EXPECT_FALSE(fs::exists(folder / "b.txt"));
    // Nothing is left beside them but the targets.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);

    koravel::ReplacingFile again((folder / "a.txt").string());
    again.write("newer a");
    koravel::commitTogether({ &again });
    EXPECT_EQ(contentOf(folder / "a.txt"), "newer a");
    fs::remove_all(folder);
}

} // namespace
