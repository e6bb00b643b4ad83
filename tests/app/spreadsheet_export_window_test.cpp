// ".:: Exportar ::." of the report and ranking windows: the export dialog and the save dialog
// answered by the test, the file written or not, the messages, and the export dialog itself.
#include "UntExportar.h"
#include "UntOrdenar.h"
#include "UntRelatorio.h"
#include "fake_dialogs.h"
#include "report_window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using koravel::SpreadsheetChoice;
using koravel::SpreadsheetFormat;
using koravel::test::reportText;
using koravel::test::ReportWindow;

Q_DECLARE_METATYPE(koravel::SpreadsheetChoice)

namespace {

const QList<QByteArray> kCandidates {
    "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
    "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t0\t5.5\t4.75\t7",
    "HD (1x4)(2x3) =>\t6.000\t0.0\t6\t6\t6\t6",
};
const QString kNotSaved = QStringLiteral("information: A planilha não foi gravada !!!");

SpreadsheetChoice csv(char separator, char decimalMark)
{
    return { SpreadsheetFormat::Csv, separator, decimalMark };
}
const SpreadsheetChoice kXlsx { SpreadsheetFormat::Xlsx, ';', ',' };

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString saved(const QString &path)
{
    return QStringLiteral("information: Planilha salva com sucesso em ") + path;
}

} // namespace

class SpreadsheetExportWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void reportExportWritesTheCandidatesInTheChosenFormat()
    {
        ReportWindow w;
        const QByteArray report = reportText(kCandidates);
        w.predict(report);
        const QString csvPath = m_dir.filePath(QStringLiteral("relatório.csv"));
        w.dialogs.spreadsheetAnswers.push_back(csv('\t', '.'));
        w.dialogs.queue(csvPath);
        w.form.Exportar1->trigger();

        QCOMPARE(w.dialogs.messages, QStringList { saved(csvPath) });
        QCOMPARE(w.dialogs.saveRequests.size(), 1);
        QCOMPARE(w.dialogs.saveRequests[0].filters, QStringList { "Planilha CSV (*.csv)" });
        QCOMPARE(w.dialogs.saveRequests[0].defaultSuffix, QStringLiteral("csv"));
        const QList<QByteArray> rows = readFile(csvPath).trimmed().split('\n');
        QCOMPARE(rows.size(), 4); // the titles, then each candidate, FALSO too
        QVERIFY2(rows[1].contains("(1x2)(3x4)\t") && rows[1].contains("\t5.250\t8.7\t"), rows[1]);
        QVERIFY2(rows[2].contains("(1x3)(2x4)\t"), rows[2]);

        // The next export proposes the last choice; a workbook is a zip with one sheet.
        const QString xlsxPath = m_dir.filePath(QStringLiteral("relatorio.xlsx"));
        w.dialogs.spreadsheetAnswers.push_back(kXlsx);
        w.dialogs.queue(xlsxPath);
        w.form.Exportar1->trigger();
        QCOMPARE(w.dialogs.spreadsheetRequests.size(), 2);
        QCOMPARE(w.dialogs.spreadsheetRequests[1].separator, '\t');
        QCOMPARE(w.dialogs.spreadsheetRequests[1].decimalMark, '.');
        QCOMPARE(w.dialogs.saveRequests[1].defaultSuffix, QStringLiteral("xlsx"));
        const QByteArray workbook = readFile(xlsxPath);
        QVERIFY(workbook.startsWith("PK\x03\x04"));
        QVERIFY(workbook.contains("xl/worksheets/sheet1.xml"));
        QVERIFY(!workbook.contains("xl/worksheets/sheet2.xml"));
        QCOMPARE(w.dialogs.messages.constLast(), saved(xlsxPath));
        QCOMPARE(w.shown(), report);
    }

    void cancelsAndRefusalsWriteNothing_data()
    {
        QTest::addColumn<bool>("predicted");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<SpreadsheetChoice>("choice");
        QTest::addColumn<bool>("named");
        QTest::addColumn<int>("saveDialogs");
        QTest::addColumn<QString>("message");
        QTest::newRow("no prediction yet")
            << false << true << csv(';', ',') << true << 0
            << "information: Não há relatório de predição para exportar: faça antes uma "
               "predição de HD's ou HT's.";
        QTest::newRow("export dialog cancelled")
            << true << false << csv(';', ',') << true << 0 << kNotSaved;
        QTest::newRow("save dialog cancelled") << true << true << kXlsx << false << 1 << kNotSaved;
        QTest::newRow("separator equal to the decimal mark")
            << true << true << csv(',', ',') << true << 0
            << "error: O separador de campos e a marca decimal do CSV devem ser diferentes.";
    }

    void cancelsAndRefusalsWriteNothing()
    {
        QFETCH(bool, predicted);
        QFETCH(bool, chosen);
        QFETCH(SpreadsheetChoice, choice);
        QFETCH(bool, named);
        QFETCH(int, saveDialogs);
        QFETCH(QString, message);

        ReportWindow w;
        const QByteArray report = reportText(kCandidates);
        if (predicted)
            w.predict(report);
        else
            w.form.Memo1->setLatin1Text(report.toStdString());
        const QString path = m_dir.filePath(QStringLiteral("nada.csv"));
        if (chosen)
            w.dialogs.spreadsheetAnswers.push_back(choice);
        else
            w.dialogs.spreadsheetAnswers.push_back(std::nullopt);
        if (named)
            w.dialogs.queue(path);
        w.form.Exportar1->trigger();
        QCOMPARE(w.dialogs.saveRequests.size(), saveDialogs);
        QCOMPARE(w.dialogs.messages, QStringList { message });
        QVERIFY(!QFile::exists(path));
        QCOMPARE(w.shown(), report);
    }

    void aFileThatCannotBeWrittenIsAnErrorNamingIt()
    {
        ReportWindow w;
        w.predict(reportText(kCandidates));
        // The message names the file as the user chose it, not in the file system's UTF-8.
        const QString path = m_dir.filePath(QStringLiteral("pasta ausente ç/planilha.csv"));
        w.dialogs.spreadsheetAnswers.push_back(csv(';', ','));
        w.dialogs.queue(path);
        w.form.Exportar1->trigger();
        QCOMPARE(w.dialogs.messages.size(), 1);
        QVERIFY2(w.dialogs.messages[0].startsWith(QStringLiteral("error: "))
                && w.dialogs.messages[0].contains(path),
            qPrintable(w.dialogs.messages[0]));
        QVERIFY(!QFile::exists(path));
    }

    void rankingExportWritesTheRankingAndBothSheets()
    {
        ReportWindow w;
        const QByteArray report = reportText(kCandidates);
        w.predict(report);
        w.form.Ordenar1->trigger();
        auto *window = w.form.findChild<TForm4 *>(QStringLiteral("Form4"));
        QVERIFY(window && window->isVisible());
        window->SpinEdit1->setValue(1);

        const QString csvPath = m_dir.filePath(QStringLiteral("ordenacao.csv"));
        w.dialogs.spreadsheetAnswers.push_back(csv(';', ','));
        w.dialogs.queue(csvPath);
        window->Exportar1->trigger();
        QCOMPARE(w.dialogs.messages, QStringList { saved(csvPath) });
        const QByteArray table = readFile(csvPath);
        // K = 1: the best hybrid alone, its four lines once each.
        QVERIFY2(table.contains("1;(1x4)(2x3);6,000;0,0;6;6;6;6"), table);
        QVERIFY2(!table.contains("(1x2)(3x4)"), table);
        QVERIFY2(table.contains("\n4;1"), table);

        const QString xlsxPath = m_dir.filePath(QStringLiteral("ordenacao.xlsx"));
        w.dialogs.spreadsheetAnswers.push_back(kXlsx);
        w.dialogs.queue(xlsxPath);
        window->Exportar1->trigger();
        const QByteArray workbook = readFile(xlsxPath);
        QVERIFY(workbook.contains("xl/worksheets/sheet2.xml"));
        QCOMPARE(w.dialogs.messages.constLast(), saved(xlsxPath));
        QCOMPARE(w.shown(), report);
    }

    void exportDialogShowsAndReturnsTheChoice_data()
    {
        QTest::addColumn<SpreadsheetChoice>("choice");
        QTest::addColumn<bool>("optionsEnabled");
        QTest::addColumn<bool>("confirmable");
        QTest::newRow("csv ; ,") << csv(';', ',') << true << true;
        QTest::newRow("csv tab .") << csv('\t', '.') << true << true;
        QTest::newRow("csv , .") << csv(',', '.') << true << true;
        QTest::newRow("csv , ,") << csv(',', ',') << true << false;
        QTest::newRow("xlsx") << SpreadsheetChoice { SpreadsheetFormat::Xlsx, ',', ',' } << false
                              << true;
    }

    void exportDialogShowsAndReturnsTheChoice()
    {
        QFETCH(SpreadsheetChoice, choice);
        QFETCH(bool, optionsEnabled);
        QFETCH(bool, confirmable);
        TForm5 dialog;
        dialog.setChoice(choice);
        QCOMPARE(dialog.choice().format, choice.format);
        QCOMPARE(dialog.choice().separator, choice.separator);
        QCOMPARE(dialog.choice().decimalMark, choice.decimalMark);
        QCOMPARE(dialog.GroupBox1->isEnabled(), optionsEnabled);
        QCOMPARE(dialog.BitBtn1->isEnabled(), confirmable);
        QCOMPARE(dialog.Label3->text().isEmpty(), confirmable);
    }

    void exportDialogFollowsTheListsAsTheyChange()
    {
        TForm5 dialog;
        dialog.ComboBox1->setCurrentIndex(1); // "," against the decimal comma
        QVERIFY(!dialog.BitBtn1->isEnabled());
        dialog.RadioButton2->setChecked(true);
        QVERIFY(dialog.BitBtn1->isEnabled() && !dialog.GroupBox1->isEnabled());
    }
};

QTEST_MAIN(SpreadsheetExportWindowTest)
#include "spreadsheet_export_window_test.moc"
