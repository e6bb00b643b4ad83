// The number-of-lines field: the text the user typed or the spin control wrote, read by the
// legacy rules in this one place. It is made from text implicitly, as the field is text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "numtext/numtext.h"

namespace koravel {

// The predictions and the size checks read the field as an integer, the counts as a real:
//   LinesField("5").count()         -> 5
//   LinesField("5 ").count()        -> Error "'5 ' is not a valid integer value"
//   LinesField("$10").count()       -> 16 (hexadecimal, as the integer rules allow)
//   LinesField("4,5").real({','})   -> 4.5
//   LinesField("x").tryCount()      -> nullopt
class LinesField
{
public:
    LinesField() = default;
    LinesField(std::string text)
        : m_text(std::move(text))
    {
    }
    LinesField(std::string_view text)
        : m_text(text)
    {
    }
    LinesField(const char *text)
        : m_text(text)
    {
    }

    const std::string &text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }

    // Raises the conversion error of the integer rules when the text is no integer.
    std::int32_t count() const { return strToInt(m_text); }
    // The count, or nothing where count() would raise.
    std::optional<std::int32_t> tryCount() const;
    long double real(const FormatSettings &settings) const { return strToFloat(m_text, settings); }

private:
    std::string m_text;
};

} // namespace koravel
