// The decimal separator from the user's regional settings.
#pragma once

#include <string_view>

namespace koravel {

// One character, or "." when the symbol is missing or longer than one character.
//   decimalSeparatorFromSymbol(",")  -> ','
//   decimalSeparatorFromSymbol("")   -> '.'
//   decimalSeparatorFromSymbol("٫")  -> '.'   (two bytes)
char decimalSeparatorFromSymbol(std::string_view symbol);

// The decimal symbol of the C library's locale as the user's environment sets it
// (LC_NUMERIC, LC_ALL, LANG). Leaves the process locale as it found it.
char systemDecimalSeparator();

} // namespace koravel
