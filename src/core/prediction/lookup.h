// Finding a single cross in the table by its two parents: the literal scan over the text cells.
#pragma once

#include <cstdint>

#include "numtext/numtext.h"

namespace koravel {

class CellGrid;

// Whether the reciprocal option "Sim" is selected: then (a, b) matches only the row (a, b);
// otherwise it also matches (b, a).
enum class Reciprocals { Distinct, Either };

// Both scan rows 1 to rowCount - 1 in order with no early exit, converting cells only as far
// as the tests reach; ValorHS gives the value of the last matching row, 0.0 when none matches.
// A cell that must be converted and is not valid text raises the conversion Error; a value
// beyond the double range raises "Floating point overflow".
//   rows (5, 2, "3.5"):          ExisteHS(2, 5, Distinct) -> false   ExisteHS(2, 5, Either) -> true
//                                ValorHS(2, 5, Either) -> 3.5        ValorHS(7, 1, ...) -> 0.0
//   rows (1, 3, "4"), (1, 3, "6"): ValorHS(1, 3, ...) -> 6            (the last match wins)
//   rows (1, 3, "4"), ("", 1, "5"): ExisteHS(1, 3, ...) -> Error "'' is not a valid integer value"
//   rows (1, 3, "1e400"):        ExisteHS(1, 3, ...) -> true     ValorHS -> "Floating point overflow"
bool ExisteHS(std::int32_t a, std::int32_t b, const CellGrid &grid, Reciprocals reciprocals,
    const FormatSettings &settings);
double ValorHS(std::int32_t a, std::int32_t b, const CellGrid &grid, Reciprocals reciprocals,
    const FormatSettings &settings);

// The value of a real read from a cell, rounded to double; Error "Floating point overflow"
// beyond the double range, 0 for magnitudes too small for a double.
//   roundToDouble(2.5L) -> 2.5   roundToDouble(1e-400L) -> 0   roundToDouble(1e400L) -> Error
double roundToDouble(long double value);

} // namespace koravel
