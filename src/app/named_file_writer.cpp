// Errors of the core's file functions, told with the file name the user chose.
#include "named_file_writer.h"

#include "numtext/error.h"
#include "qt_text.h"

namespace koravel {

void writeNamedFile(
    const QString &fileName, const std::function<void(const std::string &systemName)> &write)
{
    const std::string systemName = toNativePath(fileName);
    try {
        write(systemName);
    } catch (const Error &error) {
        const std::string productName = fromQt(fileName);
        std::string message = error.message();
        if (systemName != productName) {
            const auto at = message.find(systemName);
            if (at != std::string::npos)
                message.replace(at, systemName.size(), productName);
        }
        throw Error(std::move(message));
    }
}

} // namespace koravel
