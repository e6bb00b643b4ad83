// The number text rules, row by row: integer and real reading, integer formatting, the general
// real format and the fixed patterns, with a point and with a comma as decimal separator.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "error.h"
#include "numtext.h"

using namespace koravel;

namespace {

const FormatSettings kPoint { '.' };
const FormatSettings kComma { ',' };

constexpr long double kInf = std::numeric_limits<long double>::infinity();

// --- integer reading -------------------------------------------------------------------------

TEST(StrToInt, ReadsDecimalAndHexadecimalText)
{
    struct Row
    {
        const char *name;
        std::string_view text;
        std::int32_t value;
    };
    const Row rows[] = {
        { "plain", "42", 42 },
        { "leadingBlank", " 42", 42 },
        { "manyLeadingBlanks", "     42", 42 },
        { "plusSign", "+7", 7 },
        { "minusSign", "-12", -12 },
        { "minusZero", "-0", 0 },
        { "leadingZeros", "007", 7 },
        { "manyLeadingZeros", "000000000000002147483647", 2147483647 },
        { "maximum", "2147483647", 2147483647 },
        { "minimum", "-2147483648", -2147483647 - 1 },
        { "dollarUpper", "$1F", 31 },
        { "zeroXLower", "0x1f", 31 },
        { "zeroXUpper", "0X1F", 31 },
        { "xPrefix", "x1F", 31 },
        { "bigXPrefix", "X1f", 31 },
        { "allOnes", "$FFFFFFFF", -1 },
        { "signBitPattern", "$80000000", -2147483647 - 1 },
        { "largestPositivePattern", "$7FFFFFFF", 2147483647 },
        { "minusHex", "-$1", -1 },
        { "minusNegativePattern", "-$FFFFFFFF", 1 },
        { "minusSignBitWraps", "-$80000000", -2147483647 - 1 },
        { "hexLeadingZerosDoNotCount", "$000000000001", 1 },
        { "hexNineDigitsWithLeadingZero", "0x0FFFFFFFF", -1 },
        { "blankThenSignedHex", "  -0x10", -16 },
        { "plusHex", "+$A", 10 },
        { "zero", "0", 0 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(strToInt(row.text), row.value);
    }
}

TEST(StrToInt, RejectsTextWithTheWholeTextInTheMessage)
{
    struct Row
    {
        const char *name;
        std::string_view text;
    };
    const Row rows[] = {
        { "empty", "" },
        { "onlyBlanks", "   " },
        { "trailingBlank", "42 " },
        { "tabBefore", "\t42" },
        { "blankAfterSign", "- 1" },
        { "onlySign", "-" },
        { "twoSigns", "+-1" },
        { "overMaximum", "2147483648" },
        { "underMinimum", "-2147483649" },
        { "farOverMaximum", "99999999999999999999999" },
        { "onlyDollar", "$" },
        { "onlyZeroX", "0x" },
        { "onlyX", "x" },
        { "nineHexDigits", "$100000000" },
        { "badHexDigit", "$1G" },
        { "decimalPoint", "1.0" },
        { "exponent", "1e3" },
        { "thousandsSeparator", "1,000" },
        { "letters", "abc" },
        { "signAfterPrefix", "$-1" },
        { "prefixTwice", "0x$1" },
        { "embeddedNul", std::string_view("1\0", 2) },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            strToInt(row.text);
            ADD_FAILURE() << "no error";
        } catch (const Error &error) {
            EXPECT_EQ(error.message(), invalidIntegerMessage(row.text));
        }
    }
    try {
        strToInt("");
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(), "'' is not a valid integer value");
    }
}

// --- real reading ----------------------------------------------------------------------------

