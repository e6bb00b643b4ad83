// The import of a data file into the single-cross table: read and split everything first, then
// write the table in one go, so that a file that stops the import leaves the table as it was.
#include "table/import.h"

#include <climits>
#include <utility>
#include <vector>

#include "table/cell_grid.h"
#include "numtext/error.h"
#include "numtext/numtext.h"
#include "progress.h"
#include "report/size_limits.h"
#include "table/text_encoding.h"

namespace {

// The fields of every line, k to a line, ready to be moved into the table.
struct SplitFile
{
    int lineCount = 0;
    int fieldCount = 0; // k, the fields of the first line
    std::vector<std::string> fields;
};

// The number of lines by the rules of splitLines, without building the list.
std::size_t countLines(std::string_view text)
{
    std::size_t lines = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n' || text[at] == '\r') {
            ++lines;
            if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
                ++at;
        }
    }
    if (!text.empty() && text.back() != '\n' && text.back() != '\r')
        ++lines;
    return lines;
}

SplitFile splitWholeFile(std::string_view text, std::uint64_t memoryLimit)
{
    const std::size_t lineCount = countLines(text);
    // A file without lines would ask the progress bar for the maximum -1, which it refuses.
    if (lineCount == 0)
        koravel::ProgressBar::checkMaximum(-1);
    // The table counts its rows in an int, the heading row included.
    if (lineCount > static_cast<std::size_t>(INT_MAX - 1))
        throw koravel::Error(std::string(koravel::kTextExceedsMemoCapacity));
    // A table that could not be held is refused before it is built: a file of a few hundred
    // megabytes can hold hundreds of millions of lines, or lines of thousands of fields.
    std::vector<std::string> lineFields;
    const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
    koravel::splitFields(first.substr(0, koravel::kMaxLineLength), lineFields);
    koravel::checkTableSize(text.size(), lineCount, lineFields.size(), memoryLimit);
    const std::vector<std::string_view> lines = koravel::splitLines(text);

    SplitFile split;
    split.lineCount = static_cast<int>(lines.size());
    split.fieldCount = static_cast<int>(lineFields.size());
    const auto k = lineFields.size();
    split.fields.reserve(k * lines.size());
    for (const std::string_view line : lines) {
        koravel::splitFields(line, lineFields);
        // A line with fewer fields than the first stops the import; the message names the
        // first missing field, counted from 0.
        if (lineFields.size() < k)
            throw koravel::Error(koravel::listIndexMessage(static_cast<int>(lineFields.size())));
        for (std::size_t j = 0; j < k; ++j)
            split.fields.push_back(std::move(lineFields[j]));
    }
    return split;
}

} // namespace

namespace koravel {

ImportResult importDataFile(ImportControls &controls, CellGrid &grid, ProgressBar &progress,
    std::size_t maxTextBytes, std::uint64_t memoryLimit)
{
    const std::optional<std::string> path = controls.chooseFile();
    if (!path) {
        // Cancelling keeps whatever the table holds.
        controls.information(kNoFileLoaded);
        return ImportResult::Cancelled;
    }

    std::string text = singleByteText(readFileBytes(*path, maxTextBytes));
    text.resize(textBeforeNul(text).size());
    SplitFile split = splitWholeFile(text, memoryLimit);

    // Nothing can fail from here on. The cells of earlier imports go first, so that no row
    // of an earlier, longer file lingers out of sight below the new one.
    const int m = split.lineCount;
    const int k = split.fieldCount;
    grid.clearDataCells();
    grid.reserveRows(m + 1);
    grid.setRowCount(m + 1);
    grid.setColumnCount(k + 1);
    progress.setMaximum(m - 1);
    auto field = split.fields.begin();
    for (int i = 1; i <= m; ++i) {
        progress.setPosition(i - 1);
        grid.setCell(0, i, "HS " + intToStr(i));
        for (int j = 1; j <= k; ++j)
            grid.setCell(j, i, std::move(*field++));
    }
    controls.enablePredictions();
    progress.setPosition(0);
    controls.setLineBuffer(std::move(text));
    return ImportResult::Imported;
}

} // namespace koravel
