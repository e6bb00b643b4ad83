// The main window driven as a user would: import through the dialog interface, step the spin
// control, predict into the report window, and see the errors in message boxes.
#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "error.h"
#include "fake_dialogs.h"
#include "input_blocker.h"
#include "koravel_application.h"
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
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
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

struct Windows
{
    FakeDialogs dialogs;
    TForm1 form1 { dialogs };
    TForm2 form2 { dialogs };
    TForm3 form3;

    Windows() { form1.setOtherWindows(form2, form3); }

    template <typename T> T *control(const char *name)
    {
        T *found = form1.findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QTableView *grid() { return control<QTableView>("StringGrid1"); }
    QAbstractItemModel *model() { return grid()->model(); }
    QLineEdit *edit() { return control<QLineEdit>("Edit1"); }
    QString label(const char *name) { return control<QLabel>(name)->text(); }

    // What the table shows, addressed like the grid (column, row), with its heading row and
    // label column shown as the view's headers.
    QString heading(int column)
    {
        return model()->headerData(column - 1, Qt::Horizontal).toString();
    }
    QString rowLabel(int row) { return model()->headerData(row - 1, Qt::Vertical).toString(); }
    QString cell(int column, int row)
    {
        return model()->index(row - 1, column - 1).data().toString();
    }

    QRadioButton *option(const QString &text)
    {
        for (QRadioButton *button :
            control<QGroupBox>("RadioGroup1")->findChildren<QRadioButton *>())
            if (button->text() == text)
                return button;
        qFatal("no option");
    }

    void importFile(const QString &path, const QString &filter = QString())
    {
        dialogs.queueOpen(path, filter);
        control<QAction>("Importardados1")->trigger();
    }
    void step(const char *arrow, int times)
    {
        auto *button = control<koravel::UpDown>("UpDown1")->findChild<QToolButton *>(
            QString::fromLatin1(arrow));
        for (int i = 0; i < times; ++i)
            button->click();
    }
    void predict(const char *button, const QString &lines, const QString &reciprocals)
    {
        edit()->setText(lines);
        option(reciprocals)->setChecked(true);
        control<QPushButton>(button)->click();
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

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
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
        QVERIFY(!w->form2.isVisible());
        QVERIFY(!w->form3.isVisible());

        QCOMPARE(w->form1.windowTitle(),
            QStringLiteral(".:: Koravel v.1.1 - Predição de Híbridos Duplos e Triplos"));
        QCOMPARE(w->heading(1), QStringLiteral("Pai A"));
        QCOMPARE(w->heading(2), QStringLiteral("Pai B"));
        QCOMPARE(w->heading(3), QStringLiteral("PRODUÇÃO"));
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(w->model()->columnCount(), 3);
        for (int column = 1; column <= 3; ++column)
            QVERIFY(w->cell(column, 1).isEmpty());
        QVERIFY(w->grid()->horizontalHeader()->isVisibleTo(w->grid()));
        QVERIFY(w->grid()->verticalHeader()->isVisibleTo(w->grid()));
        QVERIFY(w->option(QStringLiteral("Sim"))->isChecked());
        QVERIFY(!w->option(QStringLiteral("Não"))->isChecked());
        QVERIFY(!w->control<QPushButton>("BitBtn1")->isEnabled());
        QVERIFY(!w->control<QPushButton>("BitBtn2")->isEnabled());
        QCOMPARE(w->edit()->text(), QStringLiteral("0"));
        QCOMPARE(w->label("Label3"), QStringLiteral("0"));
        QCOMPARE(w->label("Label5"), QStringLiteral("0"));
        QCOMPARE(w->control<QProgressBar>("ProgressBar1")->maximum(), 100);
        QCOMPARE(w->control<QProgressBar>("ProgressBar1")->value(), 0);

        QStringList menu;
        for (QAction *action : w->form1.menuBar()->actions())
            menu << action->text();
        QCOMPARE(menu, QStringList({ ".:: Importar dados ::.", ".:: Sobre ::.", ".:: Sair ::." }));
        const auto *credits = w->control<QLabel>("StatusPanel1");
        QVERIFY(
            credits->text().contains(QRegularExpression(QStringLiteral("\\d\\d/\\d\\d/\\d{4}"))));
        QCOMPARE(credits->width(), 350);
    }

    void placesEveryControlAndKeepsTheClientSize()
    {
        const struct
        {
            const char *name;
            QRect geometry;
        } rows[] = {
            { "Image1", { 8, 0, 153, 265 } },
            { "StringGrid1", { 160, 0, 297, 417 } },
            { "BitBtn1", { 472, 0, 153, 49 } },
            { "BitBtn2", { 472, 56, 153, 49 } },
            { "Edit1", { 496, 144, 65, 25 } },
            { "UpDown1", { 568, 136, 25, 41 } },
            { "RadioGroup1", { 472, 192, 153, 65 } },
            { "GroupBox1", { 472, 264, 153, 161 } },
            { "ProgressBar1", { 8, 432, 625, 17 } },
        };
        w->form1.show();
        for (const auto &row : rows)
            QCOMPARE(w->control<QWidget>(row.name)->geometry(), row.geometry);
        QCOMPARE(w->control<QLabel>("Label1")->pos(), QPoint(464, 112));
        QCOMPARE(w->control<QLabel>("Label2")->pos(), QPoint(8, 24));
        QCOMPARE(w->control<QLabel>("Label4")->pos(), QPoint(8, 88));
        QVERIFY(!w->edit()->hasFrame());
        QCOMPARE(w->edit()->font().pixelSize(), 16);
        QVERIFY(w->edit()->font().bold());

        // Menu bar above, status bar of 28 pixels below: 637 x 484 between the two.
        const int menuHeight = w->form1.menuBar()->height();
        QCOMPARE(w->form1.size(), QSize(637, menuHeight + 484));
        QCOMPARE(w->form1.minimumSize(), w->form1.maximumSize());
        QCOMPARE(
            w->control<QStatusBar>("StatusBar1")->geometry(), QRect(0, menuHeight + 456, 637, 28));
        QVERIFY(!(w->form1.windowFlags() & Qt::WindowMaximizeButtonHint));

        // Cells 64 x 24 that the user cannot resize.
        QCOMPARE(w->grid()->columnWidth(0), 64);
        QCOMPARE(w->grid()->rowHeight(0), 24);
        QCOMPARE(w->grid()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(w->grid()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    }

    void importFillsTheTableAndEnablesPredictions()
    {
        const QByteArray text = "1 2 4.5\r\n1\t3   5\r\n 2 3 6.25 \r\n";
        const QString path = writeFile(QStringLiteral("three.txt"), text);
        w->importFile(path, TForm1::openFilters().at(1));

        QVERIFY(w->dialogs.errors.isEmpty());
        QCOMPARE(w->dialogs.openRequests.size(), 1);
        QCOMPARE(w->dialogs.openRequests[0].filters, TForm1::openFilters());
        QCOMPARE(w->dialogs.openRequests[0].selectedFilter, TForm1::openFilters().at(0));
        QVERIFY(w->dialogs.openRequests[0].proposedName.isEmpty());

        QCOMPARE(w->model()->rowCount(), 3);
        QCOMPARE(w->model()->columnCount(), 3);
        const char *expected[3][4] = { { "HS 1", "1", "2", "4.5" }, { "HS 2", "1", "3", "5" },
            { "HS 3", "2", "3", "6.25" } };
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(w->rowLabel(row), QString::fromLatin1(expected[row - 1][0]));
            for (int column = 1; column <= 3; ++column)
                QCOMPARE(w->cell(column, row), QString::fromLatin1(expected[row - 1][column]));
        }
        QCOMPARE(w->heading(3), QStringLiteral("PRODUÇÃO"));
        QVERIFY(w->control<QPushButton>("BitBtn1")->isEnabled());
        QVERIFY(w->control<QPushButton>("BitBtn2")->isEnabled());
        QCOMPARE(w->control<QProgressBar>("ProgressBar1")->value(), 0);
        QCOMPARE(w->form1.lineBuffer(), std::string(text.constData()));

        // The next opening proposes the name and the filter chosen; a cancel keeps the table.
        w->control<QAction>("Importardados1")->trigger();
        QCOMPARE(w->dialogs.openRequests[1].proposedName, path);
        QCOMPARE(w->dialogs.openRequests[1].selectedFilter, TForm1::openFilters().at(1));
        QCOMPARE(
            w->dialogs.informations, QStringList { QStringLiteral("nenhum arquivo carregado") });
        QVERIFY(w->dialogs.errors.isEmpty());
        QCOMPARE(w->model()->rowCount(), 3);
        QCOMPARE(w->cell(3, 3), QStringLiteral("6.25"));
        QVERIFY(w->control<QPushButton>("BitBtn1")->isEnabled());

        // A cancel leaves the last choice as it was.
        w->control<QAction>("Importardados1")->trigger();
        QCOMPARE(w->dialogs.openRequests[2].proposedName, path);
    }

    void cancelAtStartKeepsTheEmptyTable()
    {
        w->control<QAction>("Importardados1")->trigger();
        QCOMPARE(
            w->dialogs.informations, QStringList { QStringLiteral("nenhum arquivo carregado") });
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(w->heading(1), QStringLiteral("Pai A"));
        QVERIFY(!w->control<QPushButton>("BitBtn1")->isEnabled());
        QVERIFY(!w->control<QPushButton>("BitBtn2")->isEnabled());
    }

    void failedImportChangesNothingTheUserSees_data()
    {
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        QTest::newRow("short line") << false << QByteArray("7 8 9\n7 8\n")
                                    << QStringLiteral("List index out of bounds (2)");
        QTest::newRow("empty line inside") << false << QByteArray("7 8 9\n\n7 8 9\n")
                                           << QStringLiteral("List index out of bounds (0)");
        QTest::newRow("no lines") << false << QByteArray("")
                                  << QStringLiteral("TProgressBar property out of range.");
        QTest::newRow("NUL first") << false << QByteArray("\0 1 2\n", 7)
                                   << QStringLiteral("TProgressBar property out of range.");
        QTest::newRow("missing file") << true << QByteArray() << QString();
    }
    void failedImportChangesNothingTheUserSees()
    {
        QFETCH(bool, missing);
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        w->importFile(writeFile(QStringLiteral("good.txt"), "1 2 4.5\n1 3 5\n"));
        w->control<QProgressBar>("ProgressBar1")->setValue(0);

        QString path = m_dir.filePath(QStringLiteral("missing.txt"));
        if (missing)
            error = QStringLiteral("Cannot open file \"%1\". No such file or directory.").arg(path);
        else
            path = writeFile(QStringLiteral("bad.txt"), content);
        w->importFile(path);

        QCOMPARE(w->dialogs.errors, QStringList { error });
        QCOMPARE(w->model()->rowCount(), 2);
        QCOMPARE(w->model()->columnCount(), 3);
        QCOMPARE(w->rowLabel(2), QStringLiteral("HS 2"));
        QCOMPARE(w->cell(3, 2), QStringLiteral("5"));
        QCOMPARE(w->heading(1), QStringLiteral("Pai A"));
        QVERIFY(w->grid()->horizontalHeader()->isVisibleTo(w->grid()));
        QCOMPARE(w->control<QProgressBar>("ProgressBar1")->value(), 0);
        QVERIFY(w->control<QPushButton>("BitBtn2")->isEnabled());
    }

    void labelColumnStopsBeingFixedAfterAFirstLineWithoutFields()
    {
        w->importFile(writeFile(QStringLiteral("blank.txt"), "   \n"));
        QVERIFY(w->dialogs.errors.isEmpty());
        QVERIFY(!w->grid()->verticalHeader()->isVisibleTo(w->grid()));
        QVERIFY(w->grid()->horizontalHeader()->isVisibleTo(w->grid()));
        QCOMPARE(w->model()->columnCount(), 1);
        QCOMPARE(w->model()->index(0, 0).data().toString(), QStringLiteral("HS 1"));
        QVERIFY(w->model()->flags(w->model()->index(0, 0)) & Qt::ItemIsEditable);

        // Raising the column count later does not restore it: the labels stay ordinary cells.
        w->importFile(writeFile(QStringLiteral("two.txt"), "1 2 4.5\n1 3 5\n"));
        QVERIFY(!w->grid()->verticalHeader()->isVisibleTo(w->grid()));
        QCOMPARE(w->model()->columnCount(), 4);
        QCOMPARE(w->model()->index(1, 0).data().toString(), QStringLiteral("HS 2"));
        QCOMPARE(w->model()->index(1, 3).data().toString(), QStringLiteral("5"));
        QCOMPARE(w->heading(2), QStringLiteral("Pai A"));
    }

    void spinStepsShowTheLinesAndTheCounts_data()
    {
        QTest::addColumn<int>("ups");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("doubleCrosses");
        QTest::addColumn<QString>("threeWayCrosses");
        QTest::newRow("down at the bottom limit") << 0 << 1 << "1"
                                                  << "0"
                                                  << "0";
        QTest::newRow("one up") << 1 << 0 << "2"
                                << "0"
                                << "0";
        QTest::newRow("three lines") << 2 << 0 << "3"
                                     << "0"
                                     << "3";
        QTest::newRow("four lines") << 3 << 0 << "4"
                                    << "3"
                                    << "12";
        QTest::newRow("five lines") << 4 << 0 << "5"
                                    << "15"
                                    << "30";
        QTest::newRow("up and back") << 6 << 1 << "6"
                                     << "45"
                                     << "60";
        QTest::newRow("seven lines") << 6 << 0 << "7"
                                     << "105"
                                     << "105";
        QTest::newRow("past the top limit") << 120 << 0 << "100"
                                            << "11763675"
                                            << "485100";
    }
    void spinStepsShowTheLinesAndTheCounts()
    {
        QFETCH(int, ups);
        QFETCH(int, downs);
        QFETCH(QString, lines);
        QFETCH(QString, doubleCrosses);
        QFETCH(QString, threeWayCrosses);
        w->step("UpButton", ups);
        w->step("DownButton", downs);
        QCOMPARE(w->edit()->text(), lines);
        QCOMPARE(w->label("Label3"), doubleCrosses);
        QCOMPARE(w->label("Label5"), threeWayCrosses);
        // The widest count stays inside its frame.
        const auto *count = w->control<QLabel>("Label3");
        QVERIFY(count->geometry().right() < w->control<QGroupBox>("GroupBox1")->width());
    }

    void stepAtALimitStillRewritesTheField()
    {
        w->step("UpButton", 99);
        w->edit()->setText(QStringLiteral("7"));
        w->step("UpButton", 1);
        QCOMPARE(w->edit()->text(), QStringLiteral("100"));
        QCOMPARE(w->label("Label5"), QStringLiteral("485100"));

        // Typing into the field does not refresh the counts.
        w->edit()->setText(QStringLiteral("4"));
        QCOMPARE(w->label("Label3"), QStringLiteral("11763675"));
    }

    void predictionsWriteTheReport_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("reciprocals");
        QTest::addColumn<QStringList>("candidates");
        QTest::newRow("HD, either order")
            << QByteArray("BitBtn1") << "4"
            << "Não"
            << QStringList { "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
                   "HD (1x3)(2x4) =>\t5.813\t16.2\t6\t5.5\t4.75\t7",
                   "HD (1x4)(2x3) =>\t5.938\t13.9\t6\t5\t5.75\t7" };
        QTest::newRow("HD, reciprocals distinct")
            << QByteArray("BitBtn1") << "4"
            << "Sim"
            << QStringList { "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
                   "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t7",
                   "FALSO HD (1x4)(2x3) =>\t0.000\t0.0\t6\t5\t0\t0" };
        QTest::newRow("HT, either order")
            << QByteArray("BitBtn2") << "3"
            << "Não"
            << QStringList { "HT (1x2) 3 =>\t4.875\t3.6\t5\t4.75",
                   "HT (1x3) 2 =>\t5.375\t16.4\t6\t4.75", "HT (2x3) 1 =>\t5.500\t12.9\t6\t5" };
        QTest::newRow("HT, reciprocals distinct")
            << QByteArray("BitBtn2") << " 3"
            << "Sim"
            << QStringList { "HT (1x2) 3 =>\t4.875\t3.6\t5\t4.75",
                   "FALSO HT (1x3) 2 =>\t0.000\t0.0\t6\t0",
                   "FALSO HT (2x3) 1 =>\t0.000\t0.0\t0\t0" };
    }
    void predictionsWriteTheReport()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, lines);
        QFETCH(QString, reciprocals);
        QFETCH(QStringList, candidates);
        w->importFile(writeFile(QStringLiteral("four.txt"), kFourLines));
        w->predict(button.constData(), lines, reciprocals);

