// Number text: reading integers and reals from text, and writing integers.
#include "numtext/numtext.h"

#include "numtext/error.h"
#include "platform/system.h"

#include <charconv>
#include <cstring>
#include <string>

namespace {

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

[[noreturn]] void failInteger(std::string_view text)
{
    throw koravel::Error(koravel::invalidIntegerMessage(text));
}
[[noreturn]] void failFloat(std::string_view text)
{
    throw koravel::Error(koravel::invalidFloatMessage(text));
}

// Powers of ten that the extended format holds exactly (5^27 still fits in 64 bits).
constexpr long double kExactPowers[] = { 1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L, 1e9L,
    1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L,
    1e23L, 1e24L, 1e25L, 1e26L, 1e27L };
constexpr int kMaxExactPower = 27;
constexpr int kMaxExactDigits = 19; // every 19-digit integer fits in 64 bits

// Reads "<digits>e<exponent>" in the C conventions, whatever the process locale says.
// Returns false when the value lies beyond the extended range or below its normal range
// (the caller tells which from the magnitude).
bool readNormalized(const std::string &digits, std::int64_t exponent, long double &value)
{
    std::string text = digits;
    text += 'e';
    text += std::to_string(exponent);
    return koravel::platform::readExtended(text, value);
}

// Both readings begin alike: blanks (code 32 only, not tabs), then at most one sign.
//   " -12" -> points at "12", negative
const char *skipBlanksAndSign(const char *p, const char *end, bool &negative)
{
    while (p != end && *p == ' ')
        ++p;
    negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    return p;
}

} // namespace

namespace koravel {

std::int32_t strToInt(std::string_view text)
{
    const char *const end = text.data() + text.size();
    bool negative = false;
    const char *p = skipBlanksAndSign(text.data(), end, negative);
    if (p == end)
        failInteger(text);

    bool hex = false;
    if (*p == '$' || *p == 'x' || *p == 'X') {
        hex = true;
        ++p;
    } else if (*p == '0' && end - p >= 2 && (p[1] == 'x' || p[1] == 'X')) {
        hex = true;
        p += 2;
    }
    if (p == end)
        failInteger(text);

    if (hex) {
        std::uint32_t bits = 0;
        int significant = 0;
        for (; p != end; ++p) {
            const int digit = hexValue(*p);
            if (digit < 0)
                failInteger(text);
            if (significant > 0 || digit != 0) {
                if (++significant > 8)
                    failInteger(text);
            }
            bits = (bits << 4) | static_cast<std::uint32_t>(digit);
        }
        // A "-" negates the 32-bit pattern, wrapping around: "-$80000000" stays -2^31.
        if (negative)
            bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }

    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    std::uint64_t magnitude = 0;
    for (; p != end; ++p) {
        if (!isDigit(*p))
            failInteger(text);
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p - '0');
        if (magnitude > limit)
            failInteger(text);
    }
    const std::int64_t value =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(value);
}

