// The report window as the user meets it: a prediction's lines shown in Memo1, the clean-up and
// the save working on the text as the user left it, the save dialog answered by the test.
#include "UntRelatorio.h"
#include "fake_dialogs.h"
#include "report_editor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

using koravel::FakeDialogs;

namespace {

const QByteArray kRule(128, '-');
const QByteArray kCrLf = "\r\n";

// The header block of a double-cross report, in the single-byte text of the program.
QList<QByteArray> hdHeader()
{
    return { kRule,
        "APLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
        "BRIDOS DUPLOS",
        "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
        "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)", "" };
}

QByteArray good(int i)
{
    return "HD (1x" + QByteArray::number(i) + ")(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75";
}
QByteArray falso(int i)
{
    return "FALSO HD (1x" + QByteArray::number(i) + ")(2x4) =>\t0.000\t0.0\t0\t5.5\t4.75\t5.75";
}

// Every line followed by CR LF, as the program writes them.
QByteArray text(const QList<QByteArray> &lines)
{
    QByteArray result;
    for (const QByteArray &line : lines)
        result += line + kCrLf;
    return result;
}

QList<QByteArray> report(const QList<QByteArray> &candidates)
{
    return hdHeader() + candidates + QList<QByteArray> { kRule };
}

QByteArray summary(const char *total, const char *removed, const char *predicted)
{
    return text({ QByteArray("Hibridos possiveis totais= ") + total,
        QByteArray("Hibridos Falso preditos excluidos = ") + removed,
        QByteArray("Hibridos Reais preditos = ") + predicted });
}

QByteArray shown(const TForm2 &form)
{
    const std::string_view bytes = form.Memo1->bytes();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void setShown(TForm2 &form, const QByteArray &bytes)
{
    form.Memo1->setLatin1Text(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// What a prediction does: clear, lines, a request to show after the candidates, then publish.
void predict(TForm2 &form, const QList<QByteArray> &lines, bool askToShow = true)
{
    koravel::ReportSink &sink = form.reportSink();
    sink.clear();
    for (const QByteArray &line : lines) {
        sink.appendLine(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
        if (askToShow)
            sink.show();
    }
    form.publishReport();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class ReportWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void windowLayout()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        QCOMPARE(form.windowTitle(), QStringLiteral(".:: Koravel v.1.1.2010 - RELATÓRIO DE DADOS"));
        QCOMPARE(form.centralWidget()->size(), QSize(582, 452));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.pos(), QPoint(292, 225));
        QCOMPARE(form.Memo1->geometry(), QRect(8, 16, 561, 417));
        QCOMPARE(form.Memo1->objectName(), QStringLiteral("Memo1"));
        QCOMPARE(form.windowModality(), Qt::NonModal);
        QStringList captions;
        for (QAction *action : form.menuBar()->actions())
            captions << action->text();
        QCOMPARE(captions, QStringList({ ".:: Salvar ::.", ".:: Sair ::.", ".:: LIMPAR ::." }));
        QVERIFY(!form.isVisible());
    }

    void editorKeepsSingleByteTextAndLineEnds()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        ReportEditor &editor = *form.Memo1;
        QCOMPARE(editor.wrapMode(), QsciScintilla::WrapNone);
        QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETCODEPAGE), 0L);
        QCOMPARE(editor.eolMode(), QsciScintilla::EolWindows);

        QByteArray everyByte;
        for (int code = 1; code < 256; ++code)
            everyByte += static_cast<char>(code);
        setShown(form, everyByte);
        QCOMPARE(shown(form), everyByte);
        QCOMPARE(form.reportText(), QString::fromLatin1(everyByte));

        // CR LF, LF and CR each end a line; the empty remainder is Scintilla's last line.
        setShown(form, "a\r\nb\nc\rd");
        QCOMPARE(editor.lines(), 4);
        QCOMPARE(editor.text(2), QStringLiteral("c\r"));
    }