        QVERIFY2(w->dialogs.errors.isEmpty(), qPrintable(w->dialogs.errors.join('\n')));
        QVERIFY(w->dialogs.informations.isEmpty());
        const QStringList report = w->reportLines();
        QCOMPARE(report.size(), 11);
        QCOMPARE(report[0], kRule);
        QCOMPARE(report[1],
            button == "BitBtn1"
                ? QStringLiteral("APLICATIVO Koravel  -  PREDIÇÃO DE HÍBRIDOS DUPLOS")
                : QStringLiteral("APLICATIVO Koravel   -   PREDIÇÃO DE HÍBRIDOS TRIPLOS"));
        QCOMPARE(report[5],
            button == "BitBtn1"
                ? QStringLiteral("HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)")
                : QStringLiteral("HT(ij)k    \t\tMedia\tCV%\tHS(ik)\tHS(jk)"));
        QCOMPARE(report.mid(7, 3), candidates);
        QCOMPARE(report[10], kRule);
        QVERIFY(w->form2.isVisible());
        QCOMPARE(w->control<QProgressBar>("ProgressBar1")->value(), 0);
    }

    void aCellEditedInTheTableIsWhatTheNextPredictionReads()
    {
        w->importFile(writeFile(QStringLiteral("four.txt"), kFourLines));
        QAbstractItemModel *model = w->model();
        const QModelIndex valueOf13 = model->index(1, 2); // row "HS 2": 1 3 5
        QVERIFY(model->flags(valueOf13) & Qt::ItemIsEditable);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(model->setData(valueOf13, QStringLiteral("9")));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(w->cell(3, 2), QStringLiteral("9"));

        w->predict("BitBtn1", QStringLiteral("4"), QStringLiteral("Não"));
        QCOMPARE(w->reportLines().value(7),
            QStringLiteral("HD (1x2)(3x4) =>\t6.250\t30.1\t9\t5.5\t4.75\t5.75"));

        // A parent number typed with a blank after it is no integer for the lookup.
        QVERIFY(model->setData(model->index(0, 0), QStringLiteral("1 ")));
        w->predict("BitBtn1", QStringLiteral("4"), QStringLiteral("Não"));
        QCOMPARE(w->dialogs.errors,
            QStringList { QStringLiteral("'1 ' is not a valid integer value.") });
    }

    void predictionUsesTheRegionalDecimalSeparator()
    {
        koravel::KoravelApplication::setFormatSettings({ ',' });
        w->importFile(writeFile(
            QStringLiteral("comma.txt"), "1 2 6\n1 3 5\n1 4 5,5\n2 3 4,75\n2 4 5,75\n3 4 7\n"));
        w->predict("BitBtn1", QStringLiteral("4"), QStringLiteral("Sim"));
        QVERIFY(w->dialogs.errors.isEmpty());
        QCOMPARE(w->reportLines().value(7),
            QStringLiteral("HD (1x2)(3x4) =>\t5,250\t8,7\t5\t5,5\t4,75\t5,75"));
    }

    void errorsAreShownAndTheReportStandsAsWritten_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QStringList>("informations");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<int>("reportLines");
        const QString fewHD = QStringLiteral("Para cáculo de HDs o mínimo são 4 linhagens");
        const QString fewHT = QStringLiteral("Para cáculo de HTs o mínimo são 3 linhagens");
        const QString outOfRange = QStringLiteral("TProgressBar property out of range.");
        QTest::newRow("HD, field not an integer")
            << QByteArray("BitBtn1") << "abc" << QStringList()
            << QStringList { "'abc' is not a valid integer value." } << 0;
        QTest::newRow("HT, field with a decimal")
            << QByteArray("BitBtn2") << "4.0" << QStringList()
            << QStringList { "'4.0' is not a valid integer value." } << 0;
        QTest::newRow("HD, field at its start")
            << QByteArray("BitBtn1") << "0" << QStringList { fewHD } << QStringList { outOfRange }
            << 7;
        QTest::newRow("HD, two lines") << QByteArray("BitBtn1") << "2" << QStringList { fewHD }
                                       << QStringList { outOfRange } << 7;
        QTest::newRow("HD, three lines")
            << QByteArray("BitBtn1") << "3" << QStringList { fewHD } << QStringList() << 8;
        QTest::newRow("HT, no lines") << QByteArray("BitBtn2") << "0" << QStringList { fewHT }
                                      << QStringList { outOfRange } << 7;
        QTest::newRow("HT, two lines")
            << QByteArray("BitBtn2") << "2" << QStringList { fewHT } << QStringList() << 8;
    }
    void errorsAreShownAndTheReportStandsAsWritten()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, lines);
        QFETCH(QStringList, informations);
        QFETCH(QStringList, errors);
        QFETCH(int, reportLines);
        w->importFile(writeFile(QStringLiteral("four.txt"), kFourLines));
        w->predict(button.constData(), lines, QStringLiteral("Sim"));

        QCOMPARE(w->dialogs.informations, informations);
        QCOMPARE(w->dialogs.errors, errors);
        if (!informations.isEmpty() && !errors.isEmpty()) // the message comes first
            QVERIFY(w->dialogs.messages.constFirst().startsWith(QStringLiteral("information: ")));
        const QStringList report = w->reportLines();
        QCOMPARE(report.size(), reportLines);
        if (reportLines > 0) {
            QCOMPARE(report[0], kRule);
            QVERIFY(report[6].isEmpty());
        }
        if (reportLines == 8)
            QCOMPARE(report[7], kRule);
        // No candidate line: the report window stays hidden.
        QVERIFY(!w->form2.isVisible());
        QCOMPARE(w->control<QProgressBar>("ProgressBar1")->value(), 0);
    }

    void badCellStopsThePredictionWithoutTheClosingRule()
    {
        w->importFile(writeFile(
            QStringLiteral("bad.txt"), "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7x\n"));
        w->predict("BitBtn1", QStringLiteral("4"), QStringLiteral("Sim"));
        QCOMPARE(w->dialogs.errors,
            QStringList { QStringLiteral("'7x' is not a valid floating point value.") });
        const QStringList report = w->reportLines();
        QVERIFY(report.size() >= 7);
        QCOMPARE(report[1], QStringLiteral("APLICATIVO Koravel  -  PREDIÇÃO DE HÍBRIDOS DUPLOS"));
        QVERIFY(report.constLast() != kRule);

        // A failed run leaves the earlier report behind for good: the next run replaces it.
        w->predict("BitBtn1", QStringLiteral("abc"), QStringLiteral("Sim"));
        QCOMPARE(w->reportLines(), report);
    }

    void progressRefusesANegativeMaximumAndShowsWhenSettled()
    {
        QProgressBar bar;
        koravel::WidgetProgress progress(bar);
        progress.setMaximum(10);
        progress.setPosition(3);
        progress.settle();
        QCOMPARE(bar.maximum(), 10);
        QCOMPARE(bar.value(), 3);
        try {
            progress.setMaximum(-1);
            QFAIL("a negative maximum was taken");
        } catch (const koravel::Error &error) {
            QCOMPARE(QString::fromStdString(error.message()),
                QStringLiteral("TProgressBar property out of range"));
        }
        progress.settle();
        QCOMPARE(bar.maximum(), 10);
        QCOMPARE(bar.value(), 3);

        // A long run moves the bar many times: what shows at its end is where it stopped.
        for (int i = 0; i < 200000; ++i)
            progress.setPosition(i % 11);
        progress.setPosition(0);
        progress.settle();
        QCOMPARE(bar.value(), 0);
    }

    void longRunLetsTheWindowsRepaintWithItsPositionShown()
    {
        QProgressBar bar;
        koravel::WidgetProgress progress(bar);
        progress.setMaximum(97);
        progress.setPosition(12);
        bool fired = false;
        int shownDuringRun = -1;
        bool waitCursor = false;
        QTimer::singleShot(0, [&] {
            fired = true;
            shownDuringRun = bar.value();
            waitCursor = QApplication::overrideCursor() != nullptr;
        });
        QElapsedTimer guard;
        guard.start();
        while (!fired && guard.elapsed() < 10000)
            progress.tick();
        QVERIFY(fired);
        QCOMPARE(shownDuringRun, 12);
        QVERIFY(waitCursor);
        progress.settle();
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void inputIsDroppedWhileARunBlocksIt()
    {
        w->form1.show();
        auto *button = w->control<QPushButton>("BitBtn1");
        button->setEnabled(true);
        QSignalSpy clicked(button, &QPushButton::clicked);
        {
            koravel::InputBlocker blocker;
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(w->edit(), Qt::Key_5);
        }
        QCOMPARE(clicked.size(), 0);
        QCOMPARE(w->edit()->text(), QStringLiteral("0"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
    }

    void sobreShowsTheAboutWindowModally()
    {
        w->form1.show();
        QWidget *modal = nullptr;
        QTimer::singleShot(0, [&] {
            modal = QApplication::activeModalWidget();
            w->form3.close();
        });
        w->control<QAction>("Sobre1")->trigger();
        QCOMPARE(modal, static_cast<QWidget *>(&w->form3));
        QVERIFY(!w->form3.isVisible());
    }

    void sairClosesTheMainWindowWhateverElseIsOpen()
    {
        w->form1.show();
        w->form2.show();
        QSignalSpy closed(&w->form1, &TForm1::closed);
        w->control<QAction>("Sair1")->trigger();
        QVERIFY(!w->form1.isVisible());
        QCOMPARE(closed.size(), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
