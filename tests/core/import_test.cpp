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

#include "cell_grid.h"
#include "error.h"
#include "import.h"
#include "progress.h"

using namespace koravel;

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

// Everything a user could see or a lookup could read, hidden cells included.
struct TableState
{
    int rows, columns, fixedRows, fixedColumns;
    std::vector<std::vector<std::string>> cells;
    bool operator==(const TableState &) const = default;
};

TableState stateOf(const CellGrid &grid)
{
    TableState state { grid.rowCount(), grid.columnCount(), grid.fixedRows(), grid.fixedColumns(),
        {} };
    for (int row = 0; row < 14; ++row) {
        state.cells.emplace_back();
        for (int column = 0; column < 7; ++column)
            state.cells.back().push_back(grid.cell(column, row));
    }
    return state;
}

using Table = std::vector<std::vector<std::string>>; // rows of cells from column 0

class Import : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path()
            / ("koravel-import-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        // The headings the main window writes when it is created.
        grid.setCell(1, 0, "Pai A");
        grid.setCell(2, 0, "Pai B");
        grid.setCell(3, 0, "PRODU\xC7\xC3O");
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string write(const std::string &bytes)
    {
        const std::string path =
            (m_folder / ("data" + std::to_string(++m_files) + ".txt")).string();
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
        Table table;
        for (int row = 0; row < grid.rowCount(); ++row) {
            table.emplace_back();
            for (int column = 0; column < grid.columnCount(); ++column)
                table.back().push_back(grid.cell(column, row));
        }
        return table;
    }

    std::string errorOf(const std::string &bytes)
    {
        try {
            importText(bytes);
        } catch (const Error &error) {
            return error.message();
        }
        return "no error";
    }

    CellGrid grid;
    FakeControls controls;
    RecordingProgress progress;
    std::filesystem::path m_folder;
    int m_files = 0;
};

const Table kThreeLineTable = {
    { "", "Pai A", "Pai B", "PRODU\xC7\xC3O" },
    { "HS 1", "1", "2", "4.5" },
    { "HS 2", "1", "3", "5" },
    { "HS 3", "2", "3", "6.25" },
};

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
    const std::vector<std::pair<int, int>> moves = { { 2, 0 }, { 2, 1 }, { 2, 2 }, { 2, 0 } };
    EXPECT_EQ(progress.seen, moves);
}

TEST_F(Import, LayoutVariantsGiveTheSameTable)
{
    struct Row
    {
        const char *name;
        std::string text;
    };
    const Row rows[] = {
        { "tabs", "1\t2\t4.5\n1\t3\t5\n2\t3\t6.25\n" },
        { "severalBlanks", "1    2   4.5\n1  3     5\n2 3  6.25\n" },
        { "blanksAtEnds", "  1 2 4.5  \n\t1 3 5 \n 2 3 6.25\t\n" },
        { "lf", "1 2 4.5\n1 3 5\n2 3 6.25" },
        { "loneCr", "1 2 4.5\r1 3 5\r2 3 6.25\r" },
        { "noFinalLineEnd", "1 2 4.5\r\n1 3 5\r\n2 3 6.25" },
        { "quoted", "\"1\" \"2\" \"4.5\"\n1 \"3\"\"\" 5\n2 3 6.25\n" },
        { "extraFieldsIgnored", "1 2 4.5\n1 3 5 99 x\n2 3 6.25 7\n" },
        { "nulEndsTheText",
            std::string("1 2 4.5\n1 3 5\n2 3 6.25\n\0"
                        "4 4",
                27) },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(importText(row.text), ImportResult::Imported);
        Table expected = kThreeLineTable;
        if (std::string(row.name) == "quoted")
            expected[2][2] = "3\"";
        EXPECT_EQ(shown(), expected);
        EXPECT_EQ(grid.cell(4, 2), "");
    }
    EXPECT_EQ(controls.lineBuffer, "1 2 4.5\n1 3 5\n2 3 6.25\n");
}