TEST(StrToFloat, ReadsRealText)
{
    struct Row
    {
        const char *name;
        std::string_view text;
        char separator;
        long double value;
    };
    const Row rows[] = {
        { "pointFraction", ".5", '.', 0.5L },
        { "pointAfterDigits", "5.", '.', 5.0L },
        { "lonePoint", ".", '.', 0.0L },
        { "lonePointSigned", "-.", '.', 0.0L },
        { "exponent", "1e3", '.', 1000.0L },
        { "exponentWithPlus", "1E+3", '.', 1000.0L },
        { "exponentNegative", "25e-1", '.', 2.5L },
        { "exponentWithoutDigits", "1E", '.', 1.0L },
        { "exponentSignWithoutDigits", "1e-", '.', 1.0L },
        { "blanksAround", "  1.5  ", '.', 1.5L },
        { "blankAfterExponentLetter", " 1E ", '.', 1.0L },
        { "negative", "-240.75", '.', -240.75L },
        { "plus", "+3", '.', 3.0L },
        { "separatorThenExponent", ".E5", '.', 0.0L },
        { "exponentLeadingZeros", "1e0000000002", '.', 100.0L },
        { "exponentOf500", "1e0500", '.', 1e500L },
        { "exponent4999Small", "1e-4999", '.', 0.0L },
        { "comma", "2,5", ',', 2.5L },
        { "commaOnly", ",", ',', 0.0L },
        { "commaNegative", "-0,0625", ',', -0.0625L },
        { "twentyDigitInteger", "12345678901234567890", '.', 12345678901234567890.0L },
        { "manyFractionDigits", "0.1000000000000000000000000000001", '.', 0.1L },
        { "tenToThe27", "1e27", '.', 1e27L },
        { "tenToThe28", "1e28", '.', 1e28L },
        { "tiny", "1e-30", '.', 1e-30L },
        { "largestExtended", "1.18973149535723176502e4932", '.',
            std::numeric_limits<long double>::max() },
        { "smallestNormal", "3.36210314311209350626e-4932", '.',
            std::numeric_limits<long double>::min() },
        { "digitsThenHugeExponentInRange", "0.00001e4936", '.', 1e4931L },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const long double value = strToFloat(row.text, FormatSettings { row.separator });
        EXPECT_EQ(value, row.value);
    }
}

TEST(StrToFloat, TooSmallGoesTowardsZeroWithoutError)
{
    const long double denormal = strToFloat("1e-4940", kPoint);
    EXPECT_GT(denormal, 0.0L);
    EXPECT_LT(denormal, std::numeric_limits<long double>::min());
    EXPECT_LE(std::fabs(denormal - 1e-4940L), 1e-4940L * 1e-9L);
    EXPECT_EQ(strToFloat("1e-4999", kPoint), 0.0L);
    EXPECT_EQ(strToFloat("0.0000000001e-4945", kPoint), 0.0L);
    EXPECT_TRUE(std::signbit(strToFloat("-1e-4999", kPoint)));
}

TEST(StrToFloat, RejectsTextWithTheWholeTextInTheMessage)
{
    struct Row
    {
        const char *name;
        std::string_view text;
        char separator;
    };
    const Row rows[] = {
        { "empty", "", '.' },
        { "onlyBlanks", "  ", '.' },
        { "onlySign", "-", '.' },
        { "commaWithPoint", "2,5", '.' },
        { "pointWithComma", "2.5", ',' },
        { "thousandsAndPoint", "1,000.5", '.' },
        { "tabBefore", "\t1", '.' },
        { "tabAfter", "1\t", '.' },
        { "twoSeparators", "1.2.3", '.' },
        { "exponentOnly", "E5", '.' },
        { "blankInside", "1 5", '.' },
        { "blankAfterSign", "- 1", '.' },
        { "hexadecimal", "0x10", '.' },
        { "dollarHex", "$10", '.' },
        { "infinityWord", "INF", '.' },
        { "notANumberWord", "NAN", '.' },
        { "digitAfterExponent500", "1e5000", '.' },
        { "digitAfterExponentMinus500", "1e-5000", '.' },
        { "beyondExtendedRange", "1e4999", '.' },
        { "justBeyondLargest", "1.18973149535723176509e4932", '.' },
        { "manyDigitsBeyondRange", "1000000000000000000000e4930", '.' },
        { "exponentTwoSigns", "1e+-3", '.' },
        { "exponentSecondLetter", "1e3e", '.' },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            strToFloat(row.text, FormatSettings { row.separator });
            ADD_FAILURE() << "no error";
        } catch (const Error &error) {
            EXPECT_EQ(error.message(), invalidFloatMessage(row.text));
        }
    }
}

