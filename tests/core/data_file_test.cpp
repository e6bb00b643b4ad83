// Reading a data file: the bytes, the line rules and the field rules.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "data_file.h"
#include "error.h"

using namespace koravel;

namespace {

using Lines = std::vector<std::string_view>;
using Fields = std::vector<std::string>;

TEST(SplitLines, LineEndsAndTheFinalEmptyLine)
{
    using namespace std::string_view_literals;
    struct Row
    {
        const char *name;
        std::string_view text;
        Lines lines;
    };
    const Row rows[] = {
        { "empty", "", {} },
        { "oneLineEnd", "\n", { "" } },
        { "oneCrLf", "\r\n", { "" } },
        { "noFinalEnd", "1 2 3", { "1 2 3" } },
        { "crLf", "1 2 3\r\n4 5 6\r\n", { "1 2 3", "4 5 6" } },
        { "lf", "1 2 3\n4 5 6\n", { "1 2 3", "4 5 6" } },
        { "loneCr", "1 2 3\r4 5 6\r", { "1 2 3", "4 5 6" } },
        { "mixed", "a\r\nb\nc\rd", { "a", "b", "c", "d" } },
        { "lfThenCrIsTwoEnds", "a\n\rb", { "a", "", "b" } },
        { "twoFinalEnds", "a\r\n\r\n", { "a", "" } },
        { "crCrLf", "a\r\r\n", { "a", "" } },
        { "emptyMiddle", "a\n\nb\n", { "a", "", "b" } },
        { "nulEndsText", "a\nb\0c\nd\n"sv, { "a", "b" } },
        { "nulFirst", "\0a\n"sv, {} },
        { "nulAfterEnd", "a\n\0"sv, { "a" } },
        { "blanksKept", "  a \t\n", { "  a \t" } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(splitLines(row.text), row.lines);
    }
}

TEST(SplitLines, OnlyTheFirst4096CharactersOfALineAreRead)
{
    const std::string longLine = std::string(4096, 'a') + "TAIL";
    const std::string text = longLine + "\r\n" + std::string(4096, 'b') + "\nshort";
    const Lines lines = splitLines(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(4096, 'a'));
    EXPECT_EQ(lines[1], std::string(4096, 'b'));
    EXPECT_EQ(lines[2], "short");
}

TEST(SplitFields, SeparatorsAndQuotes)
{
    using namespace std::string_view_literals;
    struct Row
    {
        const char *name;
        std::string_view line;
        Fields fields;
    };
    const Row rows[] = {
        { "empty", "", {} },
        { "onlyBlanks", " \t  ", {} },
        { "blanks", "1 2 4.5", { "1", "2", "4.5" } },
        { "tabsAndRuns", "  1\t2  4.5 ", { "1", "2", "4.5" } },
        { "controlCodes",
            "1\x01"
            "2\x1F"
            "3\x0B"
            "4",
            { "1", "2", "3", "4" } },
        { "code33IsText", "!a! b", { "!a!", "b" } },
        { "latin1IsText", "PRODU\xC7\xC3O x", { "PRODU\xC7\xC3O", "x" } },
        { "verbatim", "+05 2,5 1E3", { "+05", "2,5", "1E3" } },
        { "quoted", "\"12\" 3", { "12", "3" } },
        { "quotedBlank", "\"a b\" c", { "a b", "c" } },
        { "doubledQuote", "\"a\"\"b\"", { "a\"b" } },
        { "emptyQuoted", "\"\" 3", { "", "3" } },
        { "twoEmptyQuoted", "\"\"\"\"\"\"", { "\"\"" } },
        { "nextFieldRightAfterQuote", "\"a b\"\"c\"x", { "a b\"c", "x" } },
        { "quoteThenQuotedField", "\"a\"\"\" \"b\"", { "a\"", "b" } },
        { "closedThenQuoted", "\"a\"\" b\"", { "a\" b" } },
        { "adjacentQuotedFields", "\"a\" \"\"", { "a", "" } },
        { "unterminated", "1 \"2 3", { "1", "2 3" } },
        { "unterminatedDoubled", "\"a\"\"b", { "a\"b" } },
        { "loneQuoteAtEnd", "1 \"", { "1", "" } },
        { "quoteInsideUnquoted", "a\"b c", { "a\"b", "c" } },
        { "quotedKeepsTabs", "\"\t1\t\"", { "\t1\t" } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Fields fields { "stale" };
        splitFields(row.line, fields);
        EXPECT_EQ(fields, row.fields);
    }
}

class ReadFileBytes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path()
            / ("koravel-data-file-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string write(const std::string &name, const std::string &bytes)
    {
        const std::string path = (m_folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::filesystem::path m_folder;
};

TEST_F(ReadFileBytes, ReadsEveryByte)
{
    std::string bytes = "1 2 4.5\r\n\0\xFF\n";
    bytes += std::string(200000, 'x'); // more than one read
    EXPECT_EQ(readFileBytes(write("d.txt", bytes)), bytes);
    EXPECT_EQ(readFileBytes(write("empty.txt", "")), "");
}

TEST_F(ReadFileBytes, MissingFileNamesItsFullPath)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(m_folder);
    const std::string expected = "Cannot open file \"" + (m_folder / "missing.txt").string()
        + "\". No such file or directory";
    try {
        readFileBytes("./missing.txt");
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(), expected);
    }
    std::filesystem::current_path(previous);
}

TEST_F(ReadFileBytes, FolderCannotBeOpened)
{
    try {
        readFileBytes(m_folder.string());
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(),
            "Cannot open file \"" + m_folder.string() + "\". " + systemReason(EISDIR));
    }
}

TEST_F(ReadFileBytes, LongerThanTheLimitExceedsCapacity)
{
    const std::string path = write("big.txt", std::string(70000, 'a'));
    EXPECT_EQ(readFileBytes(path, 70000).size(), 70000u);
    try {
        readFileBytes(path, 69999);
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(), "Text exceeds memo capacity");
    }
}

TEST(FullPath, RelativeNamesAreCompletedFromTheWorkingFolder)
{
    const std::string folder = std::filesystem::current_path().string();
    EXPECT_EQ(fullPath("data.txt"), folder + "/data.txt");
    EXPECT_EQ(fullPath("/tmp/./a/../b.txt"), "/tmp/b.txt");
}

} // namespace