long double strToFloat(std::string_view text, const FormatSettings &settings)
{
    const char separator = settings.decimalSeparator;
    const char *const end = text.data() + text.size();
    bool negative = false;
    const char *p = skipBlanksAndSign(text.data(), end, negative);

    // The first 19 significant digits go into an integer; later ones only move the exponent,
    // and a nonzero one among them sends the reading to the exact path.
    const char *const mantissaStart = p;
    std::uint64_t accumulated = 0;
    int significant = 0;
    bool dropped = false;
    std::int64_t scale = 0; // the value is accumulated * 10^(scale + exponent)
    bool anyDigit = false;
    const char *separatorAt = nullptr;
    for (; p != end && isDigit(*p); ++p) {
        anyDigit = true;
        const int digit = *p - '0';
        if (significant < kMaxExactDigits) {
            accumulated = accumulated * 10 + static_cast<std::uint64_t>(digit);
            if (accumulated != 0)
                ++significant;
        } else {
            ++scale;
            dropped = dropped || digit != 0;
        }
    }
    if (p != end && *p == separator) {
        separatorAt = p;
        for (++p; p != end && isDigit(*p); ++p) {
            anyDigit = true;
            const int digit = *p - '0';
            if (significant < kMaxExactDigits) {
                accumulated = accumulated * 10 + static_cast<std::uint64_t>(digit);
                if (accumulated != 0)
                    ++significant;
                --scale;
            } else {
                dropped = dropped || digit != 0;
            }
        }
    }
    const char *const mantissaEnd = p;
    if (!anyDigit && separatorAt == nullptr)
        failFloat(text);

    // Exponent digits are read while the exponent so far is below 500; a digit after the one
    // that reaches 500 is left over and fails as a trailing character.
    std::int64_t exponent = 0;
    if (p != end && (*p == 'E' || *p == 'e')) {
        ++p;
        bool negativeExponent = false;
        if (p != end && (*p == '+' || *p == '-')) {
            negativeExponent = *p == '-';
            ++p;
        }
        while (p != end && isDigit(*p) && exponent < 500) {
            exponent = exponent * 10 + (*p - '0');
            ++p;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    while (p != end && *p == ' ')
        ++p;
    if (p != end)
        failFloat(text);

    long double value = 0.0L;
    const std::int64_t power = scale + exponent;
    if (accumulated == 0 && !dropped) {
        value = 0.0L;
    } else if (!dropped && power >= -kMaxExactPower && power <= kMaxExactPower) {
        // Both operands are exact, so the one operation rounds correctly.
        const long double mantissa = static_cast<long double>(accumulated);
        value = power >= 0 ? mantissa * kExactPowers[power] : mantissa / kExactPowers[-power];
    } else {
        // The significant digits without the separator, for a correctly rounded reading.
        std::string digits;
        std::int64_t fractionDigits = 0;
        for (const char *q = mantissaStart; q != mantissaEnd; ++q) {
            if (q == separatorAt)
                continue;
            if (separatorAt != nullptr && q > separatorAt)
                ++fractionDigits;
            if (!digits.empty() || *q != '0')
                digits += *q;
        }
        const std::int64_t digitExponent = exponent - fractionDigits;
        if (!readNormalized(digits, digitExponent, value)) {
            // Beyond the range when the value is at least 1; otherwise it is too small for the
            // extended format and loses precision towards zero.
            const std::int64_t magnitude = digitExponent + static_cast<std::int64_t>(digits.size());
            if (magnitude > 0)
                failFloat(text);
            long double raised = 0.0L;
            value = readNormalized(digits, digitExponent + 64, raised) ? raised * 1e-64L : 0.0L;
        }
    }
    return negative ? -value : value;
}

void appendInt(std::string &out, std::int64_t value)
{
    char buffer[24];
    char *const end = buffer + sizeof buffer;
    char *p = end;
    std::uint64_t magnitude =
        value < 0 ? 0u - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--p = '-';
    out.append(p, end);
}

std::string intToStr(std::int64_t value)
{
    std::string out;
    appendInt(out, value);
    return out;
}

std::string decimalSeparatorHint(std::string_view message, const FormatSettings &settings)
{
    constexpr std::string_view kTail = "' is not a valid floating point value";
    if (!message.starts_with('\'') || !message.ends_with(kTail))
        return {};
    const std::string_view text = message.substr(1, message.size() - 1 - kTail.size());
    const FormatSettings other { settings.decimalSeparator == ',' ? '.' : ',' };
    if (text.find(other.decimalSeparator) == std::string_view::npos)
        return {};
    try {
        strToFloat(text, other);
    } catch (const Error &) {
        return {};
    }
    return other.decimalSeparator == ','
        ? "Os dados parecem usar v\xEDrgula como separador decimal: escolha \"V\xEDrgula\" em "
          ".:: Op\xE7\xF5"
          "es ::. e fa\xE7"
          "a a predi\xE7\xE3o de novo."
        : "Os dados parecem usar ponto como separador decimal: escolha \"Ponto\" em "
          ".:: Op\xE7\xF5"
          "es ::. e fa\xE7"
          "a a predi\xE7\xE3o de novo.";
}

} // namespace koravel
