// The one place where the product's single-byte text meets Qt's Unicode strings.
#include "qt_text.h"

#include <QDir>
#include <QFile>

namespace koravel {

namespace {

    std::string toStdString(const QByteArray &bytes)
    {
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }

} // namespace

QString toQt(std::string_view latin1)
{
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

std::string fromQt(const QString &text)
{
    return toStdString(text.toLatin1());
}

std::string toNativePath(const QString &fileName)
{
#ifdef Q_OS_WIN
    // The core's file functions take UTF-8 there and call the wide-character API with it (the
    // local 8-bit code page would lose every character outside it), and name files in their
    // messages with the system's separators, as given here.
    return toStdString(QDir::toNativeSeparators(fileName).toUtf8());
#else
    return toStdString(QFile::encodeName(fileName));
#endif
}

} // namespace koravel
