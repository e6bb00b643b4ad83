// The number text rules on the rows the fuzz replay reaches rarely: the extended range's edges,
// 64-bit integers, the process locale, the 18-digit judgement of halves and the append forms.
// The replay holds every conversion to glibc's strtold and printf on random text and values.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "error_of.h"
#include "numtext/error.h"
#include "numtext/numtext.h"

using namespace koravel;
using namespace std::string_view_literals;

namespace {

const FormatSettings kPoint { '.' };
const FormatSettings kComma { ',' };

TEST(StrToInt, ReadsThirtyTwoBitsAndRejectsTheRest)
{
    EXPECT_EQ(strToInt("000000000000002147483647"), 2147483647);
    EXPECT_EQ(strToInt("-$80000000"), -2147483647 - 1);
    for (const std::string_view text :
        { "2147483648"sv, "-2147483649"sv, "$100000000"sv, "0x$1"sv, "\t42"sv, "1\0"sv }) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        EXPECT_EQ(errorOf([&] { strToInt(text); }),
            "'" + std::string(text) + "' is not a valid integer value");
    }
}

TEST(StrToFloat, ReadsTheExtendedRangeToItsEdges)
{
    const struct
    {
        std::string_view text;
        long double value;
    } rows[] = {
        { "1.18973149535723176502e4932", std::numeric_limits<long double>::max() },
        { "3.36210314311209350626e-4932", std::numeric_limits<long double>::min() },
        { "0.00001e4936", 1e4931L },
        { "1e0000000002", 100.0L },
        { "1e-4999", 0.0L }, // too small goes towards zero without error
        { "0.0000000001e-4945", 0.0L },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(strToFloat(row.text, kPoint), row.value);
    }
    const long double denormal = strToFloat("1e-4940", kPoint);
    EXPECT_LT(denormal, std::numeric_limits<long double>::min());
    EXPECT_LE(std::fabs(denormal - 1e-4940L), 1e-4940L * 1e-9L);
    EXPECT_TRUE(std::signbit(strToFloat("-1e-4999", kPoint)));
    for (const char *text :
        { "1e5000", "1e-5000", "1.18973149535723176509e4932", "1000000000000000000000e4930" })
        EXPECT_EQ(errorOf([&] { strToFloat(text, kPoint); }),
            "'" + std::string(text) + "' is not a valid floating point value");
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

TEST(Writers, SixtyFourBitIntegersAndTheAppendForms)
{
    EXPECT_EQ(intToStr(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
    EXPECT_EQ(intToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    std::string out = "HS ";
    appendInt(out, -15);
    appendFloatToStr(out, 2.5L, kComma);
    appendFormatFloat(out, FixedPattern::OneDecimal, -12.25, kComma);
    EXPECT_EQ(out, "HS -152,5-12,3");
}

TEST(Writers, JudgeHalvesOnEighteenDigits)
{
    const struct
    {
        long double value;
        const char *general, *three, *one, *none;
    } rows[] = {
        { -0.0L, "0", "0.000", "0.0", "0" },
        { -0.0005, "-0.0005", "-0.001", "0.0", "0" },
        { -0.4999, "-0.4999", "-0.500", "-0.5", "0" },
        { 999999999999999.5, "1E15", "999999999999999.500", "999999999999999.5",
            "1000000000000000" },
        { 0.0000999999999999999999L, "0.0001", "0.000", "0.0", "0" },
        // The exact value is 9.3705828612150749...; its 18 digits end in 500 and round up.
        { 9.370582861215075, "9.37058286121508", "9.371", "9.4", "9" },
        { 10.1395, "10.1395", "10.140", "10.1", "10" },
        // 18 digits reach the units here: the half is a tie at the 19th digit and goes even.
        { 1e17L + 0.5L, "1E17", "100000000000000000.000", "100000000000000000.0",
            "100000000000000000" },
        { 999999999999999872.0, "1E18", "999999999999999872.000", "999999999999999872.0",
            "999999999999999872" },
        { -1e18, "-1E18", "-1E18", "-1E18", "-1E18" },
        { std::numeric_limits<long double>::max(), "1.18973149535723E4932", "1.18973149535723E4932",
            "1.18973149535723E4932", "1.18973149535723E4932" },
        { -std::numeric_limits<long double>::infinity(), "-INF", "-INF", "-INF", "-INF" },
        { std::numeric_limits<long double>::quiet_NaN(), "NAN", "NAN", "NAN", "NAN" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.general));
        EXPECT_EQ(floatToStr(row.value, kPoint), row.general);
        EXPECT_EQ(formatFloat(FixedPattern::ThreeDecimals, row.value, kPoint), row.three);
        EXPECT_EQ(formatFloat(FixedPattern::OneDecimal, row.value, kPoint), row.one);
        EXPECT_EQ(formatFloat(FixedPattern::NoDecimals, row.value, kPoint), row.none);
    }
}

} // namespace