TEST(StrToFloat, IgnoresTheProcessLocale)
{
    // The desktop program adopts the user's locale; a comma locale must not change reading.
    const char *const names[] = { "pt_BR.UTF-8", "pt_BR.utf8", "de_DE.UTF-8", "de_DE.utf8",
        "fr_FR.UTF-8", "fr_FR.utf8" };
    const char *adopted = nullptr;
    for (const char *name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            adopted = name;
            break;
        }
    }
    if (adopted == nullptr)
        GTEST_SKIP() << "no comma locale installed";
    EXPECT_EQ(strToFloat("2.5e30", kPoint), 2.5e30L);
    EXPECT_EQ(strToFloat("0.1234567890123456789012", kPoint), 0.1234567890123456789012L);
    EXPECT_THROW(strToFloat("2,5", kPoint), Error);
    EXPECT_EQ(floatToStr(1.5e20L, kPoint), "1.5E20");
    EXPECT_EQ(
        formatFloat(FixedPattern::ThreeDecimals, 1e16L + 0.25L, kPoint), "10000000000000000.200");
    std::setlocale(LC_ALL, "C");
}

// --- integer formatting ----------------------------------------------------------------------

TEST(IntToStr, WritesPlainDigits)
{
    struct Row
    {
        const char *name;
        std::int64_t value;
        const char *text;
    };
    const Row rows[] = {
        { "zero", 0, "0" },
        { "negative", -12, "-12" },
        { "positive", 7, "7" },
        { "tens", 1000, "1000" },
        { "int32Max", 2147483647, "2147483647" },
        { "int32Min", -2147483648LL, "-2147483648" },
        { "int64Max", std::numeric_limits<std::int64_t>::max(), "9223372036854775807" },
        { "int64Min", std::numeric_limits<std::int64_t>::min(), "-9223372036854775808" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(intToStr(row.value), row.text);
    }
    std::string out = "HS ";
    appendInt(out, 15);
    EXPECT_EQ(out, "HS 15");
}

// --- general real format ---------------------------------------------------------------------

TEST(FloatToStr, WritesFifteenSignificantDigits)
{
    struct Row
    {
        const char *name;
        long double value;
        const char *point;
        const char *comma;
    };
    const Row rows[] = {
        { "zero", 0.0L, "0", "0" },
        { "negativeZero", -0.0L, "0", "0" },
        { "five", 5.0L, "5", "5" },
        { "negativeHalf", -2.5L, "-2.5", "-2,5" },
        { "tenth", 0.1, "0.1", "0,1" },
        { "oneThird", 1.0 / 3.0, "0.333333333333333", "0,333333333333333" },
        { "twoThirds", 2.0 / 3.0, "0.666666666666667", "0,666666666666667" },
        { "tenThousandth", 0.0001, "0.0001", "0,0001" },
        { "belowTenThousandth", 0.00005, "5E-5", "5E-5" },
        { "smallScientific", 1.23e-5, "1.23E-5", "1,23E-5" },
        { "tenToThe15", 1e15, "1E15", "1E15" },
        { "belowTenToThe15", 999999999999999.0, "999999999999999", "999999999999999" },
        { "largeScientific", 1.5e20, "1.5E20", "1,5E20" },
        { "negativeScientific", -1.5e-7, "-1.5E-7", "-1,5E-7" },
        { "integerPadded", 1200.0, "1200", "1200" },
        { "singleCrossValue", 240.0, "240", "240" },
        { "quarterValue", 5.75, "5.75", "5,75" },
        { "fifteenDigitsExact", 123456789012345.0, "123456789012345", "123456789012345" },
        { "sixteenDigitsRoundUp", 1234567890123456.0, "1.23456789012346E15",
            "1,23456789012346E15" },
        { "roundsUpToTenToThe15", 999999999999999.5, "1E15", "1E15" },
        { "roundsIntoFixedNotation", 0.0000999999999999999999L, "0.0001", "0,0001" },
        { "fractionRounded", 123456.7890123456789, "123456.789012346", "123456,789012346" },
        { "noSeparatorWithoutDigits", 100.0, "100", "100" },
        { "threeLeadingZeros", 0.000123, "0.000123", "0,000123" },
        { "doubleMax", std::numeric_limits<double>::max(), "1.79769313486232E308",
            "1,79769313486232E308" },
        { "doubleDenormMin", std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324",
            "4,94065645841247E-324" },
        { "extendedMax", std::numeric_limits<long double>::max(), "1.18973149535723E4932",
            "1,18973149535723E4932" },
        { "exponentTen", 1e10, "10000000000", "10000000000" },
        { "exponentHundred", 1e-100, "1E-100", "1E-100" },
        // The exact value is 9.3705828612150749...; its 18 digits end in 500 and round up.
        { "halfJudgedOnEighteenDigits", 9.370582861215075, "9.37058286121508", "9,37058286121508" },
        { "halfJudgedOnEighteenDigitsNegative", -8.170605156910975, "-8.17060515691098",
            "-8,17060515691098" },
        { "extendedJustBelowHalf", 1.2345678901234549999L, "1.23456789012346", "1,23456789012346" },
        { "extendedBelowHalf", 1.23456789012345499L, "1.23456789012345", "1,23456789012345" },
        { "infinity", kInf, "INF", "INF" },
        { "negativeInfinity", -kInf, "-INF", "-INF" },
        { "notANumber", std::numeric_limits<long double>::quiet_NaN(), "NAN", "NAN" },
        { "negativeNotANumber", -std::numeric_limits<long double>::quiet_NaN(), "NAN", "NAN" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(floatToStr(row.value, kPoint), row.point);
        EXPECT_EQ(floatToStr(row.value, kComma), row.comma);
    }
    std::string out = "x\t";
    appendFloatToStr(out, 2.5L, kComma);
    EXPECT_EQ(out, "x\t2,5");
}

// --- fixed patterns --------------------------------------------------------------------------

TEST(FormatFloat, RoundsHalvesAwayFromZero)
{
    struct Row
    {
        const char *name;
        long double value;
        const char *three;
        const char *one;
        const char *none;
    };
    const Row rows[] = {
        { "sixteenth", 0.0625, "0.063", "0.1", "0" },
        { "quarter", 0.25, "0.250", "0.3", "0" },
        { "negativeQuarter", -0.25, "-0.250", "-0.3", "0" },
        { "twoAndHalf", 2.5, "2.500", "2.5", "3" },
        { "negativeTwoAndHalf", -2.5, "-2.500", "-2.5", "-3" },
        { "negativeTiny", -0.0004, "0.000", "0.0", "0" },
        { "twelve", 12.0, "12.000", "12.0", "12" },
        { "zero", 0.0, "0.000", "0.0", "0" },
        { "negativeZero", -0.0, "0.000", "0.0", "0" },
        { "eighth", 0.125, "0.125", "0.1", "0" },
        { "negativeEighth", -0.125, "-0.125", "-0.1", "0" },
        { "halfThousandth", 0.0005, "0.001", "0.0", "0" },
        { "negativeHalfThousandth", -0.0005, "-0.001", "0.0", "0" },
        { "negativeHalf", -0.5, "-0.500", "-0.5", "-1" },
        { "negativeBelowHalf", -0.4999, "-0.500", "-0.5", "0" },
        { "negativeTwentieth", -0.05, "-0.050", "-0.1", "0" },
        { "meanLike", 240.0625, "240.063", "240.1", "240" },
        { "cvLike", 12.34567, "12.346", "12.3", "12" },
        { "carryThroughNines", 99.9996, "100.000", "100.0", "100" },
        { "carryThroughNinesNegative", -9.96, "-9.960", "-10.0", "-10" },
        { "exactEighteenDigitsJudge", 10.1395, "10.140", "10.1", "10" },
        { "exactEighteenDigitsJudgeNegative", -10.1395, "-10.140", "-10.1", "-10" },
        { "meanJudgedOnEighteenDigits", 112.6845, "112.685", "112.7", "113" },
        { "largeInteger", 123456789012345.0, "123456789012345.000", "123456789012345.0",
            "123456789012345" },
        { "belowTenToThe18", 999999999999999872.0, "999999999999999872.000", "999999999999999872.0",
            "999999999999999872" },
        { "tenToThe18", 1e18, "1E18", "1E18", "1E18" },
        { "negativeTenToThe18", -1e18, "-1E18", "-1E18", "-1E18" },
        { "large", 1.5e20, "1.5E20", "1.5E20", "1.5E20" },
        // 18 digits reach the units here: the half is a tie at the 19th digit and goes even.
        { "tenToThe17Half", 1e17L + 0.5L, "100000000000000000.000", "100000000000000000.0",
            "100000000000000000" },
        { "tenToThe17ThreeQuarters", 1e17L + 0.75L, "100000000000000001.000",
            "100000000000000001.0", "100000000000000001" },
        { "tenToThe16Quarter", 1e16L + 0.25L, "10000000000000000.200", "10000000000000000.2",
            "10000000000000000" },
        { "infinity", kInf, "INF", "INF", "INF" },
        { "negativeInfinity", -kInf, "-INF", "-INF", "-INF" },
        { "notANumber", std::numeric_limits<long double>::quiet_NaN(), "NAN", "NAN", "NAN" },
        { "extendedJustBelowHalf", std::nextafter(2.5L, 0.0L), "2.500", "2.5", "3" },
        { "extendedJustBelowNegativeHalf", std::nextafter(-0.5L, 0.0L), "-0.500", "-0.5", "-1" },
        { "extendedCount", 3838380.0L, "3838380.000", "3838380.0", "3838380" },
        { "extendedBelowHalf", 2.49999999999999999L, "2.500", "2.5", "2" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formatFloat(FixedPattern::ThreeDecimals, row.value, kPoint), row.three);
        EXPECT_EQ(formatFloat(FixedPattern::OneDecimal, row.value, kPoint), row.one);
        EXPECT_EQ(formatFloat(FixedPattern::NoDecimals, row.value, kPoint), row.none);
    }
}

TEST(FormatFloat, WritesTheCurrentSeparator)
{
    EXPECT_EQ(formatFloat(FixedPattern::ThreeDecimals, 240.0625, kComma), "240,063");
    EXPECT_EQ(formatFloat(FixedPattern::OneDecimal, -0.25, kComma), "-0,3");
    EXPECT_EQ(formatFloat(FixedPattern::OneDecimal, -0.0004, kComma), "0,0");
    EXPECT_EQ(formatFloat(FixedPattern::NoDecimals, 2.5, kComma), "3");
    EXPECT_EQ(formatFloat(FixedPattern::ThreeDecimals, 1.5e20, kComma), "1,5E20");
    EXPECT_EQ(
        formatFloat(FixedPattern::ThreeDecimals, 1e16L + 0.25L, kComma), "10000000000000000,200");
    std::string out = "m=";
    appendFormatFloat(out, FixedPattern::OneDecimal, 12.25, kComma);
    EXPECT_EQ(out, "m=12,3");
}

} // namespace
