// Saving the report: the bytes go to a temporary file beside the target, which replaces the
// target only once every byte is on disk, so a failed save keeps the old file.
#include "report/report_file.h"

#include <string>

#include "report/replacing_file.h"

namespace koravel {

void saveReportFile(const std::string &path, std::string_view bytes)
{
    // Written in pieces, so that the disk takes the first ones while the next are copied.
    constexpr std::size_t kPiece = std::size_t(16) << 20;
    ReplacingFile file(path);
    for (std::size_t at = 0; at < bytes.size(); at += kPiece)
        file.write(bytes.substr(at, kPiece));
    file.commit();
}

std::string savedMessage(std::string_view path)
{
    return "Dados salvos com sucesso em " + std::string(path);
}

} // namespace koravel
