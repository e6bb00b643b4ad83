// The import of a data file into the single-cross table, driven through fake controls, and the
// progress bar's rule that the import relies on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "table/cell_grid.h"
#include "numtext/error.h"
#include "error_of.h"
#include "table/import.h"
#include "progress.h"

using namespace koravel;
using namespace std::string_literals;

namespace {

class FakeControls : public ImportControls
{
public:
    std::optional<std::string> chooseFile() override { return chosen; }
    void setLineBuffer(std::string text) override { lineBuffer = std::move(text); }
    void enablePredictions() override { ++enableCalls; }
    void information(const std::string &message) override { messages.push_back(message); }

    std::optional<std::string> chosen;
    std::string lineBuffer = "text of an earlier file";
    int enableCalls = 0;
    std::vector<std::string> messages;
};

class RecordingProgress : public ProgressBar
{
public:
    std::vector<std::pair<int, int>> seen; // (maximum, position) after every change

protected:
    void changed() override { seen.emplace_back(maximum(), position()); }
};

using Table = std::vector<std::vector<std::string>>; // rows of cells from column 0

// Everything a user could see or a lookup could read, hidden cells included.
std::string stateOf(const CellGrid &grid)
{
    std::string state = std::to_string(grid.rowCount()) + "x" + std::to_string(grid.columnCount())
        + " fixed " + std::to_string(grid.fixedRows()) + std::to_string(grid.fixedColumns());
    for (int row = 0; row < 14; ++row) {
        for (int column = 0; column < 7; ++column)
            state += "|" + grid.cell(column, row);
    }
    return state;
}

class Import : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_folder);
        // The headings the main window writes when it is created.
        grid.setCell(1, 0, "Pai A");
        grid.setCell(2, 0, "Pai B");
        grid.setCell(3, 0, "PRODU\xC7\xC3O");
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string write(const std::string &bytes)
    {
        const std::string path = (m_folder / ("d" + std::to_string(++m_files))).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    ImportResult importText(const std::string &bytes)
    {
        controls.chosen = write(bytes);
        return importDataFile(controls, grid, progress);
    }

    // The shown part of the table, rows 0 to the row count, columns 0 to the column count.
    Table shown() const
    {
        Table table(std::size_t(grid.rowCount()));
        for (int row = 0; row < grid.rowCount(); ++row) {
            for (int column = 0; column < grid.columnCount(); ++column)
                table[std::size_t(row)].push_back(grid.cell(column, row));
        }
        return table;
    }

    CellGrid grid;
    FakeControls controls;
    RecordingProgress progress;
    const std::filesystem::path m_folder = std::filesystem::temp_directory_path()
        / ("koravel-import-test-" + std::to_string(::getpid()));
    int m_files = 0;
};

const Table kThreeLineTable = { { "", "Pai A", "Pai B", "PRODU\xC7\xC3O" },
    { "HS 1", "1", "2", "4.5" }, { "HS 2", "1", "3", "5" }, { "HS 3", "2", "3", "6.25" } };

TEST_F(Import, ThreeLineFile)
{
    const std::string text = "1 2 4.5\r\n1 3 5\r\n2 3 6.25\r\n";
    EXPECT_EQ(importText(text), ImportResult::Imported);
    EXPECT_EQ(shown(), kThreeLineTable);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.fixedColumns(), 1);
    EXPECT_EQ(controls.enableCalls, 1);
    EXPECT_EQ(controls.lineBuffer, text);
    EXPECT_TRUE(controls.messages.empty());
    // Maximum lines - 1, the position through each line's i - 1, and back to 0.
    EXPECT_EQ(progress.seen,
        (std::vector<std::pair<int, int>> { { 2, 0 }, { 2, 1 }, { 2, 2 }, { 2, 0 } }));

    // One line: the maximum is 0.
    ASSERT_EQ(importText("3 7 5.42"), ImportResult::Imported);
    EXPECT_EQ(progress.maximum(), 0);
    EXPECT_EQ(grid.cell(3, 1), "5.42");
}

TEST_F(Import, LayoutVariantsGiveTheSameTable)
{
    // Blanks, tabs, lone CRs, quotes, fields beyond the first line's count, and a NUL that ends
    // the text.
    for (const std::string &text :
        { "  1\t2   4.5  \r1  3 5\t\r 2 3  6.25"s, "\"1\" \"2\" \"4.5\"\n1 3 5\n2 3 6.25\n"s,
            "1 2 4.5\n1 3 5 99 x\n2 3 6.25 7\n"s, "1 2 4.5\n1 3 5\n2 3 6.25\n\0004 4"s }) {
        SCOPED_TRACE(testing::PrintToString(text));
        ASSERT_EQ(importText(text), ImportResult::Imported);
        EXPECT_EQ(shown(), kThreeLineTable);
        EXPECT_EQ(grid.cell(4, 2), "");
    }
    EXPECT_EQ(controls.lineBuffer, "1 2 4.5\n1 3 5\n2 3 6.25\n");
}

