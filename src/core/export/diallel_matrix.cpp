// The diallel matrix: every single cross of n lines read through the predictions' index.
#include "export/diallel_matrix.h"

#include <algorithm>
#include <map>
#include <utility>

#include "numtext/error.h"
#include "prediction/single_cross_index.h"
#include "table/cell_grid.h"

namespace koravel {

namespace {

    std::optional<std::int32_t> readInt(std::string_view text)
    {
        try {
            return strToInt(text);
        } catch (const Error &) {
            return std::nullopt;
        }
    }

    // The largest parent number that reads; cells that do not read are left for the lookups,
    // which raise their error when a prediction would.
    std::int64_t largestParent(const CellGrid &grid)
    {
        std::int64_t largest = 0;
        for (int r = 1; r <= grid.rowCount() - 1; ++r) {
            for (int column = 1; column <= 2; ++column) {
                if (const auto parent = readInt(grid.cell(column, r)))
                    largest = std::max<std::int64_t>(largest, *parent);
            }
        }
        return largest;
    }

    using Pair = std::pair<std::int32_t, std::int32_t>;

    // The last row of each (parent A, parent B) whose two parent cells read: the row whose value
    // a lookup of that pair in that order returns. Rows whose parents do not read match nothing.
    std::map<Pair, int> lastRows(const CellGrid &grid)
    {
        std::map<Pair, int> rows;
        for (int r = 1; r <= grid.rowCount() - 1; ++r) {
            const auto a = readInt(grid.cell(1, r));
            const auto b = a ? readInt(grid.cell(2, r)) : std::nullopt;
            if (b)
                rows[{ *a, *b }] = r;
        }
        return rows;
    }

} // namespace

DiallelMatrix::DiallelMatrix(const CellGrid &grid, const LinesField &linesField,
    Reciprocals reciprocals, const FormatSettings &settings)
    : m_reciprocals(reciprocals)
{
    std::int64_t lines = 0;
    const auto field = linesField.tryCount();
    if (field && *field >= 2) {
        lines = *field;
    } else {
        m_source = LineCountSource::LargestParent;
        lines = largestParent(grid);
    }
    if (lines > kMaxLines)
        throw Error(tooManyLinesMessage(lines));
    if (lines < 2)
        return;

    const int n = int(lines);
    const SingleCrossIndex index(grid, reciprocals, settings);
    const std::map<Pair, int> rows = lastRows(grid);
    const auto rowOf = [&rows](Pair pair) {
        const auto found = rows.find(pair);
        return found == rows.end() ? 0 : found->second;
    };
    std::vector<Cell> cells(std::size_t(n) * std::size_t(n));
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            Cell &cell = cells[std::size_t(i - 1) * std::size_t(n) + std::size_t(j - 1)];
            if (i == j) {
                cell.state = CrossState::Diagonal;
                continue;
            }
            // As a prediction reads a single cross: present or not, then its value.
            const SingleCrossValue cross = index.lookup(i, j);
            if (!index.exists(i, j))
                continue; // Missing
            cell.value = cross.value;
            // The value as the breeder wrote it ("7.70", not "7.7"): the last row that matches,
            // in either order when reciprocals are not distinct.
            int row = rowOf({ i, j });
            if (reciprocals == Reciprocals::Either)
                row = std::max(row, rowOf({ j, i }));
            cell.text = grid.cell(3, row);
            if (cross.value == 0.0) {
                cell.state = CrossState::Zero;
            } else {
                cell.state = CrossState::Present;
                m_minimum = std::min(m_minimum.value_or(cross.value), cross.value);
                m_maximum = std::max(m_maximum.value_or(cross.value), cross.value);
            }
        }
    }
    // Nothing changes before every lookup has answered.
    m_size = n;
    m_cells = std::move(cells);
}

const DiallelMatrix::Cell &DiallelMatrix::cell(int i, int j) const
{
    if (i < 1 || j < 1 || i > m_size || j > m_size)
        throw Error(listIndexMessage(i < 1 || i > m_size ? i : j));
    return m_cells[std::size_t(i - 1) * std::size_t(m_size) + std::size_t(j - 1)];
}

int DiallelMatrix::count(CrossState state) const
{
    int crosses = 0;
    for (int i = 1; i <= m_size; ++i) {
        // Without reciprocals the matrix is symmetric: each cross once, from the upper half.
        const int first =
            m_reciprocals == Reciprocals::Either && state != CrossState::Diagonal ? i + 1 : 1;
        for (int j = first; j <= m_size; ++j)
            crosses += cell(i, j).state == state ? 1 : 0;
    }
    return crosses;
}

std::string DiallelMatrix::tooManyLinesMessage(std::int64_t lines)
{
    return "A matriz dial\xE9lica mostra no m\xE1ximo " + intToStr(kMaxLines)
        + " linhagens (pedidas: " + intToStr(lines) + ").";
}

} // namespace koravel
