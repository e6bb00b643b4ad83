// The product's files and texts are single-byte Western European text; terminals speak UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace koravel {

// latin1ToUtf8("PRODU\xC7\xC3O") -> "PRODUÇÃO" in UTF-8
std::string latin1ToUtf8(std::string_view latin1);
// Characters outside Latin-1 become "?": utf8ToLatin1("Não") -> "N\xE3o"
std::string utf8ToLatin1(std::string_view utf8);

} // namespace koravel
