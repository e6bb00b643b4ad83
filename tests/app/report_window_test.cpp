// The report window and the ranking window as views of the session's last report: saving,
// clean-up, ranking and export act on the text as the user left it, read with the settings the
// report was written with.
#include "ExportDialog.h"
#include "windows_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>

#include <cstdint>
#include <memory>

using namespace koravel;
using koravel::test::tableText;
using koravel::test::Windows;

namespace {
const QString kNotSaved = QStringLiteral("information: A planilha não foi gravada !!!");
const SpreadsheetChoice kCsv { SpreadsheetFormat::Csv, ';', ',' };
const SpreadsheetChoice kXlsx { SpreadsheetFormat::Xlsx, ';', ',' };

// The text of a PDF as poppler reads it (pages end in a form feed), or its words' boxes.
QString pdfText(const QString &path, const QStringList &options = {})
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), options + QStringList { path, "-" });
    pdftotext.waitForFinished();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// Where the first word equal to text begins on its page, in points.
double wordLeft(const QString &boxes, const QString &text)
{
    const QRegularExpression word(
        "<word xMin=\"([0-9.]+)\"[^>]*>" + QRegularExpression::escape(text) + "</word>");
    return word.match(boxes).captured(1).toDouble();
}
} // namespace

class ReportWindowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Windows> w;

    // The hybrid column of the ranking.
    QStringList hybrids()
    {
        QStringList names;
        for (const QString &row : tableText(w->ranking().StringGrid1).mid(1))
            names << row.section('|', 1, 1);
        return names;
    }

