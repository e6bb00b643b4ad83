// Pasting a block into the single-cross table: splitting it, telling its form, reading every
// number it must hold and only then writing the change; and the block a selection copies as.
#include "table/pasted_block.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "numtext/error.h"
#include "table/cell_grid.h"

namespace koravel {

namespace {

    using Block = std::vector<std::vector<std::string>>;

    std::string_view trimBlanks(std::string_view text)
    {
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        return text;
    }

    Block splitBlock(std::string_view text)
    {
        Block block;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string_view::npos)
                end = text.size();
            std::vector<std::string> cells;
            const std::string_view line = text.substr(start, end - start);
            std::size_t from = 0;
            for (;;) {
                const std::size_t tab = line.find('\t', from);
                cells.emplace_back(trimBlanks(line.substr(from, tab - from)));
                if (tab == std::string_view::npos)
                    break;
                from = tab + 1;
            }
            block.push_back(std::move(cells));
            start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        // Empty lines at the end are no rows: editors and spreadsheets end a copy with them.
        while (!block.empty() && block.back().size() == 1 && block.back().front().empty())
            block.pop_back();
        return block;
    }

    const std::string &cellOf(const Block &block, std::size_t row, std::size_t column)
    {
        static const std::string kEmpty;
        return column < block[row].size() ? block[row][column] : kEmpty;
    }

