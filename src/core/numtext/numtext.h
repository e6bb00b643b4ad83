// Number text: the five conversions between numbers and text that every cell, field and
// report line goes through. The decimal separator is a setting that callers pass in.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace koravel {

// Reals are read into and written from the 80-bit extended format.
static_assert(std::numeric_limits<long double>::digits == 64,
    "Koravel needs long double with a 64-bit significand (x86-64 GCC or Clang, MinGW-w64)");

struct FormatSettings
{
    char decimalSeparator = '.';
};

// Integer reading. Blanks (code 32 only) before the number, one sign, decimal digits or a
// hexadecimal prefix ("$", "x", "X", "0x", "0X") with at most 8 significant digits taken as a
// 32-bit two's-complement pattern.
//   strToInt(" 42")       -> 42
//   strToInt("42 ")       -> Error "'42 ' is not a valid integer value"
//   strToInt("$FFFFFFFF") -> -1
//   strToInt("-$1")       -> -1
//   strToInt("2147483648")-> Error
std::int32_t strToInt(std::string_view text);

// Real reading, into extended precision.
//   strToFloat(".5")        -> 0.5
//   strToFloat(" 1E ")      -> 1
//   strToFloat("2,5")       -> Error "'2,5' is not a valid floating point value"   (separator '.')
//   strToFloat("2,5", {','})-> 2.5
//   strToFloat("1e4999")    -> Error (beyond the extended range)
//   strToFloat("1e-4999")   -> 0      (too small: towards zero, no error)
//   strToFloat("1e5000")    -> Error  (exponent digits stop at 500, so the last "0" is left over)
long double strToFloat(std::string_view text, const FormatSettings &settings);

// Integer formatting: intToStr(-12) -> "-12", intToStr(0) -> "0".
std::string intToStr(std::int64_t value);
void appendInt(std::string &out, std::int64_t value);

// General real format: 15 significant digits, halves away from zero judged on the first 18.
//   floatToStr(0.1)     -> "0.1"
//   floatToStr(0.00005) -> "5E-5"
//   floatToStr(1e15)    -> "1E15"
//   floatToStr(-0.0)    -> "0"
//   floatToStr(inf)     -> "INF"
std::string floatToStr(long double value, const FormatSettings &settings);
void appendFloatToStr(std::string &out, long double value, const FormatSettings &settings);

// Fixed patterns "0.000", "0.0" and "0".
//   formatFloat(FixedPattern::ThreeDecimals, 0.0625) -> "0.063"
//   formatFloat(FixedPattern::OneDecimal, 0.25)      -> "0.3"
//   formatFloat(FixedPattern::NoDecimals, -0.4)      -> "0"        no "-0"
//   formatFloat(FixedPattern::ThreeDecimals, 1e18)   -> "1E18"     general format from 10^18
enum class FixedPattern { ThreeDecimals, OneDecimal, NoDecimals };
std::string formatFloat(FixedPattern pattern, long double value, const FormatSettings &settings);
void appendFormatFloat(
    std::string &out, FixedPattern pattern, long double value, const FormatSettings &settings);

// For the error of a real that does not read with the separator of settings but would with the
// other one, the advice to choose that one in the options window; else "". Latin-1.
//   ("'7,95' is not a valid floating point value", {'.'}) -> "Os dados parecem usar v\xEDrgula ..."
//   ("'7x' is not a valid floating point value", {'.'})   -> ""
std::string decimalSeparatorHint(std::string_view message, const FormatSettings &settings);

} // namespace koravel
