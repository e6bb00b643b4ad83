// Seeded random checks of the number text against an independent reference: the exact decimal
// expansion of each binary value, computed with a small big integer, then rounded to 18
// significant digits (to nearest, ties to even) and from there halves away from zero.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "numtext/error.h"
#include "numtext/numtext.h"

using namespace koravel;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kIterations = 20000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kIterations = 20000;
#else
constexpr int kIterations = 200000;
#endif
#else
constexpr int kIterations = 200000;
#endif

// --- reference ---------------------------------------------------------------------------------

// Unsigned big integer in base 10^9, least significant limb first.
class BigNumber
{
public:
    explicit BigNumber(std::uint32_t value)
        : m_limbs { value }
    {
    }

    void multiply(std::uint64_t factor)
    {
        __extension__ typedef unsigned __int128 Wide;
        Wide carry = 0;
        for (std::uint32_t &limb : m_limbs) {
            const Wide product = static_cast<Wide>(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        while (carry != 0) {
            m_limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }

    std::string decimal() const
    {
        std::string text = std::to_string(m_limbs.back());
        for (std::size_t i = m_limbs.size() - 1; i-- > 0;) {
            const std::string part = std::to_string(m_limbs[i]);
            text.append(9 - part.size(), '0');
            text += part;
        }
        return text;
    }

private:
    static constexpr std::uint64_t kBase = 1000000000;
    std::vector<std::uint32_t> m_limbs;
};

// |value| = 0.digits x 10^point, digits without leading or trailing zeros ("" for zero).
struct Decimal
{
    std::string digits;
    int point = 0;
};

void trimTrailingZeros(Decimal &number)
{
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
    if (number.digits.empty())
        number.point = 0;
}

// Powers 2^n and 5^n, built once by repeated multiplication.
const BigNumber &power(int base, int exponent)
{
    static std::vector<BigNumber> twos { BigNumber(1) };
    static std::vector<BigNumber> fives { BigNumber(1) };
    std::vector<BigNumber> &table = base == 2 ? twos : fives;
    while (static_cast<int>(table.size()) <= exponent) {
        table.push_back(table.back());
        table.back().multiply(static_cast<std::uint64_t>(base));
    }
    return table[static_cast<std::size_t>(exponent)];
}

Decimal exactDecimal(long double value)
{
    int binaryExponent = 0;
    const long double fraction = std::frexp(std::fabs(value), &binaryExponent);
    // fraction * 2^64 is the integer significand.
    std::uint64_t significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    int exponent = binaryExponent - 64;
    while (significand != 0 && significand % 2 == 0) {
        significand /= 2;
        ++exponent;
    }
    Decimal number;
    if (significand == 0)
        return number;
    // significand x 2^e is an integer for e >= 0, and significand x 5^-e / 10^-e below.
    BigNumber product = power(exponent >= 0 ? 2 : 5, std::abs(exponent));
    product.multiply(significand);
    number.digits = product.decimal();
    number.point = static_cast<int>(number.digits.size()) + std::min(exponent, 0);
    trimTrailingZeros(number);
    return number;
}

// Keeps `keep` leading digits, adding one to them when `up`.
Decimal cut(const Decimal &number, int keep, bool up)
{
    Decimal result { keep > 0 ? number.digits.substr(0, static_cast<std::size_t>(keep)) : "",
        number.point };
    if (keep < 0)
        result.point = number.point - keep;
    if (up) {
        int i = static_cast<int>(result.digits.size()) - 1;
        while (i >= 0 && result.digits[i] == '9')
            result.digits[i--] = '0';
        if (i < 0) {
            result.digits.insert(result.digits.begin(), '1');
            ++result.point;
        } else {
            ++result.digits[i];
        }
    }
    trimTrailingZeros(result);
    return result;
}

Decimal roundEighteenDigits(const Decimal &number)
{
    constexpr int kDigits = 18;
    if (static_cast<int>(number.digits.size()) <= kDigits)
        return number;
    const char next = number.digits[kDigits];
    bool up = next > '5';
    if (next == '5') {
        const bool beyondHalf =
            number.digits.find_first_not_of('0', kDigits + 1) != std::string::npos;
        up = beyondHalf || (number.digits[kDigits - 1] - '0') % 2 == 1;
    }
    return cut(number, kDigits, up);
}

// Halves away from zero, keeping `keep` leading digits (keep may be zero or negative).
Decimal roundHalfAway(const Decimal &number, int keep)
{
    if (keep >= static_cast<int>(number.digits.size()))
        return number;
    if (keep < 0)
        return Decimal {};
    return cut(number, keep, number.digits[static_cast<std::size_t>(keep)] >= '5');
}

std::string referenceGeneral(long double value, char separator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    const Decimal rounded = roundHalfAway(roundEighteenDigits(exactDecimal(value)), 15);
    if (rounded.digits.empty())
        return "0";
    const std::string &d = rounded.digits;
    const int e = rounded.point;
    const int count = static_cast<int>(d.size());
    std::string text = std::signbit(value) ? "-" : "";
    if (e >= -3 && e <= 15) {
        if (e >= 1) {
            text += d.substr(0, static_cast<std::size_t>(std::min(e, count)));
            if (count < e)
                text.append(static_cast<std::size_t>(e - count), '0');
            if (count > e)
                text += separator + d.substr(static_cast<std::size_t>(e));
        } else {
            text += "0";
            text += separator;
            text.append(static_cast<std::size_t>(-e), '0');
            text += d;
        }
    } else {
        text += d[0];
        if (count > 1)
            text += separator + d.substr(1);
        text += "E" + std::to_string(e - 1);
    }
    return text;
}

std::string referenceFixed(long double value, const Decimal &judged, int decimals, char separator)
{
    if (judged.point > 18)
        return referenceGeneral(value, separator);
    const Decimal rounded = roundHalfAway(judged, judged.point + decimals);
    std::string zero = "0";
    if (decimals > 0)
        zero += separator + std::string(static_cast<std::size_t>(decimals), '0');
    if (rounded.digits.empty())
        return zero;
    // The rounded magnitude in units of 10^-decimals, at least decimals + 1 digits long.
    std::string units = rounded.digits;
    units.append(static_cast<std::size_t>(rounded.point + decimals) - units.size(), '0');
    if (units.size() < static_cast<std::size_t>(decimals + 1))
        units.insert(0, static_cast<std::size_t>(decimals + 1) - units.size(), '0');
    std::string text = std::signbit(value) ? "-" : "";
    text += units.substr(0, units.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0)
        text += separator + units.substr(units.size() - static_cast<std::size_t>(decimals));
    return text;
}

std::string referenceFixed(long double value, int decimals, char separator)
{
    if (!std::isfinite(value))
        return referenceGeneral(value, separator);
    return referenceFixed(value, roundEighteenDigits(exactDecimal(value)), decimals, separator);
}

TEST(NumberTextReference, AgreesWithHandRoundedValues)
{
    // The reference itself, on values worked out by hand.
    EXPECT_EQ(exactDecimal(0.0625L).digits, "625");
    EXPECT_EQ(exactDecimal(0.0625L).point, -1);
    EXPECT_EQ(exactDecimal(1536.0L).digits, "1536");
    EXPECT_EQ(exactDecimal(0.1).digits.substr(0, 20), "10000000000000000555");
    EXPECT_EQ(referenceFixed(10.1395, 3, '.'), "10.140");
    EXPECT_EQ(referenceFixed(-0.0004, 1, ','), "0,0");
    EXPECT_EQ(referenceFixed(2.5, 0, '.'), "3");
    EXPECT_EQ(referenceGeneral(1.0 / 3.0, '.'), "0.333333333333333");
    EXPECT_EQ(referenceGeneral(0.00005, '.'), "5E-5");
}

// --- values ------------------------------------------------------------------------------------

class ValueSource
{
public:
    explicit ValueSource(std::uint64_t seed)
        : m_random(seed)
    {
    }

    // Doubles and extended values of every magnitude, with a bias towards report-like values
    // and towards the halves where the rounding rules matter.
    long double next() { return m_random() % 2 ? -magnitude() : magnitude(); }

    long double magnitude()
    {
        switch (m_random() % 8) {
        case 0: { // any finite double
            std::uint64_t bits = m_random() & ~(std::uint64_t(1) << 63);
            if ((bits >> 52) == 0x7ff)
                bits &= ~(std::uint64_t(1) << 62);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return d;
        }
        case 1: // a mean of four single crosses with two decimals
            return static_cast<double>(uniformInt(100, 40000) + uniformInt(100, 40000)
                       + uniformInt(100, 40000) + uniformInt(100, 40000))
                / 100.0 / 4.0;
        case 2: // the double nearest a decimal half of 0.001, 0.1, 1 or the 15th digit
            return (static_cast<double>(uniformInt(0, 999999)) + 0.5)
                * std::pow(10.0, static_cast<double>(uniformInt(-12, 8)));
        case 3: // dyadic halves: exact in binary
            return static_cast<double>(uniformInt(0, 1 << 20))
                / static_cast<double>(1 << uniformInt(1, 12));
        case 4: // an extended value of moderate magnitude, any 64-bit significand
            return std::ldexp(significand(), static_cast<int>(uniformInt(-130, 20)));
        case 5: { // a neighbour of an exact half, one step either way
            const long double half = (static_cast<long double>(uniformInt(0, 99999)) + 0.5L)
                / std::pow(10.0L, static_cast<long double>(uniformInt(0, 4)));
            return m_random() % 2 ? std::nextafter(static_cast<double>(half), 0.0)
                                  : std::nextafter(half, 1e30L);
        }
        case 6: { // around the edges of the fast paths: 10^-7 to 10^19, double or extended
            const double scale =
                std::pow(10.0, std::uniform_real_distribution<double>(-7, 19)(m_random));
            return m_random() % 2 ? scale : std::ldexp(significand(), std::ilogb(scale) - 63);
        }
        default: // a 16-digit decimal ending in 5, as a double
            return std::strtod(
                ("0." + std::to_string(uniformInt(1000000000000000, 9999999999999999)) + "5e"
                    + std::to_string(uniformInt(-8, 20)))
                    .c_str(),
                nullptr);
        }
    }

    long double significand()
    {
        return static_cast<long double>(m_random() | (std::uint64_t(1) << 63));
    }

    std::int64_t uniformInt(std::int64_t low, std::int64_t high)
    {
        return std::uniform_int_distribution<std::int64_t>(low, high)(m_random);
    }

    std::mt19937_64 &random() { return m_random; }

private:
    std::mt19937_64 m_random;
};

// --- writing -----------------------------------------------------------------------------------

// The general format and the three fixed patterns of one value, each against the reference.
TEST(NumberTextProperty, WritingAgreesWithExactRounding)
{
    ValueSource source(19991231);
    int failures = 0;
    for (int i = 0; i < kIterations && failures < 10; ++i) {
        const long double value = source.next();
        const char separator = i % 3 == 0 ? ',' : '.';
        const FormatSettings settings { separator };
        const Decimal judged = roundEighteenDigits(exactDecimal(value));
        const std::pair<std::string, std::string> writtenAndExpected[] = {
            { floatToStr(value, settings), referenceGeneral(value, separator) },
            { formatFloat(FixedPattern::ThreeDecimals, value, settings),
                referenceFixed(value, judged, 3, separator) },
            { formatFloat(FixedPattern::OneDecimal, value, settings),
                referenceFixed(value, judged, 1, separator) },
            { formatFloat(FixedPattern::NoDecimals, value, settings),
                referenceFixed(value, judged, 0, separator) },
        };
        for (const auto &[written, expected] : writtenAndExpected) {
            if (written != expected) {
                ++failures;
                char exact[64];
                *std::to_chars(exact, exact + 63, value, std::chars_format::scientific, 25).ptr =
                    '\0';
                ADD_FAILURE() << "value " << exact << ": wrote " << written << ", expected "
                              << expected;
            }
        }
    }
}

// --- reading -----------------------------------------------------------------------------------

TEST(NumberTextProperty, RealReadingRoundsCorrectly)
{
    ValueSource source(31415);
    std::mt19937_64 &random = source.random();
    const int rounds = kIterations / 2;
    for (int i = 0; i < rounds; ++i) {
        const int integerDigits = static_cast<int>(source.uniformInt(0, 24));
        const int fractionDigits = static_cast<int>(source.uniformInt(0, 24));
        std::string integer, fraction;
        for (int k = 0; k < integerDigits; ++k)
            integer += static_cast<char>('0' + random() % 10);
        for (int k = 0; k < fractionDigits; ++k)
            fraction += static_cast<char>('0' + random() % 10);
        if (integer.empty() && fraction.empty())
            integer = "7";
        const bool withExponent = random() % 3 != 0;
        const std::int64_t exponent = withExponent
            ? (random() % 4 == 0 ? source.uniformInt(-4999, 4999) : source.uniformInt(-40, 40))
            : 0;
        const char separator = random() % 2 ? ',' : '.';
        const bool negative = random() % 2;
        const std::string exponentText = withExponent ? "e" + std::to_string(exponent) : "";
        const std::string text =
            std::string(negative ? "-" : "") + integer + separator + fraction + exponentText;
        const std::string plain = integer + "." + fraction + "e" + std::to_string(exponent);
        SCOPED_TRACE(text);

        long double expected = 0;
        const auto parsed = std::from_chars(plain.data(), plain.data() + plain.size(), expected);
        if (parsed.ec == std::errc()) {
            EXPECT_EQ(
                strToFloat(text, FormatSettings { separator }), negative ? -expected : expected);
            continue;
        }
        // Out of range: beyond the extended range fails, below it goes towards zero.
        const std::size_t first = (integer + fraction).find_first_not_of('0');
        const std::int64_t magnitude =
            static_cast<std::int64_t>(integer.size()) - static_cast<std::int64_t>(first) + exponent;
        if (magnitude > 0) {
            EXPECT_THROW(strToFloat(text, FormatSettings { separator }), Error);
        } else {
            const long double read = std::fabs(strToFloat(text, FormatSettings { separator }));
            EXPECT_LT(read, std::numeric_limits<long double>::min());
        }
    }
}

TEST(NumberTextProperty, IntegerTextRoundTrips)
{
    ValueSource source(2718);
    std::mt19937_64 &random = source.random();
    const char *const prefixes[] = { "$", "x", "X", "0x", "0X" };
    for (int i = 0; i < kIterations / 4; ++i) {
        const std::uint32_t bits = static_cast<std::uint32_t>(random());
        const std::int32_t value = static_cast<std::int32_t>(bits);
        std::string blanks(random() % 3, ' ');
        std::string zeros(random() % 3, '0');
        SCOPED_TRACE(value);
        EXPECT_EQ(strToInt(blanks + intToStr(value)), value);
        if (value >= 0) {
            EXPECT_EQ(strToInt(blanks + "+" + zeros + intToStr(value)), value);
        }

        char hex[16];
        const bool upper = random() % 2;
        std::snprintf(hex, sizeof hex, upper ? "%X" : "%x", bits);
        const bool negative = random() % 2;
        const std::string text =
            blanks + (negative ? "-" : "") + prefixes[random() % 5] + zeros + hex;
        const std::int32_t expected = static_cast<std::int32_t>(negative ? 0u - bits : bits);
        EXPECT_EQ(strToInt(text), expected) << text;
    }
}

} // namespace
