// The decimal symbol of the user's regional settings.
#include "numtext/locale_settings.h"

#include "platform/system.h"

namespace koravel {

char decimalSeparatorFromSymbol(std::string_view symbol)
{
    return symbol.size() == 1 ? symbol.front() : '.';
}

char systemDecimalSeparator()
{
    return decimalSeparatorFromSymbol(platform::decimalSymbol());
}

} // namespace koravel