TEST_F(Import, FieldCountOfTheFirstLineFixesTheWidth)
{
    ASSERT_EQ(importText("1 2 4.5 a\n1 3 5 b c\n"), ImportResult::Imported);
    EXPECT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(grid.cell(4, 0), "");
    EXPECT_EQ(grid.cell(4, 1), "a");
    EXPECT_EQ(grid.cell(4, 2), "b");
    EXPECT_EQ(grid.cell(5, 2), "");

    ASSERT_EQ(importText("1 2\n1 3 5\n"), ImportResult::Imported);
    EXPECT_EQ(grid.columnCount(), 3);
    const Table twoFields = { { "", "Pai A", "Pai B" }, { "HS 1", "1", "2" },
        { "HS 2", "1", "3" } };
    EXPECT_EQ(shown(), twoFields);
    // Column 3 is out of sight; the values of the earlier import are gone from it too.
    EXPECT_EQ(grid.cell(3, 0), "PRODU\xC7\xC3O");
    EXPECT_EQ(grid.cell(3, 1), "");
    EXPECT_EQ(grid.cell(3, 2), "");
    EXPECT_EQ(grid.cell(4, 1), "");
}

TEST_F(Import, FirstLineWithoutFieldsGivesTheLabelColumnAlone)
{
    ASSERT_EQ(importText("   \n1 2 3\n\n"), ImportResult::Imported);
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.columnCount(), 1);
    EXPECT_EQ(grid.fixedColumns(), 0);
    EXPECT_EQ(grid.fixedRows(), 1);
    const Table labels = { { "" }, { "HS 1" }, { "HS 2" }, { "HS 3" } };
    EXPECT_EQ(shown(), labels);
    EXPECT_EQ(grid.cell(1, 2), "");
    EXPECT_EQ(controls.enableCalls, 1);
}

TEST_F(Import, ShorterFileLeavesNoRowsOfTheLongerOneBehind)
{
    std::string ten;
    for (int i = 1; i <= 10; ++i)
        ten +=
            std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(i * 10) + "\n";
    ASSERT_EQ(importText(ten), ImportResult::Imported);
    EXPECT_EQ(grid.cell(0, 10), "HS 10");
    EXPECT_EQ(grid.cell(3, 10), "100");

    ASSERT_EQ(importText("5 6 1.5\n5 7 2.5\n5 8 3.5\n6 7 4.5\n6 8 5.5\n"), ImportResult::Imported);
    EXPECT_EQ(grid.rowCount(), 6);
    EXPECT_EQ(grid.cell(0, 5), "HS 5");
    EXPECT_EQ(grid.cell(3, 5), "5.5");
    for (int row = 6; row <= 10; ++row) {
        SCOPED_TRACE(row);
        for (int column = 0; column <= 3; ++column)
            EXPECT_EQ(grid.cell(column, row), "");
    }

    // A file that stops at its empty third line shows nothing of itself either.
    const TableState before = stateOf(grid);
    EXPECT_EQ(errorOf(ten.substr(0, 14) + "\n" + ten.substr(14)), "List index out of bounds (0)");
    EXPECT_EQ(stateOf(grid), before);
    EXPECT_EQ(grid.cell(3, 1), "1.5");
}

// Each of these stops the import and changes nothing: not the table, its hidden cells, its
// size, the buttons, the line buffer or the progress bar.
TEST_F(Import, FailedImportChangesNothing)
{
    struct Row
    {
        const char *name;
        std::string text;
        std::string message;
    };
    const Row rows[] = {
        { "twoFinalLineEnds", "1 2 4.5\n1 3 5\n\n", "List index out of bounds (0)" },
        { "twoFinalCrLf", "1 2 4.5\r\n1 3 5\r\n\r\n", "List index out of bounds (0)" },
        { "emptyMiddleLine", "1 2 4.5\n\n2 3 6.25\n", "List index out of bounds (0)" },
        { "blankMiddleLine", "1 2 4.5\n \t \n2 3 6.25\n", "List index out of bounds (0)" },
        { "shortLastLine", "1 2 4.5\n1 3 5\n2 3\n", "List index out of bounds (2)" },
        { "fourFieldsThenThree", "1 2 4.5 x\n1 3 5\n", "List index out of bounds (3)" },
        { "emptyFile", "", "TProgressBar property out of range" },
        { "nulFirst",
            std::string("\0"
                        "1 2 4.5\n",
                9),
            "TProgressBar property out of range" },
    };
    ASSERT_EQ(importText("7 8 1\n7 9 2\n8 9 3\n9 10 4\n"), ImportResult::Imported);
    grid.setCell(5, 12, "typed out of sight");
    progress.setMaximum(7);
    progress.setPosition(3);
    progress.seen.clear();
    const TableState before = stateOf(grid);
    const std::string buffer = controls.lineBuffer;

    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(errorOf(row.text), row.message);
        EXPECT_EQ(stateOf(grid), before);
        EXPECT_EQ(controls.enableCalls, 1);
        EXPECT_EQ(controls.lineBuffer, buffer);
        EXPECT_EQ(progress.maximum(), 7);
        EXPECT_EQ(progress.position(), 3);
        EXPECT_TRUE(progress.seen.empty());
        EXPECT_TRUE(controls.messages.empty());
    }
}

