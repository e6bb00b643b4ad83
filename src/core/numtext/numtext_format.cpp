// Number text: writing reals in the general format and in the fixed patterns.
//
// Both writers round twice: first the value's exact decimal expansion to 18 significant digits
// (to nearest), then that to 15 significant digits or to the pattern's decimals, halves away
// from zero. The exact path asks std::to_chars for the 18 digits; the fast paths reach the same
// characters with exact integer arithmetic on the binary value, for the magnitudes a report
// holds, and hand everything else to the exact path.
#include "numtext/numtext.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int kGeneralDigits = 15;
constexpr int kJudgedDigits = 18;

constexpr std::uint64_t kPowers[] = { 1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull,
    10000000ull, 100000000ull, 1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull,
    10000000000000ull, 100000000000000ull, 1000000000000000ull, 10000000000000000ull,
    100000000000000000ull, 1000000000000000000ull, 10000000000000000000ull };

constexpr char kDigitPairs[] = "00010203040506070809"
                               "10111213141516171819"
                               "20212223242526272829"
                               "30313233343536373839"
                               "40414243444546474849"
                               "50515253545556575859"
                               "60616263646566676869"
                               "70717273747576777879"
                               "80818283848586878889"
                               "90919293949596979899";

// Writes exactly `count` digits of value (the low ones) ending at end; returns the start.
char *writeDigitsBackwards(char *end, std::uint64_t value, int count)
{
    char *p = end;
    while (count >= 2) {
        const std::uint64_t pair = value % 100;
        value /= 100;
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * pair, 2);
        count -= 2;
    }
    if (count == 1)
        *--p = static_cast<char>('0' + value % 10);
    return p;
}

// Four digits of value (below 10^4) at p.
inline void writeFourDigits(char *p, std::uint32_t value)
{
    std::memcpy(p, kDigitPairs + 2 * (value / 100), 2);
    std::memcpy(p + 2, kDigitPairs + 2 * (value % 100), 2);
}

// The 15 digits of a value below 10^15, in two independent 32-bit halves.
void writeFifteenDigits(char *p, std::uint64_t value)
{
    const auto high = static_cast<std::uint32_t>(value / 100000000); // 7 digits
    const auto low = static_cast<std::uint32_t>(value % 100000000); // 8 digits
    p[0] = static_cast<char>('0' + high / 1000000);
    const std::uint32_t highRest = high % 1000000;
    std::memcpy(p + 1, kDigitPairs + 2 * (highRest / 10000), 2);
    writeFourDigits(p + 3, highRest % 10000);
    writeFourDigits(p + 7, low / 10000);
    writeFourDigits(p + 11, low % 10000);
}

// All digits of value without leading zeros ("0" for zero); returns the start.
char *writeNumberBackwards(char *end, std::uint64_t value)
{
    char *p = end;
    while (value >= 100) {
        const std::uint64_t pair = value % 100;
        value /= 100;
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * pair, 2);
    }
    if (value >= 10) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * value, 2);
    } else {
        *--p = static_cast<char>('0' + value);
    }
    return p;
}

// The general format of a value that is nonzero: digits holds count significant digits
// without trailing zeros, and the value is 0.d1d2... x 10^exponent.
void appendGeneralDigits(
    std::string &out, bool negative, const char *digits, int count, int exponent, char separator)
{
    char buffer[48];
    char *p = buffer;
    if (negative)
        *p++ = '-';
    if (exponent >= -3 && exponent <= 15) {
        if (exponent >= 1) {
            if (count <= exponent) {
                std::memcpy(p, digits, count);
                p += count;
                std::memset(p, '0', exponent - count);
                p += exponent - count;
            } else {
                std::memcpy(p, digits, exponent);
                p += exponent;
                *p++ = separator;
                std::memcpy(p, digits + exponent, count - exponent);
                p += count - exponent;
            }
        } else {
            *p++ = '0';
            *p++ = separator;
            std::memset(p, '0', -exponent);
            p += -exponent;
            std::memcpy(p, digits, count);
            p += count;
        }
    } else {
        *p++ = digits[0];
        if (count > 1) {
            *p++ = separator;
            std::memcpy(p, digits + 1, count - 1);
            p += count - 1;
        }
        *p++ = 'E';
        int shown = exponent - 1;
        if (shown < 0) {
            *p++ = '-';
            shown = -shown;
        }
        char digitsBuffer[8];
        char *const digitsEnd = digitsBuffer + sizeof digitsBuffer;
        const char *start = writeNumberBackwards(digitsEnd, static_cast<std::uint64_t>(shown));
        std::memcpy(p, start, digitsEnd - start);
        p += digitsEnd - start;
    }
    out.append(buffer, p);
}

