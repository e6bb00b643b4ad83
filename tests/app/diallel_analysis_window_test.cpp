// The diallel analysis window over the main window's session: it shows the core's analysis of
// the table the predictions read (lines by decreasing GCA, crosses in order, names beside the
// numbers), exports what the command line writes, and refuses what a prediction refuses.
#include "DiallelAnalysisWindow.h"
#include "DiallelMatrixWindow.h"
#include "gca_chart_view.h"
#include "heat_map_view.h"
#include "koravel_application.h"
#include "windows_fixture.h"

#include <QAction>

#include <algorithm>

using namespace koravel;
using namespace koravel::test;

namespace {

QByteArray example(const char *name)
{
    return Windows::read(QStringLiteral(KORAVEL_EXAMPLES_DIR "/") + name);
}

DiallelAnalysisWindow *openAnalysis(Windows &w, const QString &lines)
{
    w.form1.Edit1->setText(lines);
    w.form1.findChild<QAction *>(QStringLiteral("Analisedialelica1"))->trigger();
    return w.form1.findChild<DiallelAnalysisWindow *>();
}

} // namespace

class DiallelAnalysisWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void showsTheCoresAnalysisWithNamesAndExportsIt()
    {
        Windows w;
        w.import(example("griffing56_maize.txt"));
        DiallelAnalysisWindow *window = openAnalysis(w, QStringLiteral("9"));
        QVERIFY(window && window->isVisible());
        const DiallelAnalysis core = analyseDiallel(
            readCrossTable(w.session.grid(), w.session.lines(), w.session.formatSettings()), {});

        // Lines from the largest GCA down, in the table and in the chart.
        std::vector<LineEffect> lines = core.lineEffects;
        std::sort(lines.begin(), lines.end(), [](auto &a, auto &b) { return *a.gca > *b.gca; });
        const QStringList gca = tableText(window->StringGrid1);
        QCOMPARE(gca.size(), 1 + 9);
        QCOMPARE(window->PaintBox1->bars().size(), 9);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            QCOMPARE(gca[int(k) + 1].section('|', 0, 0), QString::number(lines[k].line));
            QCOMPARE(window->PaintBox1->bars()[int(k)].label, QString::number(lines[k].line));
        }
        QCOMPARE(
            gca[1].section('|', 3, 3), QString::fromStdString(fourDecimals(*lines[0].gca, '.')));
        const QStringList sca = tableText(window->StringGrid3);
        QCOMPARE(sca.size(), 1 + 36);
        QCOMPARE(sca[1],
            "1 x 2|240.0000|" + QString::fromStdString(fourDecimals(core.crosses[0].sca, '.')));
        QCOMPARE(tableText(window->StringGrid2).size(), 1 + 2); // GCA, SCA; no error line
        QVERIFY(window->StringGrid4->isHidden());

        // Names, then the trial's error: the CSV is the command line's for the same options.
        w.dialogs.queue(w.write(QStringLiteral("nomes.txt"), "1 B73\n2 Mo17\n"));
        w.form1.findChild<QAction *>(QStringLiteral("Nomesdaslinhagens1"))->trigger();
        window->Edit1->setText(QStringLiteral("250"));
        window->SpinEdit1->setValue(175);
        window->SpinEdit2->setValue(6);
        QCOMPARE(tableText(window->StringGrid2).size(), 1 + 3);
        QCOMPARE(
            tableText(window->StringGrid1).filter(QRegularExpression("^1\\|B73\\|")).size(), 1);
        w.dialogs.choices.push_back(SpreadsheetChoice { SpreadsheetFormat::Csv, ';', ',' });
        w.dialogs.queue(w.path(QStringLiteral("analise.csv")));
        window->Exportar1->trigger();
        QCOMPARE(Windows::read(w.path(QStringLiteral("analise.csv"))),
            example("../tests/data/golden/griffing56_maize.dialelo.csv"));

        // The workbook and the chart's picture; a names file with an error changes nothing.
        w.dialogs.choices.push_back(SpreadsheetChoice { SpreadsheetFormat::Xlsx, ';', ',' });
        w.dialogs.queue(w.path(QStringLiteral("analise.xlsx")));
        window->Exportar1->trigger();
        QVERIFY(Windows::read(w.path(QStringLiteral("analise.xlsx"))).startsWith("PK"));
        w.dialogs.queue(w.path(QStringLiteral("gca.png")));
        window->Exportar2->trigger();
        QCOMPARE(
            QImage(w.path(QStringLiteral("gca.png"))).size(), window->PaintBox1->picture().size());
        w.dialogs.queue(w.write(QStringLiteral("ruim.txt"), "1 B73\n1 Mo17\n"));
        w.form1.findChild<QAction *>(QStringLiteral("Nomesdaslinhagens1"))->trigger();
        QVERIFY(
            w.dialogs.messages.takeLast().startsWith(QStringLiteral("error: Arquivo de nomes")));
        QCOMPARE(w.session.lineNames().name(2), "Mo17");

        // The heat map names the two lines of a cross.
        w.form1.Matrizdialelica1->trigger();
        auto *matrix = w.form1.findChild<DiallelMatrixWindow *>();
        QCOMPARE(matrix->toolTipAt(matrix->PaintBox1->cellRect(1, 2).center()),
            QStringLiteral("1 x 2 = 240.0\n1: B73\n2: Mo17"));
        QCOMPARE(w.dialogs.messages.filter(QStringLiteral("error:")), QStringList());
    }

    void showsTheEstimatesOfMissingCrosses()
    {
        Windows w;
        w.import(example("dialelo_incompleto.txt"));
        DiallelAnalysisWindow *window = openAnalysis(w, QStringLiteral("7"));
        QVERIFY(window && !window->StringGrid4->isHidden());
        QCOMPARE(tableText(window->StringGrid4).size(), 1 + int(window->analysis().missing.size()));
        QVERIFY(
            window->Label1->text().contains(QStringLiteral("Tabela incompleta: 3 cruzamentos")));
    }

    // A table a prediction refuses gets the prediction's messages; fewer than 4 lines its own.
    void refusesWhatAPredictionRefuses()
    {
        const struct
        {
            QByteArray data;
            QString lines;
        } rows[] = { { kFourLines, QStringLiteral("x") },
            { "1 2 6,5\n1 3 5\n", QStringLiteral("4") } };
        for (const auto &row : rows) {
            Windows w;
            w.import(row.data);
            w.predict(true, row.lines);
            const QStringList prediction = w.dialogs.messages;
            w.dialogs.messages.clear();
            QVERIFY(!prediction.isEmpty());
            openAnalysis(w, row.lines);
            QCOMPARE(w.dialogs.messages, prediction);
        }
        Windows w;
        QVERIFY(!openAnalysis(w, QStringLiteral("4")));
        w.import();
        DiallelAnalysisWindow *window = openAnalysis(w, QStringLiteral("3"));
        QVERIFY(!window->isVisible());
        QCOMPARE(w.dialogs.messages,
            QStringList({ "information: Importe os dados para fazer a análise dialélica.",
                "error: Para a análise dialélica o mínimo são 4 linhagens." }));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FakeDialogs dialogs;
    KoravelApplication application(argc, argv, dialogs);
    DiallelAnalysisWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "diallel_analysis_window_test.moc"
