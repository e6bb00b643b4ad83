// The main window driven as a user would: import through the dialog interface, step the spin
// control, predict into the report window, and see the errors in message boxes.
#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "fake_dialogs.h"
#include "koravel_application.h"
#include "main_windows_fixture.h"
#include "up_down.h"
#include "widget_progress.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using koravel::FakeDialogs;

namespace {

const QString kRule = QString(128, QLatin1Char('-'));

// Single crosses of four lines, each once with the smaller parent first.
const QByteArray kFourLines = "1 2 6\r\n1 3 5\r\n1 4 5.5\r\n2 3 4.75\r\n2 4 5.75\r\n3 4 7\r\n";

struct Windows : koravel::test::MainWindows<>
{
    QTableView *grid() { return get<QTableView>("StringGrid1"); }
    QAbstractItemModel *model() { return grid()->model(); }
    QLineEdit *edit() { return get<QLineEdit>("Edit1"); }
    QProgressBar *bar() { return get<QProgressBar>("ProgressBar1"); }
    QPushButton *button(bool hd) { return get<QPushButton>(hd ? "BitBtn1" : "BitBtn2"); }
    // What the controls show: each prediction button (on/off), the progress bar, Edit1 and the
    // counts of double and three-way crosses: "on on 0 4 3 12".
    QString state()
    {
        return QStringList { button(true)->isEnabled() ? "on" : "off",
            button(false)->isEnabled() ? "on" : "off", QString::number(bar()->value()),
            edit()->text(), get<QLabel>("Label3")->text(), get<QLabel>("Label5")->text() }
            .join(' ');
    }
    // The table as the user sees it: the heading row, then each row with its label when the
    // label column is shown, cells joined by "|".
    QString table()
    {
        const QAbstractItemModel *m = model();
        const bool labels = grid()->verticalHeader()->isVisibleTo(grid());
        QStringList rows, cells;
        for (int column = 0; column < m->columnCount(); ++column)
            cells << m->headerData(column, Qt::Horizontal).toString();
        rows << cells.join('|');
        for (int row = 0; row < m->rowCount(); ++row) {
            cells = labels ? QStringList { m->headerData(row, Qt::Vertical).toString() }
                           : QStringList();
            for (int column = 0; column < m->columnCount(); ++column)
                cells << m->index(row, column).data().toString();
            rows << cells.join('|');
        }
        return rows.join('\n');
    }
    void step(const char *arrow, int times)
    {
        auto *button =
            get<koravel::UpDown>("UpDown1")->findChild<QToolButton *>(QString::fromLatin1(arrow));
        for (int i = 0; i < times; ++i)
            button->click();
    }
    QRadioButton *option(const QString &text)
    {
        for (QRadioButton *button : get<QGroupBox>("RadioGroup1")->findChildren<QRadioButton *>())
            if (button->text() == text)
                return button;
        qFatal("no option");
    }
    void predict(bool hd, const QString &lines, bool reciprocals)
    {
        edit()->setText(lines);
        option(reciprocals ? QStringLiteral("Sim") : QStringLiteral("Não"))->setChecked(true);
        button(hd)->click();
    }
    QStringList reportLines()
    {
        QStringList lines = form2.reportText().split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        return lines;
    }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Windows> w;

    // Writes the bytes to a file and imports it through the open dialog.
    QString importText(const QByteArray &bytes, const QString &filter = QString())
    {
        return w->importText(m_dir, bytes, filter);
    }

private slots:
    void init()
    {
        koravel::KoravelApplication::setFormatSettings({ '.' });
        w = std::make_unique<Windows>();
    }
    void cleanup() { w.reset(); }

    void startsWithHeadingsEmptyRowAndDisabledButtons()
    {
        w->form1.show();
        QVERIFY(!w->form2.isVisible() && !w->form3.isVisible());
        QCOMPARE(w->form1.windowTitle(),
            QStringLiteral(".:: Koravel v.1.1 - Predição de Híbridos Duplos e Triplos"));
        QCOMPARE(w->table(), QStringLiteral("Pai A|Pai B|PRODUÇÃO\n|||"));
        QVERIFY(w->option(QStringLiteral("Sim"))->isChecked());
        QCOMPARE(w->state(), QStringLiteral("off off 0 0 0 0"));
    }