private slots:
    void init()
    {
        w = std::make_unique<Windows>();
        w->import();
    }
    void cleanup() { w.reset(); }

    void saveWritesTheShownBytes()
    {
        w->predict(true);
        w->form2.Sair1->trigger();
        QVERIFY(!w->form2.isVisible());
        const QString path = w->path(QStringLiteral("relatório.dat"));
        w->dialogs.queue(path, QStringLiteral("Arquivo de dados (*.dat)"));
        w->form2.Salvar1->trigger();
        QCOMPARE(Windows::read(path), w->shown());
        // A cancel writes nothing; a folder that does not exist is an error.
        w->form2.Memo1->setLatin1Text("outro texto");
        w->form2.Salvar1->trigger();
        const QString noFolder = w->path(QStringLiteral("nao/existe.txt"));
        w->dialogs.queue(noFolder);
        w->form2.Salvar1->trigger();
        QCOMPARE(w->dialogs.messages,
            QStringList({ "information: Dados salvos com sucesso em " + path,
                "information: Os dados não foram gravados !!!",
                "error: Cannot create file \"" + noFolder + "\". No such file or directory." }));
        QCOMPARE(w->dialogs.requests[2].proposedName, path);
        QCOMPARE(w->dialogs.requests[2].selectedFilter, TForm2::saveFilters().at(2));
    }

    // Whatever the width of their first field (FALSO, two-digit lines), the columns of every
    // line start where the heading's do: the mean under "Media".
    void columnsLineUpUnderTheirHeadings()
    {
        QByteArray data;
        for (int i = 1; i <= 12; ++i)
            for (int j = i + 1; j <= 12; ++j)
                data += QByteArray::number(i) + ' ' + QByteArray::number(j)
                    + (j == 12 ? " 0\n" : " 7.5\n");
        w->import(data);
        for (const bool hd : { true, false }) {
            w->predict(hd, QStringLiteral("12"), false);
            ReportEditor &memo = *w->form2.Memo1;
            const auto x = [&](int line, qsizetype column) {
                const long start = memo.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line);
                return memo.SendScintilla(
                    QsciScintilla::SCI_POINTXFROMPOSITION, 0, static_cast<long>(start + column));
            };
            const QStringList lines = w->form2.reportText().split(QStringLiteral("\r\n"));
            const long media = x(5, lines[5].indexOf(QStringLiteral("Media")));
            for (int line = 7; line < lines.size() - 2; line += 37)
                QVERIFY2(x(line, lines[line].indexOf('\t') + 1) == media, qPrintable(lines[line]));
        }
    }

    // Maximised, the window and its text area fill the screen's free area; restored, both are
    // back at their size and place, and a resize in the normal state is undone.
    void maximisesAndRestores()
    {
        TForm2 &form = w->form2;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QSize normal = form.size();
        form.showMaximized();
        QTRY_COMPARE(form.frameGeometry().size(), form.screen()->availableGeometry().size());
        QCOMPARE(form.Memo1->geometry(),
            form.centralWidget()->rect().marginsRemoved(QMargins(8, 16, 13, 19)));
        form.showNormal();
        QTRY_COMPARE(form.frameGeometry().topLeft(), QPoint(292, 225));
        form.resize(normal + QSize(0, 1));
        QTRY_COMPARE(form.size(), normal);
        // Under Wine the text area comes out one pixel shorter (its menu bar is taller there).
#ifndef _WIN32
        QCOMPARE(form.centralWidget()->size(), QSize(582, 452));
        QCOMPARE(form.Memo1->geometry(), QRect(8, 16, 561, 417));
#endif
        // Nothing keeps the report above the main window.
        QVERIFY(!form.parentWidget() && !(form.windowFlags() & Qt::WindowStaysOnTopHint));
    }

    // Every page is headed by the data file, n, the option and the date; the mean prints under
    // "Media"; more than 20 pages are asked for first, and a selection or a range prints alone.
    void printsPagesUnderAHeading()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils, scripts/setup.sh) is not installed");
        const auto answer = [&](const QString &name, QPrinter::PrintRange range) {
            w->dialogs.printAnswers.push_back([=, this](QPrinter &printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(w->path(name));
                printer.setPrintRange(range);
                printer.setFromTo(2, 3);
            });
        };
        w->predict(true);
        answer("hd.pdf", QPrinter::AllPages);
        w->form2.Imprimir1->trigger();
        const QString page = pdfText(w->path("hd.pdf"));
        for (const QString &part :
            { "Arquivo de dados: " + w->path("dados.txt"), QStringLiteral("Híbridos duplos (HD)"),
                QStringLiteral("n = 4"), QStringLiteral("Considera recíprocos: Não"),
                QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")),
                QStringLiteral("Página 1 de 1\n"), QStringLiteral("(1x4)(2x3) =>") })
            QVERIFY2(page.contains(part), qPrintable(part + " not in " + page));
        QCOMPARE(page.count('\f'), 1);
        const QString boxes = pdfText(w->path("hd.pdf"), { QStringLiteral("-bbox") });
        QCOMPARE_GE(wordLeft(boxes, "Media"), 100.0);
        QCOMPARE(wordLeft(boxes, "5.250"), wordLeft(boxes, "Media"));
        QCOMPARE(wordLeft(boxes, "8.7"), wordLeft(boxes, "CV%"));
        // The last column fits the page (its stops are not the window's wide ones).
        QVERIFY(wordLeft(boxes, "HS(jl)") > 0 && wordLeft(boxes, "HS(jl)") < 450);

        w->form2.Ordenar1->trigger();
        answer("ordenacao.pdf", QPrinter::AllPages);
        w->ranking().Imprimir1->trigger();
        const QString ranking = pdfText(w->path("ordenacao.pdf"));
        QVERIFY(
            ranking.contains("n = 4") && ranking.contains("(1x4)(2x3)") && !ranking.contains("=>"));

        const QByteArray lines = QByteArray("HD (1x2)(3x4) =>\t5.250\r\n").repeated(3000);
        w->form2.Memo1->setLatin1Text({ lines.constData(), std::size_t(lines.size()) });
        answer("todas.pdf", QPrinter::AllPages); // a no to the question prints nothing
        w->form2.Imprimir1->trigger();
        QVERIFY(w->dialogs.messages.constLast().startsWith("question: Serão impressas "));
        QVERIFY(!QFile::exists(w->path("todas.pdf")));
        w->form2.Memo1->setSelection(10, 0, 20, 0);
        answer("selecao.pdf", QPrinter::Selection);
        w->form2.Imprimir1->trigger();
        QCOMPARE(pdfText(w->path("selecao.pdf")).count("HD (1x2)(3x4)"), 10);
        w->form2.Memo1->setSelection(0, 0, 0, 0);
        answer("paginas.pdf", QPrinter::PageRange);
        w->form2.Imprimir1->trigger();
        const QString pages = pdfText(w->path("paginas.pdf"));
        QVERIFY(pages.count('\f') == 2 && pages.contains("Página 2 de "));
        QCOMPARE(w->dialogs.selectionOffered, QList<bool>({ false, false, false, true, false }));
    }

    void theEditorHoldsSingleByteText()
    {
        QByteArray everyByte;
        for (int code = 1; code < 256; ++code)
            everyByte += char(code);
        w->form2.Memo1->setLatin1Text(everyByte.toStdString());
        QCOMPARE(w->shown(), everyByte);
        w->form2.Memo1->setLatin1Text("linha\r\n");
        w->form2.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w->form2));
        w->form2.Memo1->setCursorPosition(0, 5);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Ccedilla, Qt::NoModifier, QStringLiteral("ç"));
        QApplication::sendEvent(w->form2.Memo1, &press);
        QTest::keyClick(w->form2.Memo1, Qt::Key_Return);
        QCOMPARE(w->shown(), QByteArray("linha\xE7\r\n\r\n"));
    }

    void cleanUpWorksOnTheTextAsTheUserLeftIt()
    {
        w->predict(true, QStringLiteral("4"), true); // lines 8 and 9 are FALSO
        ReportEditor &editor = *w->form2.Memo1;
        editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT,
            static_cast<std::uintptr_t>(editor.positionFromLineIndex(7, 0)), "FALSO ");
        w->form2.LIMPAR1->trigger();
        QVERIFY(!w->shown().contains(" =>"));
        QVERIFY(w->shown().endsWith(
            "Hibridos Falso preditos excluidos = 3\r\nHibridos Reais preditos = 0\r\n"));
    }

    // The estimates rank the FALSO hybrids (only 3x4 is missing) marked "sim"; the three fields
    // add the error of each hybrid, that of a measured HT sqrt(4 / (2 * 2)).
    void rankingWithEstimatesAndErrors()
    {
        w->import("1 2 10\n1 3 12\n2 3 14\n1 4 13\n2 4 15\n1 5 11\n2 5 16\n3 5 9\n4 5 12.5\n");
        w->predict(false, QStringLiteral("5"));
        w->form2.Ordenar1->trigger();
        RankingWindow &ranking = w->ranking();
        ranking.SpinEdit1->setValue(100); // all 30
        const qsizetype measured = tableText(ranking.StringGrid1).size();
        ranking.CheckBox2->setChecked(true);
        QStringList rows = tableText(ranking.StringGrid1);
        QCOMPARE(rows[0], QStringLiteral("Posição|Híbrido|Média|CV%|HS(ik)|HS(jk)|Estimado"));
        QCOMPARE(rows.filter(QStringLiteral("|não")).size(), measured - 1);
        QCOMPARE(rows.size() - 1 - (measured - 1), rows.filter(QStringLiteral("|sim")).size());
        for (auto [edit, text] :
            { std::pair { ranking.Edit1, "4" }, { ranking.Edit2, "10" }, { ranking.Edit3, "2" } }) {
            edit->setText(QString::fromLatin1(text));
            emit edit->editingFinished();
        }
        rows = tableText(ranking.StringGrid1);
        QVERIFY(rows[0].endsWith(QStringLiteral("|Estimado|EP|Difere do 1º (5%)")));
        QVERIFY(rows[1].endsWith(QStringLiteral("|não|1.000|não")));
        ranking.CheckBox2->setChecked(false);
        QCOMPARE(tableText(ranking.StringGrid1).size(), measured);
    }

    // The report was written with the comma; the point chosen since does not change its reading.
    void rankingReadsTheLastReportWithItsSettings()
    {
        w->form2.Ordenar1->trigger();
        QVERIFY(!w->ranking().isVisible());
        w->session.setDecimalChoice(DecimalChoice::Comma);
        w->import(QByteArray(test::kFourLines).replace('.', ','));
        w->predict(true);
        w->session.setDecimalChoice(DecimalChoice::Point);
        w->form2.Ordenar1->trigger();
        QVERIFY(w->ranking().isVisible());
        QCOMPARE(
            tableText(w->ranking().StringGrid1).value(1), "1|(1x4)(2x3)|5,938|13,9|6|5|5,75|7");
        QCOMPARE(tableText(w->ranking().StringGrid2).value(4), QStringLiteral("4|3"));
        const QString csv = w->path(QStringLiteral("a.csv")); // the report's export too
        w->dialogs.choices.push_back(kCsv);
        w->dialogs.queue(csv);
        w->form2.Exportar1->trigger();
        QVERIFY(Windows::read(csv).contains(";5,250;8,7;5;5,5;4,75;5,75;"));
        w->ranking().SpinEdit1->setValue(2);
        QCOMPARE(hybrids(), QStringList({ "(1x4)(2x3)", "(1x3)(2x4)" }));
        w->ranking().CheckBox1->setChecked(true);
        QCOMPARE(hybrids(), QStringList { "(1x4)(2x3)" });
        // An open ranking follows the next prediction: three-way crosses have no pairings.
        w->session.setDecimalChoice(DecimalChoice::Comma);
        w->predict(false, QStringLiteral("3"));
        QVERIFY(w->ranking().isVisible());
        QVERIFY(!w->ranking().CheckBox1->isVisibleTo(&w->ranking()));
        QCOMPARE(hybrids(), QStringList({ "(2x3) 1", "(1x3) 2" }));
        // A report without a predicted hybrid closes it.
        w->form2.Memo1->setLatin1Text("nada\r\n");
        w->form2.Ordenar1->trigger();
        QVERIFY(!w->ranking().isVisible());
        QCOMPARE(w->dialogs.messages,
            QStringList({ "information: Não há relatório de predição para ordenar: faça antes "
                          "uma predição de HD's ou HT's.",
                "information: Planilha salva com sucesso em " + csv,
                "information: O relatório não tem nenhum híbrido predito para ordenar." }));
    }

    void exportsWriteTheChosenSpreadsheet()
    {
        w->form2.Exportar1->trigger(); // no report yet
        w->predict(true);
        const QString csv = w->path(QStringLiteral("relatório.csv"));
        w->dialogs.choices.push_back(SpreadsheetChoice { SpreadsheetFormat::Csv, '\t', '.' });
        w->dialogs.queue(csv);
        w->form2.Exportar1->trigger();
        QVERIFY(Windows::read(csv).contains("(1x2)(3x4)\t1\t2\t3\t4\t5.250\t8.7\t"));
        // The ranking's export: K = 1 as CSV, then both sheets as a workbook.
        w->form2.Ordenar1->trigger();
        w->ranking().SpinEdit1->setValue(1);
        const QString ranking = w->path(QStringLiteral("ordenacao.csv"));
        const QString workbook = w->path(QStringLiteral("ordenacao.xlsx"));
        for (const auto &[choice, name] : { std::pair { kCsv, ranking }, { kXlsx, workbook } }) {
            w->dialogs.choices.push_back(choice);
            w->dialogs.queue(name);
            w->ranking().Exportar1->trigger();
        }
        const QByteArray best = Windows::read(ranking);
        QVERIFY(best.contains("1;(1x4)(2x3);5,938;13,9;6;5;5,75;7") && !best.contains("(1x2)"));
        QVERIFY(Windows::read(workbook).contains("xl/worksheets/sheet2.xml"));
        QCOMPARE(w->dialogs.messages,
            QStringList({ "information: Não há relatório de predição para exportar: faça antes "
                          "uma predição de HD's ou HT's.",
                "information: Planilha salva com sucesso em " + csv,
                "information: Planilha salva com sucesso em " + ranking,
                "information: Planilha salva com sucesso em " + workbook }));
        // Each dialog proposes the last choice; the save dialog offers the chosen format.
        QCOMPARE(w->dialogs.proposedChoices[1].separator, '\t');
        QCOMPARE(w->dialogs.requests.constLast().filters,
            QStringList { "Pasta de trabalho do Excel (*.xlsx)" });
    }

    // Each writes no file, says why and leaves the report as it stands.
    void cancelsAndRefusalsWriteNothing()
    {
        w->predict(true);
        const QByteArray report = w->shown();
        const struct
        {
            std::optional<SpreadsheetChoice> choice;
            QString name, message;
        } rows[] = { { std::nullopt, "a.csv", kNotSaved }, { kXlsx, "", kNotSaved },
            { SpreadsheetChoice { SpreadsheetFormat::Csv, ',', ',' }, "a.csv",
                "error: O separador de campos e a marca decimal do CSV devem ser diferentes." },
            { kCsv, "pasta ç/a.csv", "error: Cannot create file \"" + w->path("pasta ç/a.csv") } };
        for (const auto &row : rows) {
            w->dialogs.messages.clear();
            w->dialogs.choices.push_back(row.choice);
            if (!row.name.isEmpty())
                w->dialogs.queue(w->path(row.name));
            w->form2.Exportar1->trigger();
            QVERIFY2(
                w->dialogs.messages.size() == 1 && w->dialogs.messages[0].startsWith(row.message),
                qPrintable(w->dialogs.messages.join('|')));
            QVERIFY(row.name.isEmpty() || !QFile::exists(w->path(row.name)));
            QCOMPARE(w->shown(), report);
            w->dialogs.answers.clear();
        }
    }

    // A workbook the report would not fit in is refused before a file name is asked for.
    void aWorkbookTooSmallIsToldBeforeTheSaveDialog()
    {
        w->predict(true);
        const QByteArray lines = QByteArray("HD (1x2)(3x4) =>\r\n").repeated(1048576);
        w->form2.Memo1->setLatin1Text({ lines.constData(), std::size_t(lines.size()) });
        const qsizetype asked = w->dialogs.requests.size();
        w->dialogs.choices.push_back(kXlsx);
        w->form2.Exportar1->trigger();
        QCOMPARE(w->dialogs.requests.size(), asked);
        QCOMPARE(w->dialogs.messages,
            QStringList("error: A planilha comporta no máximo 1048575 híbridos; este relatório "
                        "tem 1048576."));
    }

    void exportDialogRefusesASeparatorEqualToTheDecimalMark()
    {
        ExportDialog dialog;
        dialog.setChoice({ SpreadsheetFormat::Csv, '\t', '.' });
        QVERIFY(dialog.choice().separator == '\t' && dialog.choice().decimalMark == '.');
        dialog.ComboBox1->setCurrentIndex(2 - 1); // ", (vírgula)"
        dialog.ComboBox2->setCurrentIndex(0); // ", (vírgula)"
        QVERIFY(!dialog.BitBtn1->isEnabled() && !dialog.Label3->text().isEmpty());
        dialog.RadioButton2->setChecked(true);
        QVERIFY(dialog.BitBtn1->isEnabled() && !dialog.GroupBox1->isEnabled());
        QCOMPARE(dialog.choice().format, SpreadsheetFormat::Xlsx);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
