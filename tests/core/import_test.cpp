// The import of a data file into the single-cross table: what the fuzz target fuzz_import cannot
// reach (large files, the files and names refused before reading, the progress bar step by
// step) and the conversion of the text to single bytes, which it takes for granted.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "error_of.h"
#include "fixtures.h"
#include "table/text_encoding.h"

using namespace koravel;
using namespace koravel::test;
using namespace std::string_literals;

namespace {

class RecordingProgress : public ProgressBar
{
public:
    std::vector<std::pair<int, int>> seen; // (maximum, position) after every change

protected:
    void changed() override { seen.emplace_back(maximum(), position()); }
};

std::string repeated(const std::string &piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

class Import : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The headings the main window writes, and a table the user imported before, with a
        // cell typed out of sight.
        grid.setCell(1, 0, "Pai A");
        grid.setCell(2, 0, "Pai B");
        grid.setCell(3, 0, "PRODU\xC7\xC3O");
        ASSERT_EQ(importText("7 8 1 a\n7 9 2 b\n8 9 3 c\n9 10 4 d\n"), ImportResult::Imported);
        grid.setCell(5, 12, "typed out of sight");
        progress.seen.clear();
    }

    ImportResult importText(const std::string &bytes, std::size_t maxBytes = kMaxTextBytes)
    {
        controls.chosen = dir.file("d" + std::to_string(++m_files), bytes);
        return importDataFile(controls, grid, progress, maxBytes);
    }

    // Everything a user could see or a lookup could read, hidden cells included.
    std::string state() const
    {
        std::string text = std::to_string(grid.rowCount()) + "x"
            + std::to_string(grid.columnCount()) + " fixed " + std::to_string(grid.fixedRows())
            + std::to_string(grid.fixedColumns()) + " " + std::to_string(progress.maximum()) + "/"
            + std::to_string(progress.position()) + " " + std::to_string(controls.enableCalls) + " "
            + controls.lineBuffer;
        for (int row = 0; row < 14; ++row)
            for (int column = 0; column < 7; ++column)
                text += "|" + grid.cell(column, row);
        return text;
    }

    TempDir dir;
    CellGrid grid;
    FakeImportControls controls;
    RecordingProgress progress;
    int m_files = 0;
};

TEST_F(Import, AThreeLineFile)
{
    const std::string text = "1 2 4.5\r\n1 3 5\r\n2 3 6.25\r\n";
    EXPECT_EQ(importText(text), ImportResult::Imported);
    EXPECT_EQ(grid.cell(3, 3), "6.25");
    EXPECT_EQ(controls.enableCalls, 2);
    EXPECT_EQ(controls.lineBuffer, text);
    EXPECT_TRUE(controls.messages.empty());
    // Maximum lines - 1, the position through each line's i - 1, and back to 0.
    EXPECT_EQ(progress.seen,
        (std::vector<std::pair<int, int>> { { 2, 0 }, { 2, 1 }, { 2, 2 }, { 2, 0 } }));
}

// Files too large for the fuzz target import; whatever the earlier import wrote beyond the new
// table is gone, in sight or not.
TEST_F(Import, LargeFiles)
{
    const struct
    {
        const char *name;
        std::string bytes;
        int rows, columns; // of the table, heading row and label column included
        std::vector<std::tuple<int, int, std::string>> cells; // column, row, text
    } rows[] = {
        // Only the first 4096 characters of a line are read: 8 of the values, 4088 of the x.
        { "100 MB in one line", "1 2 4.5 " + std::string(100 << 20, 'x'), 2, 5,
            { { 3, 1, "4.5" }, { 4, 1, std::string(4088, 'x') } } },
        { "10,000 fields", repeated(repeated("7 ", 10000) + "\n", 3), 4, 2049,
            { { 2048, 3, "7" }, { 2049, 3, "" } } },
        { "1,000,000 lines", repeated("1 2 4.5\n", 1000000), 1000001, 4,
            { { 0, 1000000, "HS 1000000" }, { 3, 1000000, "4.5" } } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(importText(row.bytes), ImportResult::Imported);
        EXPECT_EQ(grid.rowCount(), row.rows);
        EXPECT_EQ(grid.columnCount(), row.columns);
        for (const auto &[column, r, text] : row.cells)
            EXPECT_EQ(grid.cell(column, r), text) << column;
        for (int r = 1; r < 14; ++r)
            for (int c = r < row.rows ? row.columns : 0; c < 7; ++c)
                EXPECT_EQ(grid.cell(c, r), "") << c << "," << r;
    }
}

// Each of these stops the import with its message and changes nothing: not the table, its
// hidden cells, its size, the buttons, the line buffer or the progress bar.
TEST_F(Import, RefusedFilesAndNamesChangeNothing)
{
    const struct
    {
        std::string bytes, path; // a file of those bytes unless a path is given
        std::string error;
        std::size_t maxBytes = kMaxTextBytes;
        std::uint64_t memory = windowMemoryLimit();
    } rows[] = {
        { "1 2 4.5\n1 3 5\n", "", "Text exceeds memo capacity", 13 },
        // 100,000 lines of 3 fields: twice the 800,000 bytes of text and 280 bytes a line.
        { repeated("1 2 4.5\n", 100000), "",
            "O arquivo tem 100.000 linhas, com 3 campos na primeira; a tabela precisaria de "
            "cerca de 29,6 MB de mem\xF3ria, mais do que o programa pode usar neste computador "
            "(10,0 MB).",
            kMaxTextBytes, 10000000 },
        // A folder, a pipe and a missing file are the command line's tests.
#ifndef _WIN32
        { "", "/dev/zero", "Cannot open file \"/dev/zero\". Not a regular file" },
#endif
    };
    controls.messages.clear();
    const std::string before = state();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.error);
        controls.chosen = row.path.empty() ? dir.file("d", row.bytes) : row.path;
        EXPECT_EQ(
            errorOf([&] { importDataFile(controls, grid, progress, row.maxBytes, row.memory); }),
            row.error);
        EXPECT_EQ(state(), before);
        EXPECT_TRUE(progress.seen.empty());
        EXPECT_TRUE(controls.messages.empty());
    }
    // The limits are inclusive.
    EXPECT_EQ(importText("1 2 4.5\n1 3 5\n", 14), ImportResult::Imported);
}

