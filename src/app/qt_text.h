// The one place where the product's single-byte text meets Qt's Unicode strings.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace koravel {

// toQt("PRODU\xC7\xC3O") -> u"PRODUÇÃO";  fromQt(u"Não") -> "N\xE3o" (others become "?")
QString toQt(std::string_view latin1);
std::string fromQt(const QString &text);

// A file name as the core's file functions take it: as the file system spells it (UTF-8) on
// Linux, UTF-8 with backslashes on Windows.
//   toNativePath(u"/dados/produção.txt") -> "/dados/produ\xC3\xA7\xC3\xA3o.txt" on Linux
std::string toNativePath(const QString &fileName);

} // namespace koravel
