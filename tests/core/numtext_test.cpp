// The number text rules, row by row: integer and real reading, integer formatting, the general
// real format and the fixed patterns, with a point and with a comma as decimal separator.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "numtext/error.h"
#include "error_of.h"
#include "numtext/numtext.h"

using namespace koravel;
using namespace std::string_view_literals;

namespace {

const FormatSettings kPoint { '.' };
const FormatSettings kComma { ',' };

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNan = std::numeric_limits<long double>::quiet_NaN();

// The value with every digit an extended value can hold, to name a row.
std::string exact(long double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.21Lg", value);
    return text;
}

// The random round trips cover blanks, zeros, signs and every prefix; these are the rest.
TEST(StrToInt, ReadsDecimalAndHexadecimalText)
{
    EXPECT_EQ(strToInt("-0"), 0);
    EXPECT_EQ(strToInt("000000000000002147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(strToInt("-$80000000"), -2147483647 - 1);
    EXPECT_EQ(strToInt("+$A"), 10);
}

TEST(StrToInt, RejectsTextWithTheWholeTextInTheMessage)
{
    for (const std::string_view text : { ""sv, "   "sv, "42 "sv, "\t42"sv, "- 1"sv, "+-1"sv,
             "2147483648"sv, "-2147483649"sv, "99999999999999999999999"sv, "$"sv, "x"sv,
             "$100000000"sv, "$1G"sv, "1.0"sv, "1,000"sv, "$-1"sv, "0x$1"sv, "1\0"sv }) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        EXPECT_EQ(errorOf([&] { strToInt(text); }),
            "'" + std::string(text) + "' is not a valid integer value");
    }
}

TEST(StrToFloat, ReadsRealText)
{
    const struct
    {
        std::string_view text;
        char separator;
        long double value;
    } rows[] = {
        { "-.", '.', 0.0L },
        { "1E+3", '.', 1000.0L },
        { "1e-", '.', 1.0L },
        { " 1E ", '.', 1.0L },
        { ".E5", '.', 0.0L },
        { "1e0000000002", '.', 100.0L },
        { ",", ',', 0.0L },
        { "1.18973149535723176502e4932", '.', std::numeric_limits<long double>::max() },
        { "3.36210314311209350626e-4932", '.', std::numeric_limits<long double>::min() },
        { "0.00001e4936", '.', 1e4931L },
        { "1e-4999", '.', 0.0L }, // too small goes towards zero without error
        { "0.0000000001e-4945", '.', 0.0L },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(strToFloat(row.text, FormatSettings { row.separator }), row.value);
    }
    const long double denormal = strToFloat("1e-4940", kPoint);
    EXPECT_LT(denormal, std::numeric_limits<long double>::min());
    EXPECT_LE(std::fabs(denormal - 1e-4940L), 1e-4940L * 1e-9L);
    EXPECT_TRUE(std::signbit(strToFloat("-1e-4999", kPoint)));
}

TEST(StrToFloat, RejectsTextWithTheWholeTextInTheMessage)
{
    for (const std::string_view text : { "", "-", "2,5", "1,000.5", "\t1", "1\t", "1.2.3", "E5",
             "1 5", "0x10", "$10", "INF", "NAN", "1e5000", "1e-5000", "1e+-3", "1e3e",
             "1.18973149535723176509e4932", "1000000000000000000000e4930" }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorOf([&] { strToFloat(text, kPoint); }),
            "'" + std::string(text) + "' is not a valid floating point value");
    }
    EXPECT_EQ(
        errorOf([] { strToFloat("2.5", kComma); }), "'2.5' is not a valid floating point value");
}

TEST(StrToFloat, IgnoresTheProcessLocale)
{
    // The desktop program adopts the user's locale; a comma locale must not change reading.
    if (!std::setlocale(LC_ALL, "pt_BR.UTF-8") && !std::setlocale(LC_ALL, "de_DE.UTF-8")
        && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no comma locale installed";
    EXPECT_EQ(strToFloat("0.1234567890123456789012", kPoint), 0.1234567890123456789012L);
    EXPECT_THROW(strToFloat("2,5", kPoint), Error);
    EXPECT_EQ(floatToStr(1.5e20L, kPoint), "1.5E20");
    EXPECT_EQ(
        formatFloat(FixedPattern::ThreeDecimals, 1e16L + 0.25L, kPoint), "10000000000000000.200");
    std::setlocale(LC_ALL, "C");
}

TEST(IntToStr, WritesPlainDigits)
{
    EXPECT_EQ(intToStr(0), "0");
    EXPECT_EQ(intToStr(-12), "-12");
    EXPECT_EQ(intToStr(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
    EXPECT_EQ(intToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    std::string out = "HS ";
    appendInt(out, 15);
    EXPECT_EQ(out, "HS 15");
}

TEST(FloatToStr, WritesFifteenSignificantDigits)
{
    const struct
    {
        long double value;
        const char *point;
        const char *comma;
    } rows[] = {
        { -0.0L, "0", "0" },
        { -2.5L, "-2.5", "-2,5" },
        { 0.0001, "0.0001", "0,0001" },
        { 0.00005, "5E-5", "5E-5" },
        { 999999999999999.0, "999999999999999", "999999999999999" },
        { 1e15, "1E15", "1E15" },
        { 1234567890123456.0, "1.23456789012346E15", "1,23456789012346E15" },
        { 999999999999999.5, "1E15", "1E15" },
        { 0.0000999999999999999999L, "0.0001", "0,0001" },
        { std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324",
            "4,94065645841247E-324" },
        { std::numeric_limits<long double>::max(), "1.18973149535723E4932",
            "1,18973149535723E4932" },
        // The exact value is 9.3705828612150749...; its 18 digits end in 500 and round up.
        { 9.370582861215075, "9.37058286121508", "9,37058286121508" },
        { 1.2345678901234549999L, "1.23456789012346", "1,23456789012346" },
        { -kInf, "-INF", "-INF" },
        { -kNan, "NAN", "NAN" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(exact(row.value));
        EXPECT_EQ(floatToStr(row.value, kPoint), row.point);
        EXPECT_EQ(floatToStr(row.value, kComma), row.comma);
    }
    std::string out = "x\t";
    appendFloatToStr(out, 2.5L, kComma);
    EXPECT_EQ(out, "x\t2,5");
}

TEST(FormatFloat, RoundsHalvesAwayFromZero)
{
    const struct
    {
        long double value;
        const char *three;
        const char *one;
        const char *none;
    } rows[] = {
        { -0.25, "-0.250", "-0.3", "0" },
        { -2.5, "-2.500", "-2.5", "-3" },
        { -0.0, "0.000", "0.0", "0" },
        { -0.0004, "0.000", "0.0", "0" },
        { -0.0005, "-0.001", "0.0", "0" },
        { -0.4999, "-0.500", "-0.5", "0" },
        { -9.96, "-9.960", "-10.0", "-10" },
        { 10.1395, "10.140", "10.1", "10" }, // judged on 18 digits, not on the binary value
        { 999999999999999872.0, "999999999999999872.000", "999999999999999872.0",
            "999999999999999872" },
        { -1e18, "-1E18", "-1E18", "-1E18" },
        // 18 digits reach the units here: the half is a tie at the 19th digit and goes even.
        { 1e17L + 0.5L, "100000000000000000.000", "100000000000000000.0", "100000000000000000" },
        { 1e16L + 0.25L, "10000000000000000.200", "10000000000000000.2", "10000000000000000" },
        { kInf, "INF", "INF", "INF" },
        { kNan, "NAN", "NAN", "NAN" },
        { std::nextafter(2.5L, 0.0L), "2.500", "2.5", "3" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(exact(row.value));
        EXPECT_EQ(formatFloat(FixedPattern::ThreeDecimals, row.value, kPoint), row.three);
        EXPECT_EQ(formatFloat(FixedPattern::OneDecimal, row.value, kPoint), row.one);
        EXPECT_EQ(formatFloat(FixedPattern::NoDecimals, row.value, kPoint), row.none);
    }
    EXPECT_EQ(formatFloat(FixedPattern::ThreeDecimals, 240.0625, kComma), "240,063");
    EXPECT_EQ(formatFloat(FixedPattern::ThreeDecimals, 1.5e20, kComma), "1,5E20");
    std::string out = "m=";
    appendFormatFloat(out, FixedPattern::OneDecimal, -12.25, kComma);
    EXPECT_EQ(out, "m=-12,3");
}

} // namespace
