// What the core, command-line and fuzz tests share: the small data sets, a scratch folder, the
// bytes of a file, a table made of rows, and the one fake of the import's controls.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "progress.h"
#include "table/cell_grid.h"
#include "table/import.h"

namespace koravel::test {

// Six single crosses among four lines, each written once with the smaller parent first.
inline const std::string kFourLines = "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7\n";
// Three lines, every pair once.
inline const std::string kThreeLines = "1 2 6\n1 3 5\n2 3 4\n";

// A data file with a line for every pair i < j of n lines, line(i, j) each.
template <class Line> std::string everyPair(int n, Line line)
{
    std::string data;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            data += line(i, j) + std::string("\n");
    return data;
}

inline std::string example(const std::string &name)
{
    return std::string(KORAVEL_EXAMPLES_DIR) + "/" + name;
}

inline std::string readBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// A folder of its own for each test, removed at the end.
class TempDir
{
public:
    TempDir()
    {
        // A new folder of a random name; a taken name is drawn again.
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const std::filesystem::path name =
                std::filesystem::temp_directory_path() / ("koravel-test-" + std::to_string(seed()));
            if (std::filesystem::create_directory(name))
                m_path = name;
        }
        if (m_path.empty())
            throw std::runtime_error("no scratch folder");
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::string operator/(const std::string &name) const { return (m_path / name).string(); }
    std::string file(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(m_path / name, std::ios::binary) << bytes;
        return (m_path / name).string();
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto &entry : std::filesystem::directory_iterator(m_path))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    std::filesystem::path m_path;
};

struct Row
{
    std::string a, b, value;
};

// Row r of the list becomes row r + 1 of the table, below the heading row.
inline CellGrid gridOf(const std::vector<Row> &rows)
{
    CellGrid grid;
    grid.setRowCount(int(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        grid.setCell(1, int(r) + 1, rows[r].a);
        grid.setCell(2, int(r) + 1, rows[r].b);
        grid.setCell(3, int(r) + 1, rows[r].value);
    }
    return grid;
}

// A table with every pair a < b of 1..n once, smaller parent first, each with the same value.
inline CellGrid halfDiallel(int n, const std::string &value)
{
    std::vector<Row> rows;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b)
            rows.push_back({ std::to_string(a), std::to_string(b), value });
    return gridOf(rows);
}

// The import's controls: the file "chosen" (nothing is a cancelled dialog), and what the import
// did to the rest of the window.
class FakeImportControls : public ImportControls
{
public:
    std::optional<std::string> chooseFile() override { return chosen; }
    void setLineBuffer(std::string text) override
    {
        lineBuffer = std::move(text);
        ++lineBufferCalls;
    }
    void enablePredictions() override { ++enableCalls; }
    void information(const std::string &message) override { messages.push_back(message); }

    std::optional<std::string> chosen;
    std::string lineBuffer;
    int lineBufferCalls = 0;
    int enableCalls = 0;
    std::vector<std::string> messages;
};

// An example file imported into a table, as the main window imports it.
inline CellGrid importedExample(const std::string &name)
{
    CellGrid grid;
    FakeImportControls controls;
    controls.chosen = example(name);
    ProgressBar progress;
    importDataFile(controls, grid, progress);
    return grid;
}

} // namespace koravel::test
