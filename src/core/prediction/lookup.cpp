// The literal scan of the single-cross table, kept as the reference that the index must match.
#include "prediction/lookup.h"

#include <cmath>

#include "table/cell_grid.h"
#include "numtext/error.h"

namespace koravel {

namespace {

    // Whether row r matches (a, b), converting the parent cells only as far as the tests reach.
    // With Either the second test converts column 1 again, as the scan always did; the result is
    // the same text, so only the first conversion can fail.
    bool rowMatches(
        std::int32_t a, std::int32_t b, const CellGrid &grid, int r, Reciprocals reciprocals)
    {
        if (strToInt(grid.cell(1, r)) == a && strToInt(grid.cell(2, r)) == b)
            return true;
        if (reciprocals == Reciprocals::Distinct)
            return false;
        return strToInt(grid.cell(1, r)) == b && strToInt(grid.cell(2, r)) == a;
    }

} // namespace

bool ExisteHS(std::int32_t a, std::int32_t b, const CellGrid &grid, Reciprocals reciprocals,
    const FormatSettings &settings)
{
    (void)settings; // parents are integers: the decimal separator plays no part
    bool found = false;
    const int rowCount = grid.rowCount();
    // No early exit: a bad parent A cell below the first match still fails the call.
    for (int r = 1; r <= rowCount - 1; ++r) {
        if (rowMatches(a, b, grid, r, reciprocals))
            found = true;
    }
    return found;
}

double ValorHS(std::int32_t a, std::int32_t b, const CellGrid &grid, Reciprocals reciprocals,
    const FormatSettings &settings)
{
    double value = 0.0;
    const int rowCount = grid.rowCount();
    for (int r = 1; r <= rowCount - 1; ++r) {
        // The last matching row wins: every match replaces the value of an earlier one.
        if (rowMatches(a, b, grid, r, reciprocals))
            value = roundToDouble(strToFloat(grid.cell(3, r), settings));
    }
    return value;
}

double roundToDouble(long double value)
{
    const double rounded = static_cast<double>(value);
    // A finite real that rounds to infinity lies beyond the largest double; magnitudes below
    // the smallest double go to 0 silently.
    if (std::isinf(rounded) && !std::isinf(value))
        throw Error(std::string(kFloatingPointOverflow));
    return rounded;
}

} // namespace koravel
