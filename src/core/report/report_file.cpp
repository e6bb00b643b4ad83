// Saving the report: the bytes go to a temporary file beside the target, which replaces the
// target only once every byte is on disk, so a failed save keeps the old file.
#include "report/report_file.h"

#include <string>

#include "report/replacing_file.h"

namespace koravel {

void saveReportFile(const std::string &path, std::string_view bytes)
{
    ReplacingFile file(path);
    file.write(bytes);
    file.commit();
}

std::string savedMessage(std::string_view path)
{
    return "Dados salvos com sucesso em " + std::string(path);
}

} // namespace koravel
