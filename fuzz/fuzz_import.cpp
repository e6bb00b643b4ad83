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

// Lines end at CR LF, CR or LF and keep their first kMaxLineLength bytes; the text ends at its
// first NUL, and a line end at the very end begins no further line.
std::vector<std::string> referenceLines(std::string_view text)
{
    std::vector<std::string> lines { "" };
    for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        if (text[i] == '\n' && i > 0 && text[i - 1] == '\r')
            continue;
        if (text[i] == '\r' || text[i] == '\n')
            lines.emplace_back();
        else if (lines.back().size() < kMaxLineLength)
            lines.back() += text[i];
    }
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

// Fields are parted by bytes up to 32; a field that begins with a quote runs to the next lone
// quote, a doubled quote inside standing for one.
std::vector<std::string> referenceFields(const std::string &line)
{
    std::vector<std::string> fields;
    const auto separator = [&](std::size_t at) { return (unsigned char)line[at] <= 32; };
    for (std::size_t i = 0;;) {
        while (i < line.size() && separator(i))
            ++i;
        if (i == line.size())
            return fields;
        std::string &field = fields.emplace_back();
        if (line[i] != '"') {
            while (i < line.size() && !separator(i))
                field += line[i++];
            continue;
        }
        for (++i; i < line.size() && (line[i] != '"' || line.compare(i, 2, "\"\"") == 0); ++i) {
            field += line[i];
            i += line[i] == '"';
        }
        i = std::min(i + 1, line.size());
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

// The size, the fixed rows and the cells of a box wider than the table.
std::string snapshot(const CellGrid &grid, int rows = 12, int columns = 9)
{
    std::string out = std::to_string(grid.rowCount()) + "x" + std::to_string(grid.columnCount())
        + " fixed " + std::to_string(grid.fixedRows()) + "," + std::to_string(grid.fixedColumns());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            out += "|" + grid.cell(c, r);
        out += "\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp")
        + "/koravel_fuzz_import_" + std::to_string(getpid()) + ".txt";
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    // Some inputs run under a small size limit, so that the refusal of long files is reached.
    const std::size_t maxTextBytes = size % 5 == 0 ? 256 : kMaxTextBytes;

    // What reading predicts.
    const std::string text = singleByteText(bytes);
    const std::vector<std::string> lines = referenceLines(text);
    std::vector<std::vector<std::string>> fields;
    std::string expectedError = size > maxTextBytes ? std::string(kTextExceedsMemoCapacity)
        : lines.empty()                             ? propertyOutOfRangeMessage()
                                                    : "";
    for (std::size_t i = 0; expectedError.empty() && i < lines.size(); ++i) {
        fields.push_back(referenceFields(lines[i]));
        if (fields.back().size() < fields.front().size())
            expectedError = listIndexMessage(static_cast<int>(fields.back().size()));
    }

    CellGrid grid;
    fillEarlierImport(grid);
    const std::string before = snapshot(grid);
    ProgressBar progress;
    progress.setMaximum(37);
    progress.setPosition(5);
    test::FakeImportControls controls;
    controls.chosen = path;
    const std::string error = outcome([&] {
        return importDataFile(controls, grid, progress, maxTextBytes) == ImportResult::Imported
            ? std::string()
            : std::string("cancelled");
    });
    // libFuzzer ends without running exit handlers, so the file goes as soon as it is read.
    std::remove(path.c_str());
    expectEqual(
        "the import's outcome", error, expectedError.empty() ? "= " : "error " + expectedError);
    const auto state = [&] {
        return std::to_string(progress.maximum()) + " " + std::to_string(progress.position()) + " "
            + std::to_string(controls.enableCalls) + " " + std::to_string(controls.lineBufferCalls)
            + " " + std::to_string(controls.messages.size());
    };

    if (!expectedError.empty()) {
        // A failed import changes nothing the user can see.
        expectEqual("the table after a failed import", snapshot(grid), before);
        expectEqual("progress, buttons, line buffer, messages after a failed import", state(),
            "37 5 0 0 0");
        return 0;
    }

    const int m = static_cast<int>(lines.size());
    const int k = static_cast<int>(fields.front().size());
    expectEqual(
        "progress, buttons, line buffer, messages", state(), std::to_string(m - 1) + " 0 1 1 0");
    expectEqual("the line buffer", controls.lineBuffer, text.substr(0, text.find('\0')));
    const int rows = std::max(12, m + 2);
    const int columns = std::max(9, k + 2);
    std::string expected =
        std::to_string(m + 1) + "x" + std::to_string(k + 1) + " fixed 1," + (k == 0 ? "0" : "1");
    // The headings stay; the earlier import's cells are gone, out of sight too.
    const char *headings[] = { "", "Pai A", "Pai B", "PRODU\xC7\xC3O" };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            expected += "|";
            if (r == 0 && c <= 3)
                expected += headings[c];
            else if (r > 0 && r <= m && c <= k)
                expected += c == 0 ? "HS " + std::to_string(r) : fields[r - 1][c - 1];
        }
        expected += "\n";
    }
    expectEqual("the table", snapshot(grid, rows, columns), expected);
    return 0;
}