bool appendNonFinite(std::string &out, long double value)
{
    if (std::isnan(value)) {
        out += "NAN";
        return true;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-INF" : "INF";
        return true;
    }
    return false;
}

// The value's exact decimal expansion rounded to 18 significant digits: digits[0..17] and the
// exponent x with |value| = d1.d2d3... x 10^x. The value must be finite and nonzero.
int judgedDigits(long double magnitude, char *digits)
{
    char text[64];
    const auto result = std::to_chars(
        text, text + sizeof text, magnitude, std::chars_format::scientific, kJudgedDigits - 1);
    // "d.ddddddddddddddddde+XX"
    digits[0] = text[0];
    std::memcpy(digits + 1, text + 2, kJudgedDigits - 1);
    const char *exponentText = text + 2 + (kJudgedDigits - 1) + 1;
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, result.ptr, exponent);
    return exponent;
}

// Adds one to the decimal number digits[0..count-1]; returns true when it carried out of the
// first digit (the digits are then all zeros).
bool incrementDigits(char *digits, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

void appendGeneralExact(std::string &out, long double value, char separator)
{
    char digits[kJudgedDigits];
    int exponent = judgedDigits(std::fabs(value), digits) + 1;
    if (digits[kGeneralDigits] >= '5' && incrementDigits(digits, kGeneralDigits)) {
        digits[0] = '1';
        ++exponent;
    }
    int count = kGeneralDigits;
    while (digits[count - 1] == '0')
        --count;
    appendGeneralDigits(out, std::signbit(value), digits, count, exponent, separator);
}

// A normal nonzero value as mantissa * 2^(exponent - 63), the mantissa's top bit set. Values
// that are doubles are taken apart as doubles, which the processor forwards from a store to
// a load much faster than the 10 bytes of the extended format.
bool binaryParts(long double value, std::uint64_t &mantissa, int &exponent, bool &negative)
{
    const double nearest = static_cast<double>(value);
    if (static_cast<long double>(nearest) == value) {
        const auto bits = std::bit_cast<std::uint64_t>(nearest);
        const int biased = static_cast<int>((bits >> 52) & 0x7ff);
        if (biased == 0 || biased == 0x7ff)
            return false;
        mantissa = ((bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52)) << 11;
        exponent = biased - 1023;
        negative = (bits >> 63) != 0;
        return true;
    }
    std::uint16_t signAndExponent;
    std::memcpy(&mantissa, &value, sizeof mantissa);
    std::memcpy(
        &signAndExponent, reinterpret_cast<const char *>(&value) + 8, sizeof signAndExponent);
    exponent = (signAndExponent & 0x7fff) - 16383;
    negative = (signAndExponent & 0x8000) != 0;
    return (signAndExponent & 0x7fff) != 0 && (signAndExponent & 0x7fff) != 0x7fff
        && (mantissa >> 63) != 0;
}

// Exact integer path for magnitudes from 2^-16 to below 10^15: the value is m * 2^-s with a
// 64-bit m, so |value| * 10^k is m * 10^k / 2^s, split exactly into an integer part of 15
// digits and a remainder. Returns false outside that range.
bool appendGeneralFast(std::string &out, long double value, char separator)
{
    std::uint64_t mantissa;
    int binaryExponent;
    bool negative;
    if (!binaryParts(value, mantissa, binaryExponent, negative) || binaryExponent < -16
        || binaryExponent > 49)
        return false;
    const int shift = 63 - binaryExponent; // 14 to 79
    // floor(binaryExponent * log10(2)): the decimal exponent is this or one more.
    int decimalExponent = (binaryExponent * 78913) >> 18;
    int scale = kGeneralDigits - 1 - decimalExponent; // 0 to 19
    __extension__ typedef unsigned __int128 Wide;
    Wide scaled = static_cast<Wide>(mantissa) * kPowers[scale];
    Wide integer = scaled >> shift;
    if (integer >= kPowers[kGeneralDigits]) {
        ++decimalExponent;
        if (--scale < 0)
            return false;
        scaled = static_cast<Wide>(mantissa) * kPowers[scale];
        integer = scaled >> shift;
    }
    const Wide remainder = scaled & ((static_cast<Wide>(1) << shift) - 1);
    // The 18-digit rounding lands on .500 or above exactly when the remainder is at least
    // .4995 (a tie there goes to the even .500).
    std::uint64_t rounded = static_cast<std::uint64_t>(integer);
    if (remainder * 2000 >= static_cast<Wide>(999) << shift)
        ++rounded;
    int exponent = decimalExponent + 1;
    if (rounded == kPowers[kGeneralDigits]) {
        rounded = kPowers[kGeneralDigits - 1];
        ++exponent;
    }
    char digits[kGeneralDigits];
    writeFifteenDigits(digits, rounded);
    int count = kGeneralDigits;
    while (digits[count - 1] == '0')
        --count;
    appendGeneralDigits(out, negative, digits, count, exponent, separator);
    return true;
}

int patternDecimals(koravel::FixedPattern pattern)
{
    switch (pattern) {
    case koravel::FixedPattern::ThreeDecimals:
        return 3;
    case koravel::FixedPattern::OneDecimal:
        return 1;
    case koravel::FixedPattern::NoDecimals:
        break;
    }
    return 0;
}

void appendZeroForm(std::string &out, int decimals, char separator)
{
    out += '0';
    if (decimals > 0) {
        out += separator;
        out.append(static_cast<std::size_t>(decimals), '0');
    }
}

// The fixed pattern of a value rounded to `units`, the count of 10^-decimals in its magnitude.
void appendFixedUnits(
    std::string &out, bool negative, std::uint64_t units, int decimals, char separator)
{
    if (units == 0) {
        appendZeroForm(out, decimals, separator);
        return;
    }
    char buffer[32];
    char *const end = buffer + sizeof buffer;
    char *p = end;
    if (decimals > 0) {
        const std::uint64_t unit = kPowers[decimals];
        p = writeDigitsBackwards(p, units % unit, decimals);
        *--p = separator;
        p = writeNumberBackwards(p, units / unit);
    } else {
        p = writeNumberBackwards(p, units);
    }
    if (negative)
        *--p = '-';
    out.append(p, end);
}

// Exact path of the fixed patterns for every finite value.
void appendFixedExact(std::string &out, long double value, int decimals, char separator)
{
    const bool negative = std::signbit(value);
    if (value == 0) {
        appendZeroForm(out, decimals, separator);
        return;
    }
    char digits[kJudgedDigits + 1];
    const int exponent = judgedDigits(std::fabs(value), digits + 1);
    digits[0] = '0';
    if (exponent + 1 > kJudgedDigits) {
        appendGeneralExact(out, value, separator);
        return;
    }
    // Digits kept: those with place value 10^-decimals or more, after the leading '0'.
    const int kept = exponent + 1 + decimals;
    char result[kJudgedDigits + 8];
    int length = 0;
    if (kept <= 0) {
        // Below half a unit unless the first digit sits just below the unit and is 5 or more.
        const bool up = kept == 0 && digits[1] >= '5';
        result[length++] = up ? '1' : '0';
    } else if (kept >= kJudgedDigits) {
        std::memcpy(result, digits + 1, kJudgedDigits);
        length = kJudgedDigits;
        std::memset(result + length, '0', kept - kJudgedDigits);
        length += kept - kJudgedDigits;
    } else {
        std::memcpy(result, digits, kept + 1); // with the leading '0' to take a carry
        length = kept + 1;
        if (digits[kept + 1] >= '5')
            incrementDigits(result, length);
    }
    // result holds the magnitude in units of 10^-decimals, possibly with leading zeros.
    int first = 0;
    while (first < length && result[first] == '0')
        ++first;
    if (first == length) {
        appendZeroForm(out, decimals, separator);
        return;
    }
    std::string text;
    if (negative)
        text += '-';
    const int significant = length - first;
    if (significant <= decimals) {
        text += '0';
        if (decimals > 0) {
            text += separator;
            text.append(static_cast<std::size_t>(decimals - significant), '0');
            text.append(result + first, significant);
        }
    } else {
        text.append(result + first, significant - decimals);
        if (decimals > 0) {
            text += separator;
            text.append(result + length - decimals, decimals);
        }
    }
    out += text;
}

// Number of decimal digits of value; 0 for zero.
int decimalDigits(std::uint64_t value)
{
    int count = 0;
    while (count < 20 && value >= kPowers[count])
        ++count;
    return count;
}

// Fast path of the fixed patterns, in integer arithmetic, for magnitudes below 2^46 (about
// 7 * 10^13). Scaled by 10^decimals the value is m * 10^decimals / 2^s exactly: an integer
// part and a remainder. The half between two results has at most 18 significant digits there,
// so it is a multiple of the 18th-digit unit u and no value can lie exactly u/2 below it (that
// point has a factor 5 too many to be binary). The 18-digit rounding therefore reaches the half
// exactly when the value is no more than u/2 below it; a quick test on the remainder's top 64
// bits settles all but those few values, which are then compared exactly.
bool appendFixedFast(std::string &out, long double value, int decimals, char separator)
{
    std::uint64_t mantissa;
    int binaryExponent;
    bool negative;
    if (!binaryParts(value, mantissa, binaryExponent, negative)) {
        if (value != 0) // denormals, infinity and not-a-number
            return false;
        appendZeroForm(out, decimals, separator);
        return true;
    }
    if (binaryExponent > 45)
        return false;
    if (binaryExponent < -20) {
        // Below 10^-6: far from the half of the smallest unit, 0.0005.
        appendZeroForm(out, decimals, separator);
        return true;
    }
    __extension__ typedef unsigned __int128 Wide;
    const int shift = 63 - binaryExponent; // 18 to 83
    const Wide one = static_cast<Wide>(1) << shift;
    const Wide scaled = static_cast<Wide>(mantissa) * kPowers[decimals];
    const auto integer = static_cast<std::uint64_t>(scaled >> shift);
    const Wide remainder = scaled & (one - 1);
    bool up = remainder >= (one >> 1);
    if (!up) {
        // u/2, in units of 2^-64 of the scaled value, is below (integer + 1) * 10^-17 * 2^63.
        const auto top = static_cast<std::uint64_t>((remainder << (128 - shift)) >> 64);
        const std::uint64_t belowHalf = (std::uint64_t(1) << 63) - top;
        if (belowHalf <= (integer + 1) * 93 + 1) {
            // u/2 is 10^-t / 2 of the scaled value, with t = 18 - digits of the integer part.
            const int t = 18 - decimalDigits(integer);
            up = (one - 2 * remainder) * kPowers[t] <= one;
        }
    }
    appendFixedUnits(out, negative, integer + (up ? 1 : 0), decimals, separator);
    return true;
}

} // namespace

namespace koravel {

void appendFloatToStr(std::string &out, long double value, const FormatSettings &settings)
{
    // The fast path turns down zero, infinity and not-a-number along with what it cannot round.
    if (appendGeneralFast(out, value, settings.decimalSeparator))
        return;
    if (appendNonFinite(out, value))
        return;
    if (value == 0) {
        out += '0';
        return;
    }
    appendGeneralExact(out, value, settings.decimalSeparator);
}

std::string floatToStr(long double value, const FormatSettings &settings)
{
    std::string out;
    appendFloatToStr(out, value, settings);
    return out;
}

void appendFormatFloat(
    std::string &out, FixedPattern pattern, long double value, const FormatSettings &settings)
{
    const int decimals = patternDecimals(pattern);
    if (appendFixedFast(out, value, decimals, settings.decimalSeparator))
        return;
    if (appendNonFinite(out, value))
        return;
    appendFixedExact(out, value, decimals, settings.decimalSeparator);
}

std::string formatFloat(FixedPattern pattern, long double value, const FormatSettings &settings)
{
    std::string out;
    appendFormatFloat(out, pattern, value, settings);
    return out;
}

} // namespace koravel