    void importFillsTheTableAndACancelKeepsIt()
    {
        const QString three =
            QStringLiteral("Pai A|Pai B|PRODUÇÃO\nHS 1|1|2|4.5\nHS 2|1|3|5\nHS 3|2|3|6.25");
        const QString path =
            importText("1 2 4.5\r\n1\t3   5\r\n 2 3 6.25 \r\n", TForm1::openFilters().at(1));
        QCOMPARE(w->dialogs.messages, QStringList());
        QCOMPARE(w->dialogs.openRequests[0].selectedFilter, TForm1::openFilters().at(0));
        QCOMPARE(w->table(), three);
        QCOMPARE(w->state(), QStringLiteral("on on 0 0 0 0"));

        // The next opening proposes the name and filter chosen; a cancel keeps the table.
        w->get<QAction>("Importardados1")->trigger();
        QCOMPARE(w->dialogs.openRequests[1].proposedName, path);
        QCOMPARE(w->dialogs.openRequests[1].selectedFilter, TForm1::openFilters().at(1));
        QCOMPARE(w->dialogs.messages, QStringList { "information: nenhum arquivo carregado" });
        QCOMPARE(w->table(), three);
        QCOMPARE(w->state(), QStringLiteral("on on 0 0 0 0"));
    }

    void failedImportChangesNothingTheUserSees()
    {
        importText("1 2 4.5\n1 3 5\n");
        importText("7 8 9\n7 8\n");
        QCOMPARE(w->dialogs.messages, QStringList { "error: List index out of bounds (2)" });
        QCOMPARE(w->table(), QStringLiteral("Pai A|Pai B|PRODUÇÃO\nHS 1|1|2|4.5\nHS 2|1|3|5"));
        QCOMPARE(w->state(), QStringLiteral("on on 0 0 0 0"));
    }

    void labelColumnBecomesOrdinaryCellsAfterAFirstLineWithoutFields()
    {
        importText("   \n");
        QCOMPARE(w->table(), QStringLiteral("\nHS 1"));
        // A wider file later does not hide the labels again: no cell is out of sight.
        importText("1 2 4.5\n1 3 5\n");
        QCOMPARE(w->table(), QStringLiteral("|Pai A|Pai B|PRODUÇÃO\nHS 1|1|2|4.5\nHS 2|1|3|5"));
    }

    void spinStepsShowTheLinesAndTheCounts()
    {
        // Steps taken one after the other from the start, and what shows after each.
        const struct
        {
            int ups, downs;
            const char *shown;
        } steps[] = { { 0, 1, "1 0 0" }, { 2, 0, "3 0 3" }, { 1, 0, "4 3 12" }, { 1, 0, "5 15 30" },
            { 2, 1, "6 45 60" }, { 120, 0, "100 11763675 485100" } };
        for (const auto &step : steps) {
            w->step("UpButton", step.ups);
            w->step("DownButton", step.downs);
            QCOMPARE(w->state(), QStringLiteral("off off 0 ") + step.shown);
        }
        // A step at the limit still rewrites the field; typing into it does not refresh the counts.
        w->edit()->setText(QStringLiteral("7"));
        w->step("UpButton", 1);
        QCOMPARE(w->state(), QStringLiteral("off off 0 100 11763675 485100"));
        w->edit()->setText(QStringLiteral("4"));
        QCOMPARE(w->state(), QStringLiteral("off off 0 4 11763675 485100"));
    }

    void predictionsWriteTheReport()
    {
        importText(kFourLines);
        const struct
        {
            bool hd, reciprocals;
            const char *candidates;
        } rows[] = {
            { true, false,
                "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75\n"
                "HD (1x3)(2x4) =>\t5.813\t16.2\t6\t5.5\t4.75\t7\n"
                "HD (1x4)(2x3) =>\t5.938\t13.9\t6\t5\t5.75\t7" },
            { true, true,
                "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75\n"
                "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t7\n"
                "FALSO HD (1x4)(2x3) =>\t0.000\t0.0\t6\t5\t0\t0" },
            { false, false,
                "HT (1x2) 3 =>\t4.875\t3.6\t5\t4.75\nHT (1x3) 2 =>\t5.375\t16.4\t6\t4.75\n"
                "HT (2x3) 1 =>\t5.500\t12.9\t6\t5" },
            { false, true,
                "HT (1x2) 3 =>\t4.875\t3.6\t5\t4.75\nFALSO HT (1x3) 2 =>\t0.000\t0.0\t6\t0\n"
                "FALSO HT (2x3) 1 =>\t0.000\t0.0\t0\t0" },
        };
        for (const auto &row : rows) {
            w->form2.hide();
            w->predict(row.hd, row.hd ? "4" : " 3", row.reciprocals);
            QCOMPARE(w->reportLines().mid(7).join('\n'), row.candidates + ('\n' + kRule));
            QVERIFY(w->form2.isVisible());
        }
        QCOMPARE(w->dialogs.messages, QStringList());
        QCOMPARE(w->bar()->value(), 0);
    }

