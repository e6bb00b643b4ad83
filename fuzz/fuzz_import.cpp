// Fuzz target for the data-file reader and the import: the bytes are written to a file and
// imported through importDataFile into a table that an earlier import filled. Whatever the
// bytes, the import either fills the table as a plain reading of the line and field rules says
// (after a file saved as UTF-8 or UTF-16 is turned into single-byte text),
// or raises the Error that reading predicts and leaves the table, the buttons and the progress
// bar as they were.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures.h"
#include "fuzz_check.h"
#include "numtext/error.h"
#include "progress.h"
#include "table/cell_grid.h"
#include "table/import.h"
#include "table/text_encoding.h"

using namespace koravel;
using namespace koravel::fuzz;

namespace {

// --- the line and field rules, read plainly --------------------------------------------------

std::vector<std::string> referenceLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string current;
    bool afterCr = false;
    for (const char c : bytes) {
        if (c == '\0')
            break; // the text ends at its first NUL
        if (c == '\n' && afterCr) {
            afterCr = false; // CR LF is one line end
            continue;
        }
        afterCr = c == '\r';
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
        } else if (current.size() < kMaxLineLength) {
            current += c;
        }
    }
    // A line end at the very end begins no further line.
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

std::vector<std::string> referenceFields(const std::string &line)
{
    std::vector<std::string> fields;
    std::size_t i = 0;
    const auto separator = [&](std::size_t at) {
        return static_cast<unsigned char>(line[at]) <= 32;
    };
    for (;;) {
        while (i < line.size() && separator(i))
            ++i;
        if (i == line.size())
            return fields;
        std::string field;
        if (line[i] == '"') {
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else if (line[i] == '"') {
                    ++i;
                    break;
                } else {
                    field += line[i];
                }
            }
        } else {
            while (i < line.size() && !separator(i))
                field += line[i++];
        }
        fields.push_back(field);
    }
}

// A table as an earlier, wider import of six lines left it, with the headings of the window.
void fillEarlierImport(CellGrid &grid)
{
    grid.setCell(1, 0, "Pai A");
    grid.setCell(2, 0, "Pai B");
    grid.setCell(3, 0, "PRODU\xC7\xC3O");
    grid.setRowCount(7);
    grid.setColumnCount(5);
    for (int r = 1; r <= 6; ++r) {
        grid.setCell(0, r, "HS " + std::to_string(r));
        for (int c = 1; c <= 4; ++c)
            grid.setCell(c, r, "old" + std::to_string(r) + "," + std::to_string(c));
    }
    grid.setCell(7, 9, "out of sight");
}

constexpr int kBoxRows = 12;
constexpr int kBoxColumns = 9;

std::string snapshot(const CellGrid &grid)
{
    std::string out = std::to_string(grid.rowCount()) + "x" + std::to_string(grid.columnCount())
        + " fixed " + std::to_string(grid.fixedRows()) + "," + std::to_string(grid.fixedColumns());
    for (int r = 0; r < kBoxRows; ++r) {
        for (int c = 0; c < kBoxColumns; ++c)
            out += "|" + grid.cell(c, r);
        out += "\n";
    }
    return out;
}

const std::string &filePath()
{
    static const std::string path = [] {
        const char *folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(folder) + "/koravel_fuzz_import_" + std::to_string(getpid()) + ".txt";
    }();
    return path;
}

void removeFile()
{
    std::remove(filePath().c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    {
        std::FILE *file = std::fopen(filePath().c_str(), "wb");
        if (!file)
            std::abort();
        if (size > 0 && std::fwrite(data, 1, size, file) != size)
            std::abort();
        std::fclose(file);
    }
    // Some inputs run under a small size limit, so that the refusal of long files is reached.
    const std::size_t maxTextBytes = size % 5 == 0 ? 256 : kMaxTextBytes;

    // What reading predicts.
    const std::string text = singleByteText(std::string(bytes));
    const std::vector<std::string> lines = referenceLines(text);
    std::vector<std::vector<std::string>> fields;
    std::string expectedError;
    if (size > maxTextBytes) {
        expectedError = std::string(kTextExceedsMemoCapacity);
    } else if (lines.empty()) {
        expectedError = propertyOutOfRangeMessage();
    } else {
        for (const std::string &line : lines) {
            fields.push_back(referenceFields(line));
            if (fields.back().size() < fields.front().size()) {
                expectedError = listIndexMessage(static_cast<int>(fields.back().size()));
                break;
            }
        }
    }

    CellGrid grid;
    fillEarlierImport(grid);
    ProgressBar progress;
    progress.setMaximum(37);
    progress.setPosition(5);
    test::FakeImportControls controls;
    controls.chosen = filePath();
    const std::string before = snapshot(grid);

    std::string error;
    try {
        const ImportResult result = importDataFile(controls, grid, progress, maxTextBytes);
        expect(result == ImportResult::Imported, "the import reports a completed import");
    } catch (const Error &raised) {
        error = raised.message();
    }
    // libFuzzer ends without running exit handlers, so the file goes as soon as it is read.
    removeFile();
    expectEqual("the import's error", error, expectedError);
    expect(controls.messages.empty(), "no message box while importing a chosen file");

    if (!error.empty()) {
        // A failed import changes nothing the user can see.
        expectEqual("the table after a failed import", snapshot(grid), before);
        expect(progress.maximum() == 37 && progress.position() == 5,
            "the progress bar after a failed import");
        expect(controls.enableCalls == 0 && controls.lineBufferCalls == 0,
            "the buttons and the line buffer after a failed import");
        return 0;
    }

    const int m = static_cast<int>(lines.size());
    const int k = static_cast<int>(fields.front().size());
    expectEqual("the table's size",
        std::to_string(grid.rowCount()) + "x" + std::to_string(grid.columnCount()),
        std::to_string(m + 1) + "x" + std::to_string(k + 1));
    expect(grid.fixedRows() == 1 && grid.fixedColumns() == (k == 0 ? 0 : 1), "the fixed rows");
    expect(progress.maximum() == m - 1 && progress.position() == 0, "the progress bar at 0");
    expect(controls.enableCalls == 1, "both prediction buttons enabled once");
    expect(controls.lineBufferCalls == 1, "the line buffer filled once");
    expectEqual("the line buffer", controls.lineBuffer, text.substr(0, text.find('\0')));
    expectEqual("the headings", grid.cell(1, 0) + "|" + grid.cell(2, 0) + "|" + grid.cell(3, 0),
        "Pai A|Pai B|PRODU\xC7\xC3O");
    for (int r = 1; r <= m; ++r) {
        expectEqual("a row label", grid.cell(0, r), "HS " + std::to_string(r));
        for (int c = 1; c <= k; ++c)
            expectEqual("a cell", grid.cell(c, r), fields[std::size_t(r - 1)][std::size_t(c - 1)]);
    }
    // The earlier import's cells are gone, out of sight too.
    for (int r = 1; r < kBoxRows; ++r) {
        for (int c = 0; c < kBoxColumns; ++c) {
            if (r > m || c > k)
                expectEqual("a cell the import did not write", grid.cell(c, r), "");
        }
    }

    return 0;
}
