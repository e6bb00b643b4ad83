// Reading a data file: the bytes, the line rules and the field rules.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "table/data_file.h"
#include "numtext/error.h"
#include "error_of.h"

using namespace koravel;
using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string_view>;
using Fields = std::vector<std::string>;

TEST(SplitLines, LineEndsAndTheFinalEmptyLine)
{
    const struct
    {
        const char *name;
        std::string text;
        Lines lines;
    } rows[] = {
        { "empty", "", {} },
        { "oneLineEnd", "\n", { "" } },
        { "noFinalEnd", "1 2 3", { "1 2 3" } },
        { "crLf", "1 2 3\r\n4 5 6\r\n", { "1 2 3", "4 5 6" } },
        { "mixed", "a\r\nb\nc\rd", { "a", "b", "c", "d" } },
        { "lfThenCrIsTwoEnds", "a\n\rb", { "a", "", "b" } },
        { "twoFinalEnds", "a\r\n\r\n", { "a", "" } },
        { "crCrLf", "a\r\r\n", { "a", "" } },
        { "nulEndsText", "a\nb\0c\nd\n"s, { "a", "b" } },
        { "nulFirst", "\0a\n"s, {} },
        { "blanksKept", "  a \t\n", { "  a \t" } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(splitLines(row.text), row.lines);
    }
    const std::string kept(4096, 'a'); // only the first 4096 characters of a line are read
    EXPECT_EQ(splitLines(kept + "TAIL\r\nshort"), (Lines { kept, "short" }));
}

TEST(SplitFields, SeparatorsAndQuotes)
{
    const struct
    {
        const char *name;
        std::string_view line;
        Fields fields;
    } rows[] = {
        { "onlyBlanks", " \t  ", {} },
        { "tabsAndRuns", "  1\t2  4.5 ", { "1", "2", "4.5" } },
        { "controlCodes", "1\0012\0373\0134", { "1", "2", "3", "4" } }, // codes 1, 31 and 11
        { "code33IsText", "!a! b", { "!a!", "b" } },
        { "latin1IsText", "PRODU\xC7\xC3O x", { "PRODU\xC7\xC3O", "x" } },
        { "quoted", "\"12\" 3", { "12", "3" } },
        { "doubledQuote", "\"a\"\"b\"", { "a\"b" } },
        { "emptyQuoted", "\"\" 3", { "", "3" } },
        { "twoEmptyQuoted", "\"\"\"\"\"\"", { "\"\"" } },
        { "nextFieldRightAfterQuote", "\"a b\"\"c\"x", { "a b\"c", "x" } },
        { "quoteThenQuotedField", "\"a\"\"\" \"b\"", { "a\"", "b" } },
        { "unterminated", "1 \"2 3", { "1", "2 3" } },
        { "loneQuoteAtEnd", "1 \"", { "1", "" } },
        { "quoteInsideUnquoted", "a\"b c", { "a\"b", "c" } },
        { "quotedKeepsTabs", "\"\t1\t\"", { "\t1\t" } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Fields fields { "stale" };
        splitFields(row.line, fields);
        EXPECT_EQ(fields, row.fields);
    }
}

TEST(ReadFileBytes, EveryByteTheLimitAndTheMessages)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path()
        / ("koravel-data-file-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "d.txt").string();
    const std::string bytes = "1 2 4.5\r\n\0\xFF\n"s + std::string(200000, 'x'); // several reads
    std::ofstream(path, std::ios::binary) << bytes;
    std::ofstream((folder / "empty.txt").string(), std::ios::binary);

    EXPECT_EQ(readFileBytes(path), bytes);
    EXPECT_EQ(readFileBytes(path, bytes.size()), bytes);
    EXPECT_EQ(readFileBytes((folder / "empty.txt").string()), "");
    EXPECT_EQ(
        errorOf([&] { readFileBytes(path, bytes.size() - 1); }), "Text exceeds memo capacity");
    EXPECT_EQ(errorOf([&] { readFileBytes(folder.string()); }),
        "Cannot open file \"" + folder.string() + "\". " + systemReason(EISDIR));
    // A relative name is completed from the working folder.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    EXPECT_EQ(errorOf([] { readFileBytes("./missing.txt"); }),
        "Cannot open file \"" + (folder / "missing.txt").string()
            + "\". No such file or directory");
    EXPECT_EQ(fullPath("/tmp/./a/../b.txt"), "/tmp/b.txt");
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}

} // namespace