    void aCellEditedInTheTableIsWhatTheNextPredictionReads()
    {
        importText(kFourLines);
        QAbstractItemModel *model = w->model();
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(model->setData(model->index(1, 2), QStringLiteral("9"))); // row "HS 2": 1 3 5
        QCOMPARE(changed.size(), 1);
        w->predict(true, QStringLiteral("4"), false);
        QCOMPARE(w->reportLines().value(7),
            QStringLiteral("HD (1x2)(3x4) =>\t6.250\t30.1\t9\t5.5\t4.75\t5.75"));
    }

    void predictionUsesTheRegionalDecimalSeparator()
    {
        koravel::KoravelApplication::setFormatSettings({ ',' });
        importText("1 2 6\n1 3 5\n1 4 5,5\n2 3 4,75\n2 4 5,75\n3 4 7\n");
        w->predict(true, QStringLiteral("4"), true);
        QCOMPARE(w->dialogs.messages, QStringList());
        QCOMPARE(w->reportLines().value(7),
            QStringLiteral("HD (1x2)(3x4) =>\t5,250\t8,7\t5\t5,5\t4,75\t5,75"));
    }

    void tooFewLinesAndABadFieldAreShownAndTheReportStandsAsWritten()
    {
        importText(kFourLines);
        const QString fewHD = "information: Para cáculo de HDs o mínimo são 4 linhagens";
        const struct
        {
            bool hd;
            const char *lines;
            QStringList messages;
            int reportLines; // 7: the header block; 8: with the closing rule
        } rows[] = {
            { true, "abc", { "error: 'abc' is not a valid integer value." }, 0 },
            { true, "0", { fewHD, "error: TProgressBar property out of range." }, 7 },
            { true, "3", { fewHD }, 8 },
            { false, "2", { "information: Para cáculo de HTs o mínimo são 3 linhagens" }, 8 },
        };
        for (const auto &row : rows) {
            w->dialogs.messages.clear();
            w->predict(row.hd, QString::fromLatin1(row.lines), true);
            QCOMPARE(w->dialogs.messages, row.messages);
            const QStringList report = w->reportLines();
            QCOMPARE(report.size(), row.reportLines);
            QVERIFY(row.reportLines < 8 || report[7] == kRule);
            // No candidate line: the report window stays hidden.
            QVERIFY(!w->form2.isVisible());
            QCOMPARE(w->bar()->value(), 0);
        }
    }

    void badCellStopsThePredictionWithoutTheClosingRule()
    {
        importText("1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7x\n");
        w->predict(true, QStringLiteral("4"), true);
        QCOMPARE(w->dialogs.messages,
            QStringList { "error: '7x' is not a valid floating point value." });
        const QStringList report = w->reportLines();
        QVERIFY(report.size() >= 7 && report.constLast() != kRule);
        // A run that fails before writing leaves the earlier report as it stands.
        w->predict(true, QStringLiteral("abc"), true);
        QCOMPARE(w->reportLines(), report);
    }

    void longRunRepaintsWithItsPositionAndDropsInput()
    {
        w->form1.show();
        QPushButton *button = w->button(true);
        button->setEnabled(true);
        QSignalSpy clicked(button, &QPushButton::clicked);
        QProgressBar bar;
        koravel::WidgetProgress progress(bar);
        progress.setMaximum(97);
        progress.setPosition(12);
        int shownDuringRun = -1;
        QTimer::singleShot(0, [&] {
            shownDuringRun = bar.value();
            QVERIFY(QApplication::overrideCursor() != nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(w->edit(), Qt::Key_5);
        });
        QElapsedTimer guard;
        guard.start();
        while (shownDuringRun < 0 && guard.elapsed() < 10000)
            progress.tick();
        progress.settle();
        QCOMPARE(shownDuringRun, 12);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(clicked.size(), 0);
        QCOMPARE(w->edit()->text(), QStringLiteral("0"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
    }

    void sobreOpensTheAboutWindowModallyAndSairClosesTheMainWindow()
    {
        w->form1.show();
        w->form2.show();
        QWidget *modal = nullptr;
        QTimer::singleShot(0, [&] {
            modal = QApplication::activeModalWidget();
            w->form3.close();
        });
        w->get<QAction>("Sobre1")->trigger();
        QCOMPARE(modal, static_cast<QWidget *>(&w->form3));
        QVERIFY(!w->form3.isVisible());

        // The program ends with the main window, whatever else is open.
        QSignalSpy closed(&w->form1, &TForm1::closed);
        w->get<QAction>("Sair1")->trigger();
        QVERIFY(!w->form1.isVisible());
        QCOMPARE(closed.size(), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
