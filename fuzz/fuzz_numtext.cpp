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
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz_check.h"
#include "numtext/error.h"
#include "numtext/numtext.h"

using namespace koravel;
using namespace koravel::fuzz;

namespace {

constexpr auto npos = std::string_view::npos;

constexpr auto isDigit = [](char c) { return c >= '0' && c <= '9'; };

// --- reading: the rules read plainly ---------------------------------------------------------

std::optional<std::int32_t> referenceInt(std::string_view text)
{
    std::string_view rest = text.substr(std::min(text.find_first_not_of(' '), text.size()));
    const bool negative = rest.starts_with('-');
    if (negative || rest.starts_with('+'))
        rest.remove_prefix(1);
    int base = 10;
    for (const std::string_view prefix : { "$", "x", "X", "0x", "0X" }) {
        if (rest.starts_with(prefix)) {
            base = 16;
            rest.remove_prefix(prefix.size());
            break;
        }
    }
    if (rest.empty()
        || rest.find_first_not_of(base == 16 ? "0123456789abcdefABCDEF" : "0123456789") != npos)
        return std::nullopt;
    rest.remove_prefix(std::min(rest.find_first_not_of('0'), rest.size() - 1));
    if (rest.size() > (base == 16 ? 8u : 10u))
        return std::nullopt;
    const long long magnitude = std::stoll(std::string(rest), nullptr, base);
    const long long value = negative ? -magnitude : magnitude;
    if (base == 16) // a 32-bit two's-complement pattern
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// The accepted real texts, rewritten for strtold in the C locale (infinite beyond the extended
// range); nothing when the text breaks the rules.
std::optional<long double> referenceFloat(std::string_view text, char separator)
{
    std::size_t at = std::min(text.find_first_not_of(' '), text.size());
    const auto next = [&](auto accepts) { return at < text.size() && accepts(text[at]); };
    const auto digits = [&] {
        const std::size_t from = at;
        while (next(isDigit))
            ++at;
        return std::string(text.substr(from, at - from));
    };
    const std::string sign =
        next([](char c) { return c == '+' || c == '-'; }) ? std::string(1, text[at++]) : "";
    const std::string integer = digits();
    const bool point = next([&](char c) { return c == separator; });
    const std::string fraction = point ? (++at, digits()) : "";
    if (integer.empty() && !point)
        return std::nullopt;
    long exponent = 0;
    bool negativeExponent = false;
    if (next([](char c) { return c == 'e' || c == 'E'; })) {
        ++at;
        if (next([](char c) { return c == '+' || c == '-'; }))
            negativeExponent = text[at++] == '-';
        while (next(isDigit) && exponent < 500) // the digits after the 500th stay unread
            exponent = exponent * 10 + (text[at++] - '0');
    }
    if (text.find_first_not_of(' ', at) != npos)
        return std::nullopt;
    const std::string c = sign + "0" + integer + "." + fraction + "0e"
        + (negativeExponent ? "-" : "") + std::to_string(exponent);
    return std::strtold(c.c_str(), nullptr);
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
// (digits, point) with |value| = 0.digits x 10^point.
std::pair<std::string, int> decimal18(long double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17Le", std::fabs(value));
    return { text[0] + std::string(text + 2, 17), std::atoi(text + 20) + 1 };
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
    auto [all, point] = decimal18(value);
    std::string digits = all.substr(0, 15);
    if (all[15] >= '5' && increment(digits)) {
        digits.pop_back();
        ++point;
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    const std::string sign = value < 0 ? "-" : "";
    if (point < -3 || point > 15)
        return sign + digits[0] + (digits.size() > 1 ? separator + digits.substr(1) : "") + "E"
            + std::to_string(point - 1);
    if (point <= 0) {
        digits.insert(0, std::size_t(1 - point), '0');
        point = 1;
    }
    digits.resize(std::max(digits.size(), std::size_t(point)), '0');
    if (digits.size() > std::size_t(point))
        digits.insert(std::size_t(point), 1, separator);
    return sign + digits;
}

std::string referenceFormatFloat(int decimals, long double value, char separator)
{
    if (!std::isfinite(value) || decimal18(value).second > 18)
        return referenceFloatToStr(value, separator);
    std::string units = "0"; // the rounded magnitude in units of 10^-decimals
    if (auto [digits, point] = decimal18(value); value != 0 && point + decimals >= 0) {
        const std::size_t keep = std::size_t(point + decimals); // digits before the cut
        digits.resize(std::max<std::size_t>(18, keep), '0');
        units += digits.substr(0, keep);
        if (keep < digits.size() && digits[keep] >= '5')
            increment(units);
    }
    units.erase(0, std::min(units.find_first_not_of('0'), units.size() - 1));
    const std::string sign = units != "0" && value < 0 ? "-" : "";
    if (units.size() <= std::size_t(decimals))
        units.insert(0, std::size_t(decimals) + 1 - units.size(), '0');
    if (decimals > 0)
        units.insert(units.size() - std::size_t(decimals), 1, separator);
    return sign + units;
}

// --- the checks ------------------------------------------------------------------------------

void checkWriters(long double value, const FormatSettings &settings)
{
    const std::string general = floatToStr(value, settings);
    const std::string shown = showReal(value);
    expectEqual("floatToStr(" + shown + ")", general,
        referenceFloatToStr(value, settings.decimalSeparator));
    // What the general format writes reads back and writes again the same text; INF and NAN
    // are written but never read.
    const std::string back =
        outcome([&] { return floatToStr(strToFloat(general, settings), settings); });
    expectEqual("floatToStr(strToFloat(\"" + general + "\"))", back,
        std::isfinite(value) ? "= " + general : "error " + invalidFloatMessage(general));
    for (const auto &[pattern, decimals] : { std::pair(FixedPattern::ThreeDecimals, 3),
             std::pair(FixedPattern::OneDecimal, 1), std::pair(FixedPattern::NoDecimals, 0) }) {
        const std::string fixed = formatFloat(pattern, value, settings);
        const std::string what = "formatFloat(" + std::to_string(decimals) + ", " + shown + ")";
        expectEqual(what, fixed, referenceFormatFloat(decimals, value, settings.decimalSeparator));
        // Read back, the text lies within half a unit of the pattern (and the 18-digit
        // judgement of the half) of the value.
        if (std::isfinite(value) && std::fabs(value) < 1e17L)
            expect(std::fabs(strToFloat(fixed, settings) - value)
                    <= std::pow(10.0L, -decimals) / 2 + std::fabs(value) * 1e-17L + 1e-30L,
                what + " reads back too far");
    }
}

void checkReading(std::string_view text, const FormatSettings &settings)
{
    const std::string shown = "(\"" + std::string(text) + "\")";
    const std::optional<std::int32_t> expectedInt = referenceInt(text);
    expectEqual("strToInt" + shown, outcome([&] { return std::to_string(strToInt(text)); }),
        expectedInt ? "= " + std::to_string(*expectedInt) : "error " + invalidIntegerMessage(text));

    const std::optional<long double> expected = referenceFloat(text, settings.decimalSeparator);
    long double value = 0;
    const std::string got = outcome([&] {
        value = strToFloat(text, settings);
        return showReal(value);
    });
    if (!expected || std::isinf(*expected))
        expectEqual("strToFloat" + shown, got, "error " + invalidFloatMessage(text));
    else if (got.starts_with("error") || !withinOneUnit(value, *expected))
        fail("strToFloat" + shown, got, "= " + showReal(*expected));
    else
        checkWriters(value, settings);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const FormatSettings settings { (data[0] & 1) != 0 ? ',' : '.' };
    const std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    unsigned char bytes[16] = {};
    std::memcpy(bytes, rest.data(), std::min<std::size_t>(rest.size(), 10));
    std::uint64_t mantissa;
    std::memcpy(&mantissa, bytes, 8);
    switch ((data[0] >> 1) & 3) {
    case 0:
        checkReading(rest, settings);
        break;
    case 1:
        if ((data[0] & 24) == 24) {
            const long double tail = 0.4995L + bytes[8] * 0.001L / 256;
            const long double whole = static_cast<long double>(mantissa % 1000000000000000u);
            checkWriters((whole + tail) * std::pow(10.0L, bytes[9] % 32 - 16), settings);
        } else if ((data[0] & 8) != 0) {
            const long double magnitude =
                std::ldexp(static_cast<long double>(mantissa), -(bytes[8] % 96));
            checkWriters((bytes[9] & 1) != 0 ? -magnitude : magnitude, settings);
        } else {
            // Any valid extended real: the integer bit follows from the exponent.
            const std::uint64_t integerBit = std::uint64_t(1) << 63;
            mantissa = (bytes[8] | bytes[9] << 8) & 0x7FFF ? mantissa | integerBit
                                                           : mantissa & ~integerBit;
            std::memcpy(bytes, &mantissa, 8);
            long double value;
            std::memcpy(&value, bytes, 10);
            checkWriters(value, settings);
        }
        break;
    case 2: {
        double value;
        std::memcpy(&value, bytes, sizeof value);
        checkWriters(value, settings);
        break;
    }
    default: {
        std::int32_t value;
        std::memcpy(&value, bytes, sizeof value);
        const std::string text = intToStr(value);
        expectEqual("intToStr(" + std::to_string(value) + ")", text, std::to_string(value));
        expectEqual("strToInt(" + text + ")", std::to_string(strToInt(text)), text);
        break;
    }
    }
    return 0;
}
