// The outputs of one run are replaced together: when one cannot be, none is.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "numtext/error.h"
#include "report/replacing_file.h"

namespace {

using koravel::test::readBytes;
using koravel::test::TempDir;

TEST(CommitTogether, AllOrNone)
{
    TempDir dir;
    dir.file("a.txt", "old a");
    {
        koravel::ReplacingFile a(dir / "a.txt"), b(dir / "b.txt"), c(dir / "c.txt");
        a.write("new a");
        b.write("new b");
        c.write("new c");
        // c's target turns into a folder holding a file while the run writes: its rename fails
        // after a's and b's went through.
        std::filesystem::create_directories(dir.path() / "c.txt" / "inside");
        EXPECT_THROW(koravel::commitTogether({ &a, &b, &c }), koravel::Error);
    }
    EXPECT_EQ(readBytes(dir / "a.txt"), "old a");
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "a.txt", "c.txt" }));

    koravel::ReplacingFile again(dir / "a.txt");
    again.write("newer a");
    koravel::commitTogether({ &again });
    EXPECT_EQ(readBytes(dir / "a.txt"), "newer a");
}

} // namespace
