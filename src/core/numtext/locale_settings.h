// The decimal separator from the user's regional settings.
#pragma once

#include <string_view>

namespace koravel {

// One character, or "." when the symbol is missing or longer than one character.
//   decimalSeparatorFromSymbol(",")  -> ','
//   decimalSeparatorFromSymbol("")   -> '.'
//   decimalSeparatorFromSymbol("٫")  -> '.'   (two bytes)
char decimalSeparatorFromSymbol(std::string_view symbol);

// The decimal symbol of the user's regional settings: on Linux the C library's locale as the
// environment sets it (LC_NUMERIC, LC_ALL, LANG), leaving the process locale as it found it; on
// Windows the user's regional setting.
char systemDecimalSeparator();

} // namespace koravel