    // Plain decimal digits only: the line numbers of a two-way table.
    std::optional<int> lineNumber(std::string_view text)
    {
        if (text.empty() || text.size() > 6
            || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        return std::stoi(std::string(text));
    }

    // The size n of a two-way table, or 0 when the block is not one.
    std::size_t twoWaySize(const Block &block)
    {
        if (block.size() < 3 || lineNumber(block[0][0]))
            return 0;
        const std::size_t n = block.size() - 1;
        for (const auto &cells : block) {
            for (std::size_t c = n + 1; c < cells.size(); ++c)
                if (!cells[c].empty())
                    return 0;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            if (lineNumber(cellOf(block, 0, k)) != int(k) || lineNumber(block[k][0]) != int(k))
                return 0;
        }
        return n;
    }

    std::string separatorName(char separator)
    {
        if (separator == '.')
            return "ponto";
        if (separator == ',')
            return "v\xEDrgula";
        return std::string("'") + separator + "'";
    }

    // The message for a value that does not read, with the way out when the other separator
    // reads it.
    std::string valueMessage(const std::string &where, const std::string &text,
        const FormatSettings &settings, const std::string &column)
    {
        std::string message = "N\xE3o foi poss\xEDvel colar: " + where + ", '" + text
            + "' n\xE3o \xE9 um valor com " + separatorName(settings.decimalSeparator)
            + " como separador decimal" + column + ".";
        const FormatSettings other { settings.decimalSeparator == ',' ? '.' : ',' };
        if (text.find(other.decimalSeparator) == std::string::npos)
            return message;
        try {
            strToFloat(text, other);
        } catch (const Error &) {
            return message;
        }
        return message + " O bloco parece usar " + separatorName(other.decimalSeparator)
            + ": escolha \"" + (other.decimalSeparator == ',' ? "V\xEDrgula" : "Ponto")
            + "\" em .:: Op\xE7\xF5"
              "es ::. e cole de novo.";
    }

    long double readValue(const std::string &text, const FormatSettings &settings,
        const std::string &where, const std::string &column = {})
    {
        try {
            return strToFloat(text, settings);
        } catch (const Error &) {
            throw Error(valueMessage(where, text, settings, column));
        }
    }

    std::string blockLine(std::size_t row)
    {
        return "na linha " + intToStr(std::int64_t(row) + 1) + " do bloco";
    }

    // The cells a paste writes, by (row, column); the change is made from them.
    using Writes = std::map<std::pair<int, int>, std::string>;

    // Every row written gets its label, as an import gives it; a new row (from firstNew up to
    // rows - 1) shows only the pasted cells, nothing an earlier, longer import left hidden in it.
    void labelRows(Writes &writes, int firstNew, int rows, int columns)
    {
        std::vector<int> written;
        for (const auto &entry : writes)
            written.push_back(entry.first.first);
        for (const int r : written)
            writes.try_emplace({ r, 0 }, "HS " + intToStr(r));
        for (int r = firstNew; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                writes.try_emplace({ r, c }, c == 0 ? "HS " + intToStr(r) : std::string());
        }
    }

    TableChange changeOf(const CellGrid &grid, int rows, int columns, const Writes &writes)
    {
        TableChange change;
        change.rowsBefore = grid.rowCount();
        change.columnsBefore = grid.columnCount();
        change.rowsAfter = rows;
        change.columnsAfter = columns;
        for (const auto &[at, text] : writes) {
            if (grid.cell(at.second, at.first) != text)
                change.cells.push_back(
                    { at.second, at.first, grid.cell(at.second, at.first), text });
        }
        return change;
    }

    TableChange pasteTwoWay(
        const CellGrid &grid, const Block &block, std::size_t n, const FormatSettings &settings)
    {
        // Every value is read before any is compared or written.
        std::vector<std::optional<long double>> values((n + 1) * (n + 1));
        const auto value = [&](std::size_t i, std::size_t j) -> auto &
        {
            return values[i * (n + 1) + j];
        };
        for (std::size_t i = 1; i <= n; ++i) {
            for (std::size_t j = 1; j <= n; ++j) {
                const std::string &text = cellOf(block, i, j);
                if (i != j && !text.empty()) {
                    value(i, j) = readValue(text, settings,
                        "na tabela de dupla entrada, linha da linhagem " + intToStr(i)
                            + ", coluna da linhagem " + intToStr(j));
                }
            }
        }
        int last = 0; // the last row that holds anything
        for (int r = 1; r < grid.rowCount(); ++r) {
            for (int c = 1; c < grid.columnCount(); ++c)
                if (!grid.cell(c, r).empty())
                    last = r;
        }
        const int columns = std::max(grid.columnCount(), 4);
        Writes writes;
        int r = last;
        for (std::size_t i = 1; i <= n; ++i) {
            for (std::size_t j = 1; j <= n; ++j) {
                if (!value(i, j) || (i > j && value(j, i) == value(i, j)))
                    continue;
                ++r;
                writes[{ r, 1 }] = intToStr(std::int64_t(i));
                writes[{ r, 2 }] = intToStr(std::int64_t(j));
                writes[{ r, 3 }] = cellOf(block, i, j);
            }
        }
        const int rows = std::max(grid.rowCount(), r + 1);
        labelRows(writes, last + 1, r + 1, columns);
        return changeOf(grid, rows, columns, writes);
    }

    TableChange pasteRectangle(
        const CellGrid &grid, Block block, int column, int row, const FormatSettings &settings)
    {
        std::size_t first = 0;
        if (block.size() > 1
            && std::none_of(block[0].begin(), block[0].end(), [](const std::string &cell) {
                   return cell.find_first_of("0123456789") != std::string::npos;
               }))
            first = 1; // a row of headings
        std::size_t width = 0;
        for (const auto &cells : block)
            width = std::max(width, cells.size());
        // A column by its heading, or its number when it has none.
        const auto name = [&grid](int c) {
            const std::string &text = grid.cell(c, 0);
            return text.empty() ? intToStr(c) : text;
        };
        const auto heading = [&name](int c) { return " (coluna " + name(c) + ")"; };
        // Rows of Pai A, Pai B and value start at Pai A, wherever the current cell is.
        if (width >= 3)
            column = 1;
        if (column + int(width) > grid.columnCount()) {
            throw Error("N\xE3o foi poss\xEDvel colar: o bloco tem " + intToStr(std::int64_t(width))
                + " colunas e, a partir da coluna " + name(column)
                + ", passa da \xFAltima coluna da tabela.");
        }
        Writes writes;
        int r = row;
        for (std::size_t b = first; b < block.size(); ++b, ++r) {
            for (std::size_t k = 0; k < width; ++k) {
                const int c = column + int(k);
                const std::string &text = cellOf(block, b, k);
                if (c == 1 || c == 2) {
                    try {
                        strToInt(text);
                    } catch (const Error &) {
                        throw Error("N\xE3o foi poss\xEDvel colar: " + blockLine(b) + ", '" + text
                            + "' n\xE3o \xE9 um n\xFAmero de linhagem" + heading(c) + ".");
                    }
                } else if (c == 3) {
                    readValue(text, settings, blockLine(b), heading(c));
                }
                writes[{ r, c }] = text;
            }
        }
        const int rows = std::max(grid.rowCount(), r);
        labelRows(writes, grid.rowCount(), rows, grid.columnCount());
        return changeOf(grid, rows, grid.columnCount(), writes);
    }

} // namespace

TableChange pasteChange(const CellGrid &grid, std::string_view text, int column, int row,
    const FormatSettings &settings)
{
    Block block = splitBlock(text);
    if (block.empty()) {
        TableChange none;
        none.rowsBefore = none.rowsAfter = grid.rowCount();
        none.columnsBefore = none.columnsAfter = grid.columnCount();
        return none;
    }
    if (const std::size_t n = twoWaySize(block))
        return pasteTwoWay(grid, block, n, settings);
    return pasteRectangle(grid, std::move(block), column, row, settings);
}

std::string copiedBlock(const CellGrid &grid, int left, int top, int right, int bottom)
{
    std::string block;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            block += grid.cell(c, r);
            block += c < right ? '\t' : '\n';
        }
    }
    return block;
}

} // namespace koravel