// An import clears what the one before it wrote, in sight or not.
TEST_F(Import, ANewFileLeavesNothingOfTheOldOne)
{
    ASSERT_EQ(importText("1 2 4.5 a\n1 3 5 b c\n2 3 1 d\n2 4 2 e\n"), ImportResult::Imported);
    EXPECT_EQ(grid.columnCount(), 5); // the first line's field count fixes the width
    EXPECT_EQ(grid.cell(4, 2), "b");
    EXPECT_EQ(grid.cell(5, 2), "");

    ASSERT_EQ(importText("1 2\n1 3 5\n"), ImportResult::Imported);
    EXPECT_EQ(
        shown(), (Table { { "", "Pai A", "Pai B" }, { "HS 1", "1", "2" }, { "HS 2", "1", "3" } }));
    EXPECT_EQ(grid.cell(3, 0), "PRODU\xC7\xC3O");
    for (int row = 1; row <= 4; ++row) {
        SCOPED_TRACE(row);
        for (int column = row > 2 ? 0 : 3; column <= 4; ++column)
            EXPECT_EQ(grid.cell(column, row), "");
    }

    // A first line without fields gives the label column alone.
    ASSERT_EQ(importText("   \n1 2 3\n\n"), ImportResult::Imported);
    EXPECT_EQ(shown(), (Table { { "" }, { "HS 1" }, { "HS 2" }, { "HS 3" } }));
    EXPECT_EQ(grid.fixedColumns(), 0);
    EXPECT_EQ(grid.cell(1, 2), "");
}

// Each of these stops the import and changes nothing: not the table, its hidden cells, its
// size, the buttons, the line buffer or the progress bar.
TEST_F(Import, FailedImportChangesNothing)
{
    const struct
    {
        const char *name;
        std::string text;
        std::string message;
        std::size_t maxBytes = kMaxTextBytes;
    } rows[] = {
        { "twoFinalLineEnds", "1 2 4.5\r\n1 3 5\r\n\r\n", "List index out of bounds (0)" },
        { "emptyMiddleLine", "1 2 4.5\n\n2 3 6.25\n", "List index out of bounds (0)" },
        { "blankMiddleLine", "1 2 4.5\n \t \n2 3 6.25\n", "List index out of bounds (0)" },
        { "shortLastLine", "1 2 4.5\n1 3 5\n2 3\n", "List index out of bounds (2)" },
        { "fourFieldsThenThree", "1 2 4.5 x\n1 3 5\n", "List index out of bounds (3)" },
        { "emptyFile", "", "TProgressBar property out of range" },
        { "nulFirst", "\0001 2 4.5\n"s, "TProgressBar property out of range" },
        { "beyondTheBuffer", "1 2 4.5\n1 3 5\n", "Text exceeds memo capacity", 13 },
    };
    ASSERT_EQ(importText("7 8 1\n7 9 2\n8 9 3\n9 10 4\n"), ImportResult::Imported);
    grid.setCell(5, 12, "typed out of sight");
    progress.setMaximum(7);
    progress.setPosition(3);
    progress.seen.clear();
    const std::string before = stateOf(grid);
    const std::string buffer = controls.lineBuffer;
    auto expectUnchanged = [&] {
        EXPECT_EQ(stateOf(grid), before);
        EXPECT_EQ(controls.enableCalls, 1);
        EXPECT_EQ(controls.lineBuffer, buffer);
        EXPECT_EQ(progress.maximum(), 7);
        EXPECT_EQ(progress.position(), 3);
        EXPECT_TRUE(progress.seen.empty());
        EXPECT_TRUE(controls.messages.empty());
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        controls.chosen = write(row.text);
        EXPECT_EQ(
            errorOf([&] { importDataFile(controls, grid, progress, row.maxBytes); }), row.message);
        expectUnchanged();
    }
    controls.chosen = (m_folder / "missing.dat").string();
    EXPECT_EQ(errorOf([&] { importDataFile(controls, grid, progress); }),
        "Cannot open file \"" + *controls.chosen + "\". No such file or directory");
    expectUnchanged();
    controls.chosen = write("1 2 4.5\n1 3 5\n");
    EXPECT_EQ(importDataFile(controls, grid, progress, 14), ImportResult::Imported);
}

TEST_F(Import, CancelKeepsTheTable)
{
    for (const bool imported : { false, true }) {
        SCOPED_TRACE(imported ? "after an import" : "at start");
        if (imported) {
            ASSERT_EQ(importText("1 2 4.5 x\n1 3 5 y\n2 3 6.25 z\n"), ImportResult::Imported);
        }
        const std::string before = stateOf(grid);
        progress.seen.clear();
        controls.messages.clear();
        controls.chosen.reset();
        EXPECT_EQ(importDataFile(controls, grid, progress), ImportResult::Cancelled);
        EXPECT_EQ(stateOf(grid), before);
        EXPECT_EQ(controls.messages, std::vector<std::string> { "nenhum arquivo carregado" });
        EXPECT_EQ(controls.enableCalls, imported ? 1 : 0);
        EXPECT_TRUE(progress.seen.empty());
    }
}

TEST(ProgressBarRule, RefusedMaximumChangesNothingAndThePositionStaysInRange)
{
    RecordingProgress progress;
    progress.setMaximum(10);
    progress.setPosition(15);
    EXPECT_EQ(errorOf([&] { progress.setMaximum(-1); }), "TProgressBar property out of range");
    EXPECT_THROW(ProgressBar::checkMaximum(-1), Error);
    EXPECT_NO_THROW(ProgressBar::checkMaximum(0));
    progress.setPosition(-3);
    progress.setPosition(8);
    progress.setMaximum(5);
    EXPECT_EQ(progress.seen,
        (std::vector<std::pair<int, int>> {
            { 10, 0 }, { 10, 10 }, { 10, 0 }, { 10, 8 }, { 5, 5 } }));
}

} // namespace
