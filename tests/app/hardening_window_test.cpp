// The windows when things go wrong: a data file that vanishes between the dialog and the read,
// a number of lines whose report the window could not hold, and a save onto a full or read-only
// disk. Each is shown as an error and changes nothing the user had.
#include "../core/scratch_mount.h"
#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "fake_dialogs.h"
#include "koravel_application.h"
#include "main_windows_fixture.h"
#include "report_editor.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray kFourLines = "1 2 6\r\n1 3 5\r\n1 4 5.5\r\n2 3 4.75\r\n2 4 5.75\r\n3 4 7\r\n";

// Answers the open dialog with a name, and removes that file as the dialog closes: the user's
// choice vanished before the import could read it.
class VanishingDialogs : public koravel::FakeDialogs
{
public:
    bool removeChosen = false;
    std::optional<koravel::FileDialogAnswer> openFile(
        QWidget *parent, const koravel::FileDialogRequest &request) override
    {
        auto answer = FakeDialogs::openFile(parent, request);
        if (answer && removeChosen)
            QFile::remove(answer->fileName);
        return answer;
    }
};

struct Windows : koravel::test::MainWindows<VanishingDialogs>
{
    // What the user sees of the main window and the report window.
    QString state()
    {
        const QAbstractItemModel *model = form1.findChild<QTableView *>("StringGrid1")->model();
        QStringList cells;
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
        const auto *bar = get<QProgressBar>("ProgressBar1");
        return cells.join('|') + QStringLiteral(" bar %1/%2 ").arg(bar->value()).arg(bar->maximum())
            + (get<QPushButton>("BitBtn1")->isEnabled() ? "on " : "off ")
            + (form2.isVisible() ? "shown " : "hidden ") + form2.reportText();
    }
};

QString writeFile(const QString &path, const QByteArray &bytes)
{
    return Windows::writeFile(path, bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class HardeningWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Windows> w;

    // Imports the four lines and predicts their HDs into the report window, then hides it.
    void importAndPredict()
    {
        w->dialogs.queue(writeFile(m_dir.filePath("dados.txt"), kFourLines));
        w->get<QAction>("Importardados1")->trigger();
        w->get<QLineEdit>("Edit1")->setText(QStringLiteral("4"));
        w->get<QPushButton>("BitBtn1")->click();
        w->form2.hide();
        QCOMPARE(w->dialogs.messages, QStringList());
    }

private slots:
    void init()
    {
        koravel::KoravelApplication::setFormatSettings({ '.' });
        w = std::make_unique<Windows>();
    }
    void cleanup() { w.reset(); }

    void fileThatVanishesAfterTheDialogIsReportedAndTheTableStays()
    {
        importAndPredict();
        const QString before = w->state();
        const QString path = writeFile(m_dir.filePath("some.txt"), "9 9 9\n");
        w->dialogs.removeChosen = true;
        w->dialogs.queue(path);
        w->get<QAction>("Importardados1")->trigger();
        QVERIFY(!QFile::exists(path));
        QCOMPARE(w->dialogs.messages,
            QStringList { "error: Cannot open file \"" + path + "\". No such file or directory." });
        QCOMPARE(w->state(), before);
    }

    void reportTooLargeForTheWindowIsRefusedBeforeAnythingChanges()
    {
        importAndPredict();
        const QString before = w->state();
        // The memory needed is the report's bytes and 96 bytes a line; the limit shown after it
        // depends on the machine, 16 GiB (17,2 GB) at most.
        const struct
        {
            const char *button, *lines;
            QString start;
        } rows[] = {
            { "BitBtn1", "200",
                "Com 200 linhagens, o relatório de HDs teria 194.054.858 linhas e precisaria de "
                "cerca de 26,7 GB de memória" },
            { "BitBtn1", "1000",
                "Com 1.000 linhagens, o relatório de HDs teria 124.251.374.258 linhas e "
                "precisaria de cerca de 17,3 TB de memória" },
            { "BitBtn1", "2000000000",
                "Com 2.000.000.000 linhagens, o relatório de HDs teria "
                "1.999.999.994.000.000.005.499.999.998.500.000.008 linhas e precisaria de cerca de "
                "331.555.554.601.333.334.123.777.778 TB de memória" },
            { "BitBtn2", "1000",
                "Com 1.000 linhagens, o relatório de HTs teria 498.501.008 linhas e precisaria "
                "de cerca de 65,1 GB de memória" },
            { "BitBtn2", "2000000000",
                "Com 2.000.000.000 linhagens, o relatório de HTs teria "
                "3.999.999.994.000.000.002.000.000.008 linhas e precisaria de cerca de "
                "601.333.332.492.000.000 TB de memória" },
        };
        for (const auto &row : rows) {
            w->dialogs.messages.clear();
            w->get<QLineEdit>("Edit1")->setText(QString::fromLatin1(row.lines));
            w->get<QPushButton>(row.button)->click();
            QCOMPARE(w->dialogs.messages.size(), 1);
            const QString shown = w->dialogs.messages.constFirst();
            QVERIFY2(shown.startsWith("error: " + row.start
                         + ", mais do que a janela do relatório pode usar neste computador ("),
                qPrintable(shown));
            QVERIFY2(shown.endsWith(" GB). Use menos linhagens, ou o koravel-cli, que grava o "
                                    "relatório direto em arquivo."),
                qPrintable(shown));
            QCOMPARE(w->state(), before);
        }
    }

    void saveOntoAFullOrReadOnlyDiskKeepsTheOldFile()
    {
        ScratchMount disk("size=64k");
        if (!disk.mounted())
            QSKIP(qPrintable(QString::fromStdString(disk.why())));
        const QString folder = QString::fromStdString(disk.path().string());
        const QString path = writeFile(folder + "/relatorio.txt", "old report\r\n");
        // Some 200 KB, more than the disk holds.
        w->form2.Memo1->setLatin1Text(std::string(200000, 'r'));
        w->dialogs.queue(path);
        w->form2.Salvar1->trigger();
        QCOMPARE(w->dialogs.messages, QStringList { "error: Stream write error." });
        QCOMPARE(readFile(path), QByteArray("old report\r\n"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { "relatorio.txt" });

        QVERIFY(disk.makeReadOnly());
        w->dialogs.messages.clear();
        w->form2.Memo1->setLatin1Text("new\r\n");
        w->dialogs.queue(path);
        w->form2.Salvar1->trigger();
        QCOMPARE(w->dialogs.messages,
            QStringList { "error: Cannot create file \"" + path + "\". Read-only file system." });
        QCOMPARE(readFile(path), QByteArray("old report\r\n"));
    }
};

QTEST_MAIN(HardeningWindowTest)
#include "hardening_window_test.moc"