// File modes and /proc are POSIX's.
#ifndef _WIN32
TEST_F(Import, AnUnreadableFileAndACancelledDialog)
{
    // Root reads a file whatever its mode; a kernel setting that may only be written refuses
    // even root.
    std::string path = dir.file("fechado.txt", "1 2 4.5\n");
    ::chmod(path.c_str(), 0);
    if (::geteuid() == 0)
        path = "/proc/sys/vm/drop_caches";
    const std::string before = state();
    controls.chosen = path;
    if (::access(path.c_str(), R_OK) != 0) {
        EXPECT_EQ(errorOf([&] { importDataFile(controls, grid, progress); }),
            "Cannot open file \"" + path + "\". Permission denied");
        EXPECT_EQ(state(), before);
    }
    controls.chosen.reset();
    EXPECT_EQ(importDataFile(controls, grid, progress), ImportResult::Cancelled);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(controls.messages, std::vector<std::string> { "nenhum arquivo carregado" });
    EXPECT_TRUE(progress.seen.empty());
}
#endif

// Single-byte text is kept byte for byte, 0x80 to 0x9F included; Unicode files are read as the
// characters they hold. Octal escapes where a hex one would run into the next character.
TEST(ReadingRules, SingleByteText)
{
    const std::pair<std::string, std::string> texts[] = {
        { "a\xE7\xE3o \xC9", "a\xE7\xE3o \xC9" },
        { "\x80\x96\x93x\x94", "\x80\x96\x93x\x94" },
        { "\xC3\xA9", "\xE9" }, // a Latin-1 "Ã©" reads as one UTF-8 character
        { "\xE2\x80\x93 \xF0\x9F\x8C\xBD", "? ?" },
        { "\xC0\xAF \xE7", "\xC0\xAF \xE7" },
        { "\xED\xA0\x80", "\xED\xA0\x80" },
        { "a\xC3", "a\xC3" },
        { "\xEF\xBB\xBF", "" },
        { "\357\273\277a\347", "a\xE7" },
        { "\376\377\0001\0 \0\347\x20\xAC"s, "1 \xE7?" },
        { "\377\3761\0002"s, "1" },
        { "\377\3761\0\0\0002\0"s, "1\0002"s },
        // The text ends at its first NUL: what follows cannot decide how the rest is read.
        { "1 2 a\xC3\xA7\0\xFF"s, "1 2 a\xE7" },
        { "a\xE7\0\xC3\xA7"s, "a\xE7\0\xC3\xA7"s },
    };
    for (const auto &[in, out] : texts)
        EXPECT_EQ(singleByteText(in), out) << testing::PrintToString(in);
#ifndef _WIN32
    EXPECT_EQ(fullPath("/tmp/./a/../b.txt"), "/tmp/b.txt");
#endif
}

TEST(ProgressBarRule, RefusedMaximumChangesNothingAndThePositionStaysInRange)
{
    RecordingProgress progress;
    progress.setMaximum(10);
    progress.setPosition(15);
    EXPECT_EQ(errorOf([&] { progress.setMaximum(-1); }), "TProgressBar property out of range");
    EXPECT_EQ(errorOf([] { ProgressBar::checkMaximum(-1); }), "TProgressBar property out of range");
    EXPECT_EQ(errorOf([] { ProgressBar::checkMaximum(0); }), "no error");
    progress.setPosition(-3);
    progress.setPosition(8);
    progress.setMaximum(5);
    EXPECT_EQ(progress.seen,
        (std::vector<std::pair<int, int>> {
            { 10, 0 }, { 10, 10 }, { 10, 0 }, { 10, 8 }, { 5, 5 } }));
}

} // namespace
