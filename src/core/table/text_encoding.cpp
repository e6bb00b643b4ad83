// The one place where the single-byte text meets Unicode: UTF-8 for the terminal, and data files
// saved as UTF-8 or UTF-16.
#include "table/text_encoding.h"

#include <cstddef>

namespace koravel {

namespace {

    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16LowFirst = "\xFF\xFE";
    constexpr std::string_view kUtf16HighFirst = "\xFE\xFF";

    // Code units of two bytes; a unit beyond the single-byte range (a surrogate half included)
    // becomes "?"; an odd last byte is dropped.
    std::string fromUtf16(std::string_view units, bool lowFirst)
    {
        std::string text;
        text.reserve(units.size() / 2);
        for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
            const auto first = static_cast<unsigned char>(units[i]);
            const auto second = static_cast<unsigned char>(units[i + 1]);
            const unsigned unit = lowFirst ? (second << 8 | first) : (first << 8 | second);
            text += unit < 0x100 ? static_cast<char>(unit) : '?';
        }
        return text;
    }

    std::string_view beforeNul(std::string_view text)
    {
        return text.substr(0, text.find('\0'));
    }

} // namespace

std::string latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 8);
    for (const char c : latin1) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string utf8ToLatin1(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 1;
        char32_t code = lead;
        if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
            code = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0x80) {
            out += '?'; // a stray continuation byte
            ++i;
            continue;
        }
        if (i + length > utf8.size()) {
            out += '?';
            break;
        }
        bool valid = true;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = valid && (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        out += valid && code < 0x100 ? static_cast<char>(code) : '?';
        i += valid ? length : 1;
    }
    return out;
}

bool isUtf8(std::string_view text, bool *multiByte)
{
    if (multiByte)
        *multiByte = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF; // the range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (second < low || second > high)
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        if (multiByte)
            *multiByte = true;
        i += length;
    }
    return true;
}

std::string singleByteText(std::string bytes)
{
    const std::string_view all = bytes;
    if (all.starts_with(kUtf16LowFirst) || all.starts_with(kUtf16HighFirst))
        return fromUtf16(all.substr(2), all.starts_with(kUtf16LowFirst));
    const bool marked = all.starts_with(kUtf8Mark);
    // The import reads up to the first NUL; only that part tells how the file was written.
    const std::string_view text = beforeNul(marked ? all.substr(kUtf8Mark.size()) : all);
    bool multiByte = false;
    if (isUtf8(text, &multiByte) && multiByte)
        return utf8ToLatin1(text);
    if (marked)
        return std::string(text);
    return bytes;
}

} // namespace koravel
