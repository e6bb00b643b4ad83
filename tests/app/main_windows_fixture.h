// The three windows as the program makes them, with fake dialogs, and data files imported
// through the open dialog: the common ground of the tests that drive the main window.
#pragma once

#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "fake_dialogs.h"

#include <QAction>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace koravel::test {

template <class Dialogs = FakeDialogs> struct MainWindows
{
    Dialogs dialogs;
    TForm1 form1 { dialogs };
    TForm2 form2 { dialogs };
    TForm3 form3;

    MainWindows() { form1.setOtherWindows(form2, form3); }

    template <typename T = QWidget> T *get(const char *name)
    {
        T *found = form1.findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    // Writes the bytes to "dados.txt" in folder and imports it through the open dialog, with
    // the file type given; the file's path.
    QString importText(
        const QTemporaryDir &folder, const QByteArray &bytes, const QString &filter = QString())
    {
        const QString path = writeFile(folder.filePath(QStringLiteral("dados.txt")), bytes);
        dialogs.queue(path, filter);
        form1.Importardados1->trigger();
        return path;
    }

    static QString writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
};

} // namespace koravel::test