    void typingWritesLatin1AndCrLfAndCanBeUndone()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        setShown(form, text({ "linha" }));
        ReportEditor &editor = *form.Memo1;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy changes(&editor, &QsciScintilla::textChanged);
        editor.setCursorPosition(0, 5);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Ccedilla, Qt::NoModifier, QStringLiteral("ç"));
        QApplication::sendEvent(&editor, &press);
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(shown(form), QByteArray("linha\xE7\r\n\r\n"));
        QTRY_VERIFY(!changes.isEmpty()); // announced with the next repaint
        editor.undo();
        editor.undo();
        QCOMPARE(shown(form), text({ "linha" }));
    }

    void predictionShowsItsReport()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        setShown(form, "texto anterior");
        const QList<QByteArray> lines = report({ good(2), falso(3) });
        predict(form, lines);
        QVERIFY(form.isVisible());
        QCOMPARE(shown(form), text(lines));
        QCOMPARE(form.Memo1->lines(), 11); // ten lines and the empty remainder
        QVERIFY(dialogs.errors.isEmpty());

        // A second run replaces the first.
        predict(form, report({}));
        QCOMPARE(shown(form), text(report({})));
    }

    void predictionThatDoesNotAskToShowLeavesTheWindowHidden()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        predict(form, report({}), false);
        QVERIFY(!form.isVisible());
        QCOMPARE(shown(form), text(report({})));
    }

    void publishingWithNothingGatheredKeepsTheUsersText()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        setShown(form, "editado pelo usu\xE1rio");
        form.publishReport();
        QCOMPARE(shown(form), QByteArray("editado pelo usu\xE1rio"));
        QVERIFY(!form.isVisible());
    }

    void linesAppendedWithoutClearGoAfterTheShownText_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("ends with a line break")
            << QByteArray("a\r\n") << QByteArray("a\r\nx\r\ny\r\n");
        QTest::newRow("line break removed") << QByteArray("a") << QByteArray("a\r\nx\r\ny");
        QTest::newRow("empty") << QByteArray() << QByteArray("x\r\ny\r\n");
    }

    void linesAppendedWithoutClearGoAfterTheShownText()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        setShown(form, before);
        form.reportSink().appendLine("x");
        form.reportSink().appendLine("y");
        form.publishReport();
        QCOMPARE(shown(form), after);
    }

    void cleanUp_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");

        const QByteArray tenWithThreeFalso = text(report({ good(1), falso(2), good(3), good(4),
            falso(5), good(6), good(7), good(8), falso(9), good(10) }));
        const QByteArray cleaned =
            text(report({ good(1), good(3), good(4), good(6), good(7), good(8), good(10) }))
            + summary("10", "3", "7");
        QTest::newRow("3 FALSO of 10") << tenWithThreeFalso << cleaned;
        QTest::newRow("second clean-up counts the summary")
            << cleaned << cleaned + summary("10", "0", "10");
        QTest::newRow("no FALSO") << text(report({ good(1), good(2) }))
                                  << text(report({ good(1), good(2) })) + summary("2", "0", "2");
        QTest::newRow("no candidate")
            << text(report({})) << text(report({})) + summary("0", "0", "0");
        QTest::newRow("empty document") << QByteArray() << summary("-8", "0", "-8");

        QByteArray noFinalBreak = text(report({ good(1), good(2) }));
        noFinalBreak.chop(2);
        QTest::newRow("final line break removed") << noFinalBreak
                                                  << noFinalBreak
                + "\r\nHibridos possiveis totais= 2\r\nHibridos Falso preditos excluidos = 0"
                  "\r\nHibridos Reais preditos = 2";

        const QByteArray typed = "HD (1x2)(3x4) FALSO digitado";
        const QByteArray lower = "HD (1x3)(2x4) falso em min\xFAsculas";
        QTest::newRow("typed FALSO goes, lower case stays")
            << text(report({ typed, lower, good(5) }))
            << text(report({ lower, good(5) })) + summary("3", "1", "2");

        const QByteArray eightLines = text(hdHeader() + QList<QByteArray> { falso(1) });
        QTest::newRow("8 lines: line 7 is not examined")
            << eightLines << eightLines + summary("0", "0", "0");

        QTest::newRow("lines ending in LF")
            << QByteArray("a\nb\n") << QByteArray("a\nb\n") + summary("-6", "0", "-6");
    }

    void cleanUp()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        setShown(form, before);
        form.LIMPAR1->trigger();
        QCOMPARE(shown(form), after);
        QVERIFY(dialogs.errors.isEmpty());
        QVERIFY(dialogs.informations.isEmpty());
    }

    void cleanUpReadsTheUsersEdits()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        predict(form, report({ good(1), good(2), good(3) }));
        // The user marks the second candidate (line 8) and deletes the final line break.
        ReportEditor &editor = *form.Memo1;
        editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT,
            static_cast<unsigned long>(editor.positionFromLineIndex(8, 0)), "FALSO ");
        const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        editor.SendScintilla(
            QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(length - 2), 2L);

        form.LIMPAR1->trigger();
        QByteArray expected = text(report({ good(1), good(3) }));
        expected.chop(2);
        expected += "\r\nHibridos possiveis totais= 3\r\nHibridos Falso preditos excluidos = 1"
                    "\r\nHibridos Reais preditos = 2";
        QCOMPARE(shown(form), expected);
    }

    void saveWritesTheBytesOfMemo1()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("relatório.txt"));
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        predict(form, report({ good(1) }));
        dialogs.queueSave(path, QStringLiteral("Arquivo texto (*.txt)"));
        form.Salvar1->trigger();
        QCOMPARE(readFile(path), text(report({ good(1) })));
        QCOMPARE(dialogs.informations,
            QStringList { QStringLiteral("Dados salvos com sucesso em ") + path });
        QVERIFY(dialogs.errors.isEmpty());

        // Without the final line break the file ends without one too.
        setShown(form, "sem quebra\r\nfinal");
        dialogs.queueSave(path);
        form.Salvar1->trigger();
        QCOMPARE(readFile(path), QByteArray("sem quebra\r\nfinal"));

        // An empty document empties the file.
        setShown(form, QByteArray());
        dialogs.queueSave(path);
        form.Salvar1->trigger();
        QCOMPARE(readFile(path), QByteArray());
        QCOMPARE(dialogs.informations.size(), 3);
    }

    void saveDialogProposesTheLastNameAndType()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dados.dat"));
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        setShown(form, text({ "x" }));

        dialogs.queueSave(path, QStringLiteral("Arquivo de dados (*.dat)"));
        form.Salvar1->trigger();
        form.Salvar1->trigger(); // cancelled
        form.Salvar1->trigger();

        QCOMPARE(dialogs.saveRequests.size(), 3);
        const koravel::FileDialogRequest &first = dialogs.saveRequests[0];
        QCOMPARE(first.filters,
            QStringList({ "Arquivo texto (*.txt)", "Arquivo separado por espaços (*.prn)",
                "Arquivo de dados (*.dat)" }));
        QCOMPARE(first.selectedFilter, QStringLiteral("Arquivo texto (*.txt)"));
        QVERIFY(first.proposedName.isEmpty());
        QCOMPARE(first.defaultSuffix, QStringLiteral("txt"));
        for (int request = 1; request < 3; ++request) {
            QCOMPARE(dialogs.saveRequests[request].proposedName, path);
            QCOMPARE(dialogs.saveRequests[request].selectedFilter,
                QStringLiteral("Arquivo de dados (*.dat)"));
        }
    }

    void cancelledSaveWritesNothing()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("antigo.txt"));
        writeFile(path,
            "conte\xFA"
            "do antigo");
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        predict(form, report({ good(1) }));
        dialogs.saveAnswers.push_back(std::nullopt);
        form.Salvar1->trigger();
        QCOMPARE(dialogs.informations,
            QStringList { QStringLiteral("Os dados não foram gravados !!!") });
        QCOMPARE(readFile(path),
            QByteArray("conte\xFA"
                       "do antigo"));
        QCOMPARE(shown(form), text(report({ good(1) })));
    }

    void failedSaveShowsTheErrorAndKeepsWhatWasThere_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("target is a folder") << QStringLiteral("pasta");
        QTest::newRow("folder missing") << QStringLiteral("nao/existe/relatorio.txt");
    }

    void failedSaveShowsTheErrorAndKeepsWhatWasThere()
    {
        QFETCH(QString, target);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("pasta")));
        writeFile(folder.filePath(QStringLiteral("pasta/dentro.txt")), "intacto");
        const QString path = folder.filePath(target);
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        predict(form, report({ good(1) }));
        dialogs.queueSave(path);
        form.Salvar1->trigger();

        QCOMPARE(dialogs.errors.size(), 1);
        const QString message = dialogs.errors.first();
        QVERIFY2(message.startsWith(
                     QStringLiteral("Cannot create file \"") + path + QStringLiteral("\". ")),
            qPrintable(message));
        QVERIFY(message.endsWith(QLatin1Char('.')));
        QVERIFY(dialogs.informations.isEmpty());
        QCOMPARE(
            readFile(folder.filePath(QStringLiteral("pasta/dentro.txt"))), QByteArray("intacto"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(shown(form), text(report({ good(1) })));
    }

    void sairHidesAndKeepsTheText()
    {
        FakeDialogs dialogs;
        TForm2 form(dialogs);
        predict(form, report({ good(1) }));
        QVERIFY(form.isVisible());
        form.Sair1->trigger();
        QVERIFY(!form.isVisible());
        QCOMPARE(shown(form), text(report({ good(1) })));
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
