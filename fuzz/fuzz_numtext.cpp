// Fuzz target for the number text: integer and real reading either return a value or raise
// their conversion error, agreeing with a plain reading of the rules and with the C library's
// correctly rounded strtold; the writers agree with a reference built on glibc's exact printf,
// and what they write reads back to the same text.
//
// Input: the first byte chooses the decimal separator (bit 0) and what the rest is (bits 1-2):
// text to read, the bits of an extended real, the bits of a double, or the bits of an integer.
// With bit 3 set, an extended real is an integer over a power of two instead (m / 2^s, s below
// 96), which reaches the halves and the magnitudes the patterns care about far more often; with
// bit 4 set as well, it is aimed at a half: an integer plus .4995 to .5005, over a power of ten
// (the last kept digit of the general format or of a fixed pattern).
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "numtext/error.h"
#include "numtext/numtext.h"

using namespace koravel;
using namespace koravel::fuzz;

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigit(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// --- reading: the rules read plainly ---------------------------------------------------------

std::optional<std::int32_t> referenceInt(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    std::string_view rest = text.substr(at);
    bool hex = false;
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        hex = true;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        hex = true;
        rest.remove_prefix(2);
    }
    if (rest.empty())
        return std::nullopt;
    for (const char c : rest) {
        if (hex ? hexDigit(c) < 0 : !isDigit(c))
            return std::nullopt;
    }
    while (rest.size() > 1 && rest[0] == '0')
        rest.remove_prefix(1);
    if (hex) {
        if (rest.size() > 8)
            return std::nullopt;
        std::uint32_t bits = 0;
        for (const char c : rest)
            bits = bits * 16 + static_cast<std::uint32_t>(hexDigit(c));
        if (negative)
            bits = ~bits + 1;
        std::int32_t value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    if (rest.size() > 10)
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (const char c : rest)
        magnitude = magnitude * 10 + (c - '0');
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// The accepted real texts, rewritten for strtold in the C locale: nothing when the text fails
// the rules; "overflow" is set when the value lies beyond the extended range.
std::optional<long double> referenceFloat(std::string_view text, char separator, bool &overflow)
{
    overflow = false;
    std::size_t at = 0;
    const std::size_t size = text.size();
    while (at < size && text[at] == ' ')
        ++at;
    std::string c;
    if (at < size && (text[at] == '+' || text[at] == '-'))
        c += text[at++];
    bool digits = false;
    bool point = false;
    std::string mantissa;
    while (at < size && isDigit(text[at])) {
        mantissa += text[at++];
        digits = true;
    }
    if (at < size && text[at] == separator) {
        point = true;
        mantissa += '.';
        ++at;
        while (at < size && isDigit(text[at])) {
            mantissa += text[at++];
            digits = true;
        }
    }
    if (!digits && !point)
        return std::nullopt;
    // strtold wants a digit: "." reads as zero, ".5" as 0.5, "5." as 5.
    c += '0';
    c += mantissa;
    if (!digits)
        c += '0';
    long exponent = 0;
    bool negativeExponent = false;
    if (at < size && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < size && (text[at] == '+' || text[at] == '-'))
            negativeExponent = text[at++] == '-';
        while (at < size && isDigit(text[at]) && exponent < 500)
            exponent = exponent * 10 + (text[at++] - '0');
    }
    while (at < size && text[at] == ' ')
        ++at;
    if (at != size)
        return std::nullopt;
    c += 'e';
    c += negativeExponent ? "-" : "";
    c += std::to_string(exponent);
    errno = 0;
    const long double value = std::strtold(c.c_str(), nullptr);
    if (std::isinf(value))
        overflow = true;
    return value;
}

std::string showReal(long double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.21Lg", value);
    return text;
}

// A read value may differ from the correctly rounded one by one unit in the last place.
bool withinOneUnit(long double got, long double expected)
{
    if (got == expected)
        return std::signbit(got) == std::signbit(expected) || got != 0;
    return got == std::nextafter(expected, got) && got != 0 && expected != 0;
}

// --- writing: a reference on glibc's exact printf ---------------------------------------------

// |value| rounded to 18 significant digits, to nearest with ties to even, exactly:
// |value| = 0.digits x 10^point.
struct Decimal18
{
    std::string digits; // 18 digits
    int point = 0;
};

Decimal18 decimal18(long double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17Le", std::fabs(value));
    Decimal18 out;
    out.digits += text[0];
    out.digits.append(text + 2, 17);
    out.point = std::atoi(text + 20) + 1;
    return out;
}

// digits incremented by one unit in the last place; true when it carried out of the front.
bool increment(std::string &digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::string referenceFloatToStr(long double value, char separator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    Decimal18 d = decimal18(value);
    std::string digits = d.digits.substr(0, 15);
    int point = d.point;
    if (d.digits[15] >= '5' && increment(digits)) {
        digits.pop_back();
        ++point;
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    if (point >= -3 && point <= 15) {
        if (point >= 1) {
            std::string integer = digits.substr(0, std::min<std::size_t>(digits.size(), point));
            integer.append(std::size_t(point) - integer.size(), '0');
            out += integer;
            if (digits.size() > std::size_t(point)) {
                out += separator;
                out += digits.substr(std::size_t(point));
            }
        } else {
            out += '0';
            out += separator;
            out.append(std::size_t(-point), '0');
            out += digits;
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += separator;
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(point - 1);
    }
    return out;
}

int patternDecimals(FixedPattern pattern)
{
    return pattern == FixedPattern::ThreeDecimals ? 3 : pattern == FixedPattern::OneDecimal ? 1 : 0;
}

std::string referenceFormatFloat(FixedPattern pattern, long double value, char separator)
{
    const int decimals = patternDecimals(pattern);
    if (!std::isfinite(value))
        return referenceFloatToStr(value, separator);
    std::string units = "0"; // the rounded magnitude in units of 10^-decimals
    if (value != 0) {
        const Decimal18 d = decimal18(value);
        if (d.point > 18)
            return referenceFloatToStr(value, separator);
        const int keep = d.point + decimals; // digits before the cut
        if (keep >= 0) {
            std::string digits = d.digits;
            digits.append(std::size_t(std::max(0, keep - 18)), '0');
            units = keep > 0 ? digits.substr(0, std::size_t(keep)) : "0";
            if (std::size_t(keep) < digits.size() && digits[std::size_t(keep)] >= '5')
                increment(units);
        }
    }
    while (units.size() > 1 && units[0] == '0')
        units.erase(0, 1);
    const bool zero = units == "0";
    if (units.size() <= std::size_t(decimals))
        units.insert(0, std::size_t(decimals) + 1 - units.size(), '0');
    std::string out = !zero && value < 0 ? "-" : "";
    out += units.substr(0, units.size() - std::size_t(decimals));
    if (decimals > 0) {
        out += separator;
        out += units.substr(units.size() - std::size_t(decimals));
    }
    return out;
}

// --- the checks ------------------------------------------------------------------------------

void checkWriters(long double value, const FormatSettings &settings)
{
    const char separator = settings.decimalSeparator;
    const std::string general = floatToStr(value, settings);
    expectEqual(
        "floatToStr(" + showReal(value) + ")", general, referenceFloatToStr(value, separator));
    if (std::isfinite(value)) {
        // What the general format writes reads back, and writes again the same text.
        long double back = 0;
        try {
            back = strToFloat(general, settings);
        } catch (const Error &error) {
            fail("strToFloat(floatToStr(" + showReal(value) + "))", error.message(), general);
        }
        expectEqual(
            "floatToStr(strToFloat(\"" + general + "\"))", floatToStr(back, settings), general);
    } else {
        // INF and NAN are written but never read.
        bool raised = false;
        try {
            strToFloat(general, settings);
        } catch (const Error &) {
            raised = true;
        }
        expect(raised, "strToFloat(\"" + general + "\") must fail");
    }
    for (const FixedPattern pattern :
        { FixedPattern::ThreeDecimals, FixedPattern::OneDecimal, FixedPattern::NoDecimals }) {
        const std::string fixed = formatFloat(pattern, value, settings);
        expectEqual("formatFloat(" + std::to_string(patternDecimals(pattern)) + " decimals, "
                + showReal(value) + ")",
            fixed, referenceFormatFloat(pattern, value, separator));
        if (std::isfinite(value) && std::fabs(value) < 1e17L) {
            // Read back, the text lies within half a unit of the pattern (and the 18-digit
            // judgement of the half) of the value.
            const long double back = strToFloat(fixed, settings);
            const long double unit = std::pow(10.0L, -patternDecimals(pattern));
            expect(std::fabs(back - value) <= unit / 2 + std::fabs(value) * 1e-17L + 1e-30L,
                "formatFloat(" + showReal(value) + ") = \"" + fixed + "\" reads back too far");
        }
    }
}

void checkReading(std::string_view text, const FormatSettings &settings)
{
    const std::string shown = "\"" + std::string(text) + "\"";

    const std::optional<std::int32_t> expectedInt = referenceInt(text);
    try {
        const std::int32_t value = strToInt(text);
        if (!expectedInt)
            fail("strToInt(" + shown + ") should fail", std::to_string(value), "an error");
        expectEqual("strToInt(" + shown + ")", std::to_string(value), std::to_string(*expectedInt));
        expectEqual("strToInt(intToStr(v))", std::to_string(strToInt(intToStr(value))),
            std::to_string(value));
    } catch (const Error &error) {
        expectEqual("strToInt(" + shown + ") error", error.message(), invalidIntegerMessage(text));
        if (expectedInt)
            fail("strToInt(" + shown + ")", error.message(), std::to_string(*expectedInt));
    }

    bool overflow = false;
    const std::optional<long double> expectedFloat =
        referenceFloat(text, settings.decimalSeparator, overflow);
    try {
        const long double value = strToFloat(text, settings);
        if (!expectedFloat || overflow)
            fail("strToFloat(" + shown + ") should fail", showReal(value), "an error");
        if (!withinOneUnit(value, *expectedFloat))
            fail("strToFloat(" + shown + ")", showReal(value), showReal(*expectedFloat));
        checkWriters(value, settings);
    } catch (const Error &error) {
        expectEqual("strToFloat(" + shown + ") error", error.message(), invalidFloatMessage(text));
        if (expectedFloat && !overflow)
            fail("strToFloat(" + shown + ")", error.message(), showReal(*expectedFloat));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const FormatSettings settings { (data[0] & 1) != 0 ? ',' : '.' };
    const int mode = (data[0] >> 1) & 3;
    const std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    switch (mode) {
    case 0:
        checkReading(rest, settings);
        break;
    case 1: {
        unsigned char bytes[16] = {};
        std::memcpy(bytes, rest.data(), std::min<std::size_t>(rest.size(), 10));
        std::uint64_t mantissa;
        std::memcpy(&mantissa, bytes, 8);
        if ((data[0] & 24) == 24) {
            const long double tail = 0.4995L + bytes[8] * 0.001L / 256;
            const int power = bytes[9] % 32 - 16;
            const long double whole = static_cast<long double>(mantissa % 1000000000000000u);
            checkWriters((whole + tail) * std::pow(10.0L, power), settings);
            break;
        }
        if ((data[0] & 8) != 0) {
            const long double magnitude =
                std::ldexp(static_cast<long double>(mantissa), -(bytes[8] % 96));
            checkWriters((bytes[9] & 1) != 0 ? -magnitude : magnitude, settings);
            break;
        }
        // Any valid extended real: the integer bit follows from the exponent.
        const unsigned exponent = (bytes[8] | (bytes[9] << 8)) & 0x7FFFu;
        if (exponent == 0)
            mantissa &= ~(std::uint64_t(1) << 63);
        else
            mantissa |= std::uint64_t(1) << 63;
        std::memcpy(bytes, &mantissa, 8);
        long double value = 0;
        std::memcpy(&value, bytes, 10);
        checkWriters(value, settings);
        break;
    }
    case 2: {
        double value = 0;
        std::memcpy(&value, rest.data(), std::min(rest.size(), sizeof value));
        checkWriters(value, settings);
        break;
    }
    default: {
        std::int32_t value = 0;
        std::memcpy(&value, rest.data(), std::min(rest.size(), sizeof value));
        const std::string text = intToStr(value);
        expectEqual("strToInt(intToStr(v))", std::to_string(strToInt(text)), std::to_string(value));
        expectEqual("intToStr(v)", text, std::to_string(value));
        break;
    }
    }
    return 0;
}
