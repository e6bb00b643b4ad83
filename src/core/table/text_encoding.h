// The product's files and texts are single-byte Western European text; terminals speak UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace koravel {

// latin1ToUtf8("PRODU\xC7\xC3O") -> "PRODUÇÃO" in UTF-8
std::string latin1ToUtf8(std::string_view latin1);
// Characters outside Latin-1 become "?": utf8ToLatin1("Não") -> "N\xE3o"
std::string utf8ToLatin1(std::string_view utf8);

// Well-formed UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF. multiByte, when
// given, tells whether any character took more than one byte.
bool isUtf8(std::string_view text, bool *multiByte = nullptr);

// The text of a data file saved as Unicode, turned into the single-byte text the program reads.
// Files written as UTF-8 (with or without its byte-order mark) or as UTF-16 with its mark become
// single-byte Western European text, characters beyond it written "?"; any other text is
// returned as it is, so a single-byte file is read byte for byte.
//   "\xEF\xBB\xBF" "1 2 4.5"        -> "1 2 4.5"               UTF-8 mark dropped
//   "1 2 a\xC3\xA7\xC3\xA3o"        -> "1 2 a\xE7\xE3o"        UTF-8 "ação"
//   "\xFF\xFE" "1\0 \0" "2\0"       -> "1 2"                   UTF-16, low byte first
//   "1 2 a\xE7\xE3o"                -> unchanged               already single-byte
//   "\xEF\xBB\xBF" "a\xE7"          -> "a\xE7"                 a mark before text that is
//                                                               not UTF-8 is dropped alone
std::string singleByteText(std::string bytes);

} // namespace koravel
