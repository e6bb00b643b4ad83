// Saving the report: every byte of the text, replacing the target only when all were written.
#pragma once

#include <string>
#include <string_view>

namespace koravel {

// Writes a temporary file beside the target and renames it over the target once every byte is
// on disk; a replaced file keeps its permissions, a link keeps pointing at it, and a file the
// user may not write is refused. Errors: "Cannot create file "<full path>". <reason>" and
// "Stream write error"; the target is untouched then.
void saveReportFile(const std::string &path, std::string_view bytes);

// "Dados salvos com sucesso em " + path
std::string savedMessage(std::string_view path);
inline constexpr const char *kNotSavedMessage = "Os dados n\xE3o foram gravados !!!";

} // namespace koravel
