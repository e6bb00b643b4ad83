// The ranking window: ".:: Ordenar ::." of the report window shows the best hybrids of the last
// prediction's report with the line frequencies, follows K and the pairing option, and never
// touches the report.
#include "Unit1.h"
#include "UntOrdenar.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "fake_dialogs.h"
#include "koravel_application.h"
#include "report_window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using koravel::test::reportText;
using koravel::test::ReportWindow;
using koravel::test::tableText;

namespace {

const QString kNoReport = QStringLiteral("information: Não há relatório de predição para ordenar: "
                                         "faça antes uma predição de HD's ou HT's.");
const QString kNothingPredicted =
    QStringLiteral("information: O relatório não tem nenhum híbrido predito para ordenar.");

// Three pairings of lines 1 to 4 (means 7, 8, 6), a FALSO line, one pairing of 1, 2, 3, 5
// (mean 9) and two of 1, 2, 4, 5 (5.25, and 7 tied with the first line).
const QList<QByteArray> kSevenCandidates {
    "HD (1x2)(3x4) =>\t7.000\t0.0\t7\t7\t7\t7",
    "HD (1x3)(2x4) =>\t8.000\t0.0\t8\t8\t8\t8",
    "HD (1x4)(2x3) =>\t6.000\t0.0\t6\t6\t6\t6",
    "FALSO HD (1x2)(3x5) =>\t0.000\t0.0\t0\t9\t9\t9",
    "HD (1x3)(2x5) =>\t9.000\t0.0\t9\t9\t9\t9",
    "HD (1x2)(4x5) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
    "HD (1x4)(2x5) =>\t7.000\t0.0\t7\t7\t7\t7",
};

TForm4 *rankingWindow(TForm2 &form)
{
    auto *window = form.findChild<TForm4 *>(QStringLiteral("Form4"));
    if (!window)
        qFatal("no ranking window");
    return window;
}

// The hybrid column of the ranking table.
QStringList hybrids(const TForm4 &window)
{
    QStringList names;
    const QAbstractItemModel *model = window.StringGrid1->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 1).data().toString();
    return names;
}

// The frequency table as "line:count" in the order shown.
QString frequencies(const TForm4 &window)
{
    QStringList pairs;
    const QAbstractItemModel *model = window.StringGrid2->model();
    for (int row = 0; row < model->rowCount(); ++row)
        pairs << model->index(row, 0).data().toString() + ':'
                + model->index(row, 1).data().toString();
    return pairs.join(' ');
}

} // namespace

class RankingWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { koravel::KoravelApplication::setFormatSettings({ '.' }); }

    // Four lines, every single cross once, no reciprocals: the three double crosses of a
    // prediction, ranked with the comma the prediction wrote even after the setting changed.
    void rankingOfAPredictionShowsTheReportsNumbers()
    {
        QTemporaryDir folder;
        const QString data = folder.filePath(QStringLiteral("dados.txt"));
        QFile file(data);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1 2 6\r\n1 3 5\r\n1 4 5,5\r\n2 3 4,75\r\n2 4 5,75\r\n3 4 7\r\n");
        file.close();

        koravel::FakeDialogs dialogs;
        TForm1 form1(dialogs);
        TForm2 form2(dialogs);
        TForm3 form3;
        form1.setOtherWindows(form2, form3);
        koravel::KoravelApplication::setFormatSettings({ ',' });
        dialogs.queue(data);
        form1.Importardados1->trigger();
        form1.Edit1->setText(QStringLiteral("4"));
        for (QRadioButton *option : form1.RadioGroup1->findChildren<QRadioButton *>())
            option->setChecked(option->text() == QStringLiteral("Não"));
        form1.BitBtn1->click();
        const QString report = form2.reportText();
        koravel::KoravelApplication::setFormatSettings({ '.' });

        form2.Ordenar1->trigger();
        TForm4 *window = rankingWindow(form2);
        QVERIFY(window->isVisible());
        // Means (6+5+5.75+7)/4 = 5.9375, (6+5.5+4.75+7)/4 = 5.8125, (5+5.5+4.75+5.75)/4 = 5.25;
        // CV = sample standard deviation / mean * 100.
        QCOMPARE(tableText(window->StringGrid1),
            QStringList({ "Posição|Híbrido|Média|CV%|HS(ik)|HS(il)|HS(jk)|HS(jl)",
                "1|(1x4)(2x3)|5,938|13,9|6|5|5,75|7", "2|(1x3)(2x4)|5,813|16,2|6|5,5|4,75|7",
                "3|(1x2)(3x4)|5,250|8,7|5|5,5|4,75|5,75" }));
        QCOMPARE(tableText(window->StringGrid2),
            QStringList({ "Linhagem|Frequência", "1|3", "2|3", "3|3", "4|3" }));
        QCOMPARE(window->Label2->text(),
            QStringLiteral("Candidatos lidos: 3   |   Preditos: 3   |   FALSO: 0   |   "
                           "Na tabela: 3 de maior média"));
        QVERIFY(window->CheckBox1->isVisibleTo(window));

        window->CheckBox1->setChecked(true);
        QCOMPARE(hybrids(*window), QStringList { "(1x4)(2x3)" });
        QCOMPARE(frequencies(*window), QStringLiteral("1:1 2:1 3:1 4:1"));
        QCOMPARE(form2.reportText(), report);
        QCOMPARE(dialogs.messages, QStringList());
    }

    void kAndBestPairingChooseTheRows_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<bool>("bestPairing");
        QTest::addColumn<QStringList>("expectedHybrids");
        QTest::addColumn<QString>("expectedFrequencies");
        // Ties: the earlier line first among hybrids, the smaller line among frequencies.
        QTest::newRow("all") << 20 << false
                             << QStringList { "(1x3)(2x5)", "(1x3)(2x4)", "(1x2)(3x4)",
                                    "(1x4)(2x5)", "(1x4)(2x3)", "(1x2)(4x5)" }
                             << "1:6 2:6 4:5 3:4 5:3";
        QTest::newRow("best 3") << 3 << false
                                << QStringList { "(1x3)(2x5)", "(1x3)(2x4)", "(1x2)(3x4)" }
                                << "1:3 2:3 3:3 4:2 5:1";
        QTest::newRow("best 3, one pairing")
            << 3 << true << QStringList { "(1x3)(2x5)", "(1x3)(2x4)", "(1x4)(2x5)" }
            << "1:3 2:3 3:2 4:2 5:2";
        QTest::newRow("best 2, one pairing")
            << 2 << true << QStringList { "(1x3)(2x5)", "(1x3)(2x4)" } << "1:2 2:2 3:2 4:1 5:1";
        QTest::newRow("best 1") << 1 << false << QStringList { "(1x3)(2x5)" } << "1:1 2:1 3:1 5:1";
    }

    void kAndBestPairingChooseTheRows()
    {
        QFETCH(int, top);
        QFETCH(bool, bestPairing);
        QFETCH(QStringList, expectedHybrids);
        QFETCH(QString, expectedFrequencies);

        ReportWindow w;
        const QByteArray report = reportText(kSevenCandidates);
        w.predict(report);
        w.form.Ordenar1->trigger();
        TForm4 *window = rankingWindow(w.form);
        // Both controls move away from the row's values first, so that each one ranks again.
        window->SpinEdit1->setValue(top == 5 ? 6 : 5);
        window->CheckBox1->setChecked(!bestPairing);
        window->SpinEdit1->setValue(top);
        window->CheckBox1->setChecked(bestPairing);

        QCOMPARE(hybrids(*window), expectedHybrids);
        QCOMPARE(frequencies(*window), expectedFrequencies);
        QVERIFY(window->Label2->text().startsWith(QStringLiteral(
            "Candidatos lidos: 7   |   Preditos: 6   |   FALSO: 1   |   Na tabela: %1 ")
                                                      .arg(expectedHybrids.size())));
        QCOMPARE(w.shown(), report);
        QCOMPARE(w.dialogs.messages, QStringList());
    }

    void threeWayReportHasTwoSingleCrossesAndNoPairingOption()
    {
        ReportWindow w;
        w.predict(reportText(
            { "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "FALSO HT (1x2) 4 =>\t0.000\t0.0\t0\t6",
                "HT (1x3) 2 =>\t6.000\t0.0\t6\t6" },
            false));
        w.form.Ordenar1->trigger();
        TForm4 *window = rankingWindow(w.form);
        QCOMPARE(tableText(window->StringGrid1),
            QStringList({ "Posição|Híbrido|Média|CV%|HS(ik)|HS(jk)", "1|(1x3) 2|6.000|0.0|6|6",
                "2|(1x2) 3|5.500|12.9|5|6" }));
        QCOMPARE(frequencies(*window), QStringLiteral("1:2 2:2 3:2"));
        QVERIFY(!window->CheckBox1->isVisibleTo(window));
    }

    void withoutAPredictedHybridAMessageInstead()
    {
        ReportWindow w;
        // Typed text is no prediction; nor are settings of a run refused before it cleared.
        w.form.Memo1->setLatin1Text(reportText(kSevenCandidates).toStdString());
        w.form.setReportSettings({ ',' });
        w.form.Ordenar1->trigger();
        TForm4 *window = rankingWindow(w.form);
        QVERIFY(!window->isVisible());
        QCOMPARE(w.dialogs.messages, QStringList { kNoReport });

        w.predict(reportText(kSevenCandidates));
        w.form.Ordenar1->trigger();
        QVERIFY(window->isVisible());
        // The next run predicts nothing: the ranking of the earlier report goes away.
        const QByteArray onlyFalso =
            reportText({ "FALSO HD (1x2)(3x4) =>\t0.000\t0.0\t0\t7\t7\t7" });
        w.predict(onlyFalso);
        QVERIFY(!window->isVisible());
        QCOMPARE(w.dialogs.messages, QStringList({ kNoReport, kNothingPredicted }));
        w.form.Ordenar1->trigger();
        QCOMPARE(w.dialogs.messages.size(), 3);
        QCOMPARE(w.shown(), onlyFalso);
    }

    void anOpenRankingFollowsTheNextPredictionAndTheLinesTheUserLeft()
    {
        ReportWindow w;
        w.predict(reportText(kSevenCandidates));
        w.form.Ordenar1->trigger();
        TForm4 *window = rankingWindow(w.form);
        window->SpinEdit1->setValue(2);
        w.predict(reportText({ kSevenCandidates[0], kSevenCandidates[2] }));
        QCOMPARE(hybrids(*window), QStringList({ "(1x2)(3x4)", "(1x4)(2x3)" }));

        // A cleaned report ranks as it stands: the summary lines are no candidates.
        w.predict(reportText(kSevenCandidates));
        w.form.LIMPAR1->trigger();
        const QByteArray cleaned = w.shown();
        w.form.Ordenar1->trigger();
        QCOMPARE(hybrids(*window), QStringList({ "(1x3)(2x5)", "(1x3)(2x4)" }));
        QVERIFY(window->Label2->text().startsWith(QStringLiteral("Candidatos lidos: 6 ")));
        QCOMPARE(w.shown(), cleaned);
    }
};

QTEST_MAIN(RankingWindowTest)
#include "ranking_window_test.moc"
