// The decimal symbol of the user's regional settings, read through the C library.
#include "numtext/locale_settings.h"

#include <clocale>
#include <string>

namespace koravel {

char decimalSeparatorFromSymbol(std::string_view symbol)
{
    return symbol.size() == 1 ? symbol.front() : '.';
}

char systemDecimalSeparator()
{
    // Ask the environment's locale (the empty name) without leaving it set: the process keeps
    // its own LC_NUMERIC, so no C library call elsewhere changes its behaviour.
    const char *current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = current ? current : "C";
    if (!std::setlocale(LC_NUMERIC, ""))
        return '.';
    const std::lconv *conv = std::localeconv();
    const char separator = decimalSeparatorFromSymbol(conv && conv->decimal_point ? conv->decimal_point : "");
    std::setlocale(LC_NUMERIC, saved.c_str());
    return separator;
}

} // namespace koravel