TEST_F(Import, UnreadableFileChangesNothing)
{
    const TableState before = stateOf(grid);
    controls.chosen = (m_folder / "missing.dat").string();
    try {
        importDataFile(controls, grid, progress);
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(),
            "Cannot open file \"" + *controls.chosen + "\". No such file or directory");
    }
    EXPECT_EQ(stateOf(grid), before);
    EXPECT_EQ(controls.enableCalls, 0);
    EXPECT_EQ(controls.lineBuffer, "text of an earlier file");
    EXPECT_TRUE(progress.seen.empty());
}

TEST_F(Import, TextBeyondTheBufferExceedsCapacity)
{
    controls.chosen = write("1 2 4.5\n1 3 5\n");
    const TableState before = stateOf(grid);
    try {
        importDataFile(controls, grid, progress, 13);
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(), "Text exceeds memo capacity");
    }
    EXPECT_EQ(stateOf(grid), before);
    EXPECT_EQ(importDataFile(controls, grid, progress, 14), ImportResult::Imported);
}

TEST_F(Import, CancelAtStartKeepsTheEmptyTable)
{
    const TableState before = stateOf(grid);
    EXPECT_EQ(importDataFile(controls, grid, progress), ImportResult::Cancelled);
    EXPECT_EQ(stateOf(grid), before);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.columnCount(), 4);
    EXPECT_EQ(controls.messages, std::vector<std::string> { "nenhum arquivo carregado" });
    EXPECT_EQ(controls.enableCalls, 0);
    EXPECT_TRUE(progress.seen.empty());
}

TEST_F(Import, CancelKeepsTheImportedTable)
{
    ASSERT_EQ(importText("1 2 4.5 x\n1 3 5 y\n2 3 6.25 z\n"), ImportResult::Imported);
    const TableState before = stateOf(grid);
    progress.seen.clear();
    controls.chosen.reset();
    EXPECT_EQ(importDataFile(controls, grid, progress), ImportResult::Cancelled);
    EXPECT_EQ(stateOf(grid), before);
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(controls.messages, std::vector<std::string> { "nenhum arquivo carregado" });
    EXPECT_EQ(controls.enableCalls, 1);
    EXPECT_TRUE(progress.seen.empty());
}

TEST_F(Import, OneLineFileLeavesTheProgressBarAtZero)
{
    progress.setPosition(50);
    progress.seen.clear();
    ASSERT_EQ(importText("3 7 5.42"), ImportResult::Imported);
    EXPECT_EQ(progress.maximum(), 0);
    EXPECT_EQ(progress.position(), 0);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cell(3, 1), "5.42");
}

TEST(ProgressBarRule, MaximumBelowZeroIsRefusedAndChangesNothing)
{
    RecordingProgress progress;
    progress.setMaximum(10);
    progress.setPosition(4);
    progress.seen.clear();
    try {
        progress.setMaximum(-1);
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(), "TProgressBar property out of range");
    }
    EXPECT_EQ(progress.maximum(), 10);
    EXPECT_EQ(progress.position(), 4);
    EXPECT_TRUE(progress.seen.empty());
    EXPECT_THROW(ProgressBar::checkMaximum(-1), Error);
    EXPECT_NO_THROW(ProgressBar::checkMaximum(0));
}

TEST(ProgressBarRule, PositionStaysWithinZeroAndTheMaximum)
{
    RecordingProgress progress;
    progress.setMaximum(10);
    progress.setPosition(15);
    EXPECT_EQ(progress.position(), 10);
    progress.setPosition(-3);
    EXPECT_EQ(progress.position(), 0);
    progress.setPosition(8);
    progress.setMaximum(5);
    EXPECT_EQ(progress.position(), 5);
    progress.setMaximum(0);
    EXPECT_EQ(progress.position(), 0);
    const std::vector<std::pair<int, int>> moves = { { 10, 0 }, { 10, 10 }, { 10, 0 }, { 10, 8 },
        { 5, 5 }, { 0, 0 } };
    EXPECT_EQ(progress.seen, moves);
}

} // namespace
