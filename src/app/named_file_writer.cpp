// Errors of the core's file functions, told with the file name the user chose.
#include "named_file_writer.h"

#include "dialogs.h"
#include "numtext/error.h"
#include "qt_text.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

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

void savePicture(QWidget *parent, UserDialogs &dialogs, const QImage &picture, QString &lastName)
{
    FileDialogRequest request;
    request.filters = QStringList { QStringLiteral("Imagem PNG (*.png)") };
    request.proposedName = lastName;
    request.selectedFilter = request.filters.constFirst();
    request.defaultSuffix = QStringLiteral("png");
    const auto answer = dialogs.saveFile(parent, request);
    if (!answer) {
        dialogs.information(parent, QStringLiteral("A imagem não foi gravada."));
        return;
    }
    lastName = answer->fileName;
    QSaveFile file(answer->fileName);
    QImageWriter writer(&file, "png");
    if (!file.open(QIODevice::WriteOnly) || !writer.write(picture) || !file.commit()) {
        const QString reason = writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                                            : file.errorString();
        file.cancelWriting();
        throw Error(fromQt(QStringLiteral("Não foi possível gravar a imagem \"%1\": %2")
                               .arg(answer->fileName, reason)));
    }
    dialogs.information(parent, QStringLiteral("A imagem foi gravada em ") + answer->fileName);
}

} // namespace koravel
