// Unicode data files to single-byte text: a file saved as UTF-8 or UTF-16 by a text editor
// would otherwise import its marks and multi-byte characters as stray bytes in the cells.
#include "text_decoding.h"

#include <string_view>

#include "data_file.h"
#include "text_encoding.h"

namespace koravel {

namespace {

    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16LowFirst = "\xFF\xFE";
    constexpr std::string_view kUtf16HighFirst = "\xFE\xFF";

    // Well-formed UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF); tells
    // whether any character took more than one byte.
    bool isUtf8(std::string_view text, bool &multiByte)
    {
        multiByte = false;
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
            multiByte = true;
            i += length;
        }
        return true;
    }

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

} // namespace

std::string singleByteText(std::string bytes)
{
    const std::string_view all = bytes;
    if (all.starts_with(kUtf16LowFirst) || all.starts_with(kUtf16HighFirst))
        return fromUtf16(all.substr(2), all.starts_with(kUtf16LowFirst));
    const bool marked = all.starts_with(kUtf8Mark);
    // The import reads up to the first NUL; only that part tells how the file was written.
    const std::string_view text = textBeforeNul(marked ? all.substr(kUtf8Mark.size()) : all);
    bool multiByte = false;
    if (isUtf8(text, multiByte) && multiByte)
        return utf8ToLatin1(text);
    if (marked)
        return std::string(text);
    return bytes;
}

} // namespace koravel
