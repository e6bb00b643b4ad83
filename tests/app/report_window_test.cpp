// The report window as the user meets it: a prediction's lines shown in Memo1, the clean-up and
// the save working on the text as the user left it, the save dialog answered by the test.
#include "UntRelatorio.h"
#include "fake_dialogs.h"
#include "report_editor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

using koravel::FakeDialogs;

namespace {

const QByteArray kRule(128, '-');

QByteArray good(int i)
{
    return "HD (1x" + QByteArray::number(i) + ")(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75";
}
QByteArray falso(int i)
{
    return "FALSO HD (1x" + QByteArray::number(i) + ")(2x4) =>\t0.000\t0.0\t0\t5.5\t4.75\t5.75";
}

// A double-cross report of these candidates, every line followed by CR LF, in the single-byte
// text of the program.
QByteArray report(const QList<QByteArray> &candidates)
{
    const QList<QByteArray> header { kRule,
        "APLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
        "BRIDOS DUPLOS",
        "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
        "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)", "" };
    QByteArray text;
    for (const QByteArray &line : header + candidates + QList<QByteArray> { kRule })
        text += line + "\r\n";
    return text;
}

QByteArray summary(const char *total, const char *removed, const char *predicted)
{
    return QByteArray("Hibridos possiveis totais= ") + total
        + "\r\nHibridos Falso preditos excluidos = " + removed
        + "\r\nHibridos Reais preditos = " + predicted + "\r\n";
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// One window with its answering dialogs, and what Memo1 holds as bytes.
struct Window
{
    FakeDialogs dialogs;
    TForm2 form { dialogs };

    QByteArray shown() const
    {
        const std::string_view bytes = form.Memo1->bytes();
        return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    void setShown(const QByteArray &bytes)
    {
        form.Memo1->setLatin1Text(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    // What a prediction does: clear, the lines, a request to show, then publish.
    void predict(const QByteArray &text)
    {
        koravel::ReportSink &sink = form.reportSink();
        sink.clear();
        for (const QByteArray &line : text.split('\n'))
            if (!line.isEmpty())
                sink.appendLine(std::string_view(line.constData(), line.size() - 1)); // no CR
        sink.show();
        form.publishReport();
    }
};

} // namespace

class ReportWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void predictionShowsItsReportAndSairHidesIt()
    {
        Window w;
        w.setShown("texto anterior");
        w.predict(report({ good(2), falso(3) }));
        QVERIFY(w.form.isVisible());
        QCOMPARE(w.shown(), report({ good(2), falso(3) }));
        w.form.Sair1->trigger();
        QVERIFY(!w.form.isVisible());
        QCOMPARE(w.shown(), report({ good(2), falso(3) }));
        QCOMPARE(w.dialogs.messages, QStringList());
    }

    void editorKeepsSingleByteTextAndTypingWritesLatin1()
    {
        Window w;
        QByteArray everyByte;
        for (int code = 1; code < 256; ++code)
            everyByte += static_cast<char>(code);
        w.setShown(everyByte);
        QCOMPARE(w.shown(), everyByte);
        QCOMPARE(w.form.reportText(), QString::fromLatin1(everyByte));

        w.setShown("linha\r\n");
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        w.form.Memo1->setCursorPosition(0, 5);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Ccedilla, Qt::NoModifier, QStringLiteral("ç"));
        QApplication::sendEvent(w.form.Memo1, &press);
        QTest::keyClick(w.form.Memo1, Qt::Key_Return);
        QCOMPARE(w.shown(), QByteArray("linha\xE7\r\n\r\n"));
    }

    void cleanUpWorksOnTheTextAsTheUserLeftIt()
    {
        Window w;
        w.predict(report({ good(1), falso(2), good(3), good(4), falso(5), good(6), good(7), good(8),
            good(9), good(10) }));
        // The user marks the ninth candidate (line 15) too.
        ReportEditor &editor = *w.form.Memo1;
        editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT,
            static_cast<unsigned long>(editor.positionFromLineIndex(15, 0)), "FALSO ");
        w.form.LIMPAR1->trigger();
        const QByteArray cleaned =
            report({ good(1), good(3), good(4), good(6), good(7), good(8), good(10) })
            + summary("10", "3", "7");
        QCOMPARE(w.shown(), cleaned);
        // A second clean-up counts the summary lines as candidates.
        w.form.LIMPAR1->trigger();
        QCOMPARE(w.shown(), cleaned + summary("10", "0", "10"));
        QCOMPARE(w.dialogs.messages, QStringList());
    }

    void saveWritesTheBytesOfMemo1AndRemembersTheChoiceOrShowsTheError()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("relatório.dat"));
        Window w;
        w.predict(report({ good(1) }));
        w.dialogs.queue(path, QStringLiteral("Arquivo de dados (*.dat)"));
        w.form.Salvar1->trigger();
        QCOMPARE(readFile(path), report({ good(1) }));
        QCOMPARE(w.dialogs.messages,
            QStringList { QStringLiteral("information: Dados salvos com sucesso em ") + path });

        // A cancel writes nothing, and the next dialog still proposes the last choice.
        w.setShown("outro texto");
        w.form.Salvar1->trigger();
        w.form.Salvar1->trigger();
        QCOMPARE(w.dialogs.messages.mid(1),
            QStringList(2, QStringLiteral("information: Os dados não foram gravados !!!")));
        QCOMPARE(readFile(path), report({ good(1) }));

        const QList<koravel::FileDialogRequest> &requests = w.dialogs.saveRequests;
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests[0].filters,
            QStringList({ "Arquivo texto (*.txt)", "Arquivo separado por espaços (*.prn)",
                "Arquivo de dados (*.dat)" }));
        QCOMPARE(requests[0].selectedFilter, QStringLiteral("Arquivo texto (*.txt)"));
        QVERIFY(requests[0].proposedName.isEmpty());
        QCOMPARE(requests[0].defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(requests[2].proposedName, path);
        QCOMPARE(requests[2].selectedFilter, QStringLiteral("Arquivo de dados (*.dat)"));

        // A file that cannot be created: the error is shown, the text and the folder stay.
        const QString noFolder = folder.filePath(QStringLiteral("nao/existe.txt"));
        w.dialogs.queue(noFolder);
        w.form.Salvar1->trigger();
        QCOMPARE(w.dialogs.messages.constLast(),
            "error: Cannot create file \"" + noFolder + "\". No such file or directory.");
        QCOMPARE(w.shown(), QByteArray("outro texto"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("relatório.dat") });
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
