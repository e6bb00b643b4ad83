// The main window as a view of the session: its controls write through to the session, its
// buttons run the session's predictions into the report window, errors reach the message box.
#include "DiallelMatrixWindow.h"
#include "OptionsDialog.h"
#include "heat_map_view.h"
#include "koravel_application.h"
#include "numtext/error.h"
#include "up_down.h"
#include "widget_progress.h"
#include "windows_fixture.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <new>

using namespace koravel;
using koravel::test::kFourLines;
using koravel::test::Windows;

namespace {
test::FakeDialogs *g_appDialogs = nullptr; // the application's own
const QString kFewHD = QStringLiteral("information: Para cáculo de HDs o mínimo são 4 linhagens");
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Windows> w;

    // Both buttons on/off, the field, both counts and the progress bar: "off off 0 0 0 0".
    QString state() const
    {
        const TForm1 &f = w->form1;
        return QStringList { f.BitBtn1->isEnabled() ? "on" : "off",
            f.BitBtn2->isEnabled() ? "on" : "off", f.Edit1->text(), f.Label3->text(),
            f.Label5->text(), QString::number(f.ProgressBar1->value()) }
            .join(' ');
    }
    // Opens the options window, picks an item (none: none) and leaves with OK or Cancelar;
    // returns the item checked on opening and the hint under the regional item.
    QString chooseOption(const QString &item, bool ok)
    {
        QString shown;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<OptionsDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto buttons = dialog->RadioGroup1->findChildren<QRadioButton *>();
            for (QRadioButton *button : buttons) {
                if (button->isChecked())
                    shown = button->text() + " / " + dialog->Label1->text();
            }
            for (QRadioButton *button : buttons) {
                if (button->text() == item)
                    button->click();
            }
            (ok ? dialog->BitBtn1 : dialog->BitBtn2)->click();
        });
        w->form1.Opcoes1->trigger();
        return shown;
    }

private slots:
    void init() { w = std::make_unique<Windows>(); }
    void cleanup() { w.reset(); }

    void startsWithTheSessionsTableAndDisabledButtons()
    {
        w->form1.show();
        QVERIFY(!w->form2.isVisible() && !w->form3.isVisible());
        QCOMPARE(w->form1.StringGrid1->model()->headerData(2, Qt::Horizontal).toString(),
            QStringLiteral("PRODUÇÃO"));
        QCOMPARE(state(), QStringLiteral("off off 0 0 0 0"));
        QCOMPARE(w->session.reciprocals(), Reciprocals::Distinct);
    }

    void importGoesThroughTheDialogIntoTheSession()
    {
        const QString path = w->write(QStringLiteral("a.prn"), "1 2 4.5\r\n1\t3   5\r\n");
        w->dialogs.queue(path, TForm1::openFilters().at(1));
        w->form1.Importardados1->trigger();
        QCOMPARE(w->dialogs.messages, QStringList());
        QCOMPARE(w->session.grid().cell(3, 2), "5");
        QCOMPARE(w->form1.StringGrid1->model()->index(1, 2).data().toString(), QStringLiteral("5"));
        QCOMPARE(state(), QStringLiteral("on on 0 0 0 0"));
        // A cancel keeps all; the dialog proposes the name and type chosen last.
        w->form1.Importardados1->trigger();
        QCOMPARE(w->dialogs.requests[0].selectedFilter, TForm1::openFilters().at(0));
        QCOMPARE(w->dialogs.requests[1].proposedName, path);
        QCOMPARE(w->dialogs.requests[1].selectedFilter, TForm1::openFilters().at(1));
        // A file that fails, or vanished after the dialog, is an error; the table stays.
        w->import("7 8 9\n7 8\n");
        w->dialogs.queue(w->path(QStringLiteral("sumiu.txt")));
        w->form1.Importardados1->trigger();
        w->dialogs.messages.last().truncate(w->dialogs.messages.last().indexOf("\". ") + 3);
        QCOMPARE(w->dialogs.messages,
            QStringList(
                { "information: nenhum arquivo carregado", "error: List index out of bounds (2)",
                    "error: Cannot open file \"" + w->path("sumiu.txt") + "\". " }));
        QCOMPARE(w->session.grid().cell(3, 2), "5");
        QCOMPARE(state(), QStringLiteral("on on 0 0 0 0"));
    }

    void controlsWriteThroughToTheSession()
    {
        for (int i = 0; i < 3; ++i)
            w->form1.UpDown1->upButton()->click();
        QCOMPARE(state(), QStringLiteral("off off 4 3 12 0"));
        QCOMPARE(w->session.lines().text(), "4");
        // Typing changes the field, not the counts.
        w->form1.Edit1->setText(QStringLiteral("7"));
        QCOMPARE(w->session.lines().text(), "7");
        QCOMPARE(state(), QStringLiteral("off off 7 3 12 0"));
        w->choose(false);
        QCOMPARE(w->session.reciprocals(), Reciprocals::Either);
        w->choose(true);
        QCOMPARE(w->session.reciprocals(), Reciprocals::Distinct);
        QAbstractItemModel *model = w->form1.StringGrid1->model();
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(model->setData(model->index(0, 2), QStringLiteral("9")));
        QCOMPARE(w->session.grid().cell(3, 1), "9");
        QCOMPARE(changed.size(), 1);
    }

    void predictionsReachTheReportWindow_data()
    {
        QTest::addColumn<bool>("hd");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<bool>("sim");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("line");
        QTest::newRow("HD") << true << "4" << false << 7
                            << "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75";
        QTest::newRow("HD, reciprocals")
            << true << "4" << true << 8 << "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t7";
        QTest::newRow("HT") << false << " 3" << false << 7 << "HT (1x2) 3 =>\t4.875\t3.6\t5\t4.75";
        QTest::newRow("HT, reciprocals")
            << false << "3" << true << 8 << "FALSO HT (1x3) 2 =>\t0.000\t0.0\t6\t0";
    }
    void predictionsReachTheReportWindow()
    {
        QFETCH(bool, hd);
        QFETCH(QString, lines);
        QFETCH(bool, sim);
        QFETCH(int, index);
        QFETCH(QString, line);
        w->import();
        w->predict(hd, lines, sim);
        QCOMPARE(w->dialogs.messages, QStringList());
        QCOMPARE(w->reportLine(index), line);
        QCOMPARE(w->reportLine(10), QString(128, QLatin1Char('-'))); // the closing rule
        QVERIFY(w->form2.isVisible());
        QCOMPARE(w->session.lastReport()->kind,
            hd ? HybridKind::DoubleCross : HybridKind::ThreeWayCross);
        QCOMPARE(w->form1.ProgressBar1->value(), 0);
    }

    void errorsReachTheMessageBox_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QStringList>("messages"); // each the start of the message shown
        QTest::addColumn<int>("reportLines"); // -1: the earlier report stays
        QTest::newRow("bad field")
            << kFourLines << "abc" << QStringList { "error: 'abc' is not a valid integer value." }
            << -1;
        QTest::newRow("too large for the window")
            << kFourLines << "1000"
            << QStringList { "error: Com 1.000 linhagens, o relatório de HDs teria "
                             "124.251.374.258 linhas e precisaria de cerca de 17,3 TB de "
                             "memória, mais do que a janela do relatório pode usar" }
            << -1;
        QTest::newRow("progress refused")
            << kFourLines << "0"
            << QStringList { kFewHD, "error: TProgressBar property out of range." } << 7;
        QTest::newRow("bad cell") << QByteArray("1 2 6\n1 3 5\n1 4 5.5x\n") << "4"
                                  << QStringList { "error: '5.5x' is not a valid floating point "
                                                   "value." }
                                  << 7;
    }
    void errorsReachTheMessageBox()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, lines);
        QFETCH(QStringList, messages);
        QFETCH(int, reportLines);
        w->import();
        w->predict(true);
        const QByteArray earlier = w->shown();
        w->import(data);
        w->predict(true, lines);
        QCOMPARE(w->dialogs.messages.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(
                w->dialogs.messages[i].startsWith(messages[i]), qPrintable(w->dialogs.messages[i]));
        if (reportLines < 0)
            QCOMPARE(w->shown(), earlier);
        else
            QCOMPARE(w->shown().count("\r\n"), reportLines);
    }

    void optionsWindowSetsTheSessionsChoice()
    {
        // The system of these tests writes 2,5.
        QCOMPARE(chooseOption(QStringLiteral("Vírgula"), true),
            QStringLiteral("Configuração regional / neste computador: a vírgula (2,5)"));
        QCOMPARE(w->session.decimalChoice(), DecimalChoice::Comma);
        QVERIFY(chooseOption(QStringLiteral("Ponto"), false).startsWith("Vírgula"));
        QCOMPARE(w->session.decimalChoice(), DecimalChoice::Comma);
        chooseOption(QStringLiteral("Ponto"), true);
        QCOMPARE(w->session.formatSettings().decimalSeparator, '.');
        chooseOption(QStringLiteral("Configuração regional"), true);
        QCOMPARE(w->session.formatSettings().decimalSeparator, ',');
    }

    void aChangeOfTheSystemsSettingsReachesTheSession()
    {
        static_cast<KoravelApplication *>(qApp)->follow(w->session);
        w->session.setRegionalSeparator('.');
        QEvent change(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &change);
        QCOMPARE(w->session.regionalSeparator(), ',');
        QCOMPARE(decimalSeparatorFromQt(QStringLiteral("\u00B7")), '\xB7');
        QCOMPARE(decimalSeparatorFromQt(QStringLiteral("\u066B")), '.');
    }

    void anErrorEscapingAHandlerIsShownWithTheFinalStop_data()
    {
        QTest::addColumn<int>("thrown"); // 0 the core's error, 1 a standard one, 2 out of memory
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("core") << 0 << "'abc' is not a valid integer value"
                              << "'abc' is not a valid integer value.";
        QTest::newRow("Latin-1") << 0 << "Não"
                                 << "Não.";
        QTest::newRow("standard") << 1 << "Stream write error."
                                  << "Stream write error.";
        QTest::newRow("memory") << 2 << ""
                                << "Memória insuficiente para concluir a operação.";
    }
    void anErrorEscapingAHandlerIsShownWithTheFinalStop()
    {
        QFETCH(int, thrown);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        const std::string bytes = message.toLatin1().toStdString();
        const auto raise = [&] {
            if (thrown == 2)
                throw std::bad_alloc();
            if (thrown == 1)
                throw std::runtime_error(bytes);
            throw Error(bytes);
        };
        runHandler(nullptr, w->dialogs, raise);
        runHandler(nullptr, w->dialogs, [] {});
        QCOMPARE(w->dialogs.messages, QStringList { "error: " + shown });
        // Outside a window's handler, the application's event handling shows it.
        g_appDialogs->messages.clear();
        QMetaObject::invokeMethod(qApp, raise, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QCOMPARE(g_appDialogs->messages, w->dialogs.messages);
    }

    void aLongRunShowsItsPositionAndDropsInput()
    {
        w->form1.show();
        QPushButton *button = w->form1.BitBtn1;
        button->setEnabled(true);
        QSignalSpy clicked(button, &QPushButton::clicked);
        QProgressBar bar;
        WidgetProgress progress(bar);
        progress.setMaximum(97);
        progress.setPosition(12);
        int shownDuringRun = -1;
        QTimer::singleShot(0, [&] {
            shownDuringRun = bar.value();
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(w->form1.Edit1, Qt::Key_5);
        });
        QElapsedTimer guard;
        guard.start();
        while (shownDuringRun < 0 && guard.elapsed() < 10000)
            progress.tick();
        progress.settle();
        QCOMPARE(shownDuringRun, 12);
        QCOMPARE(clicked.size(), 0);
        QCOMPARE(w->form1.Edit1->text(), QStringLiteral("0"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
    }

    void sobreIsModalAndSairEndsTheProgram()
    {
        w->form1.show();
        w->form2.show();
        QWidget *modal = nullptr;
        QTimer::singleShot(0, [&] {
            modal = QApplication::activeModalWidget();
            w->form3.Sair1->trigger();
        });
        w->form1.Sobre1->trigger();
        QCOMPARE(modal, static_cast<QWidget *>(&w->form3));
        QVERIFY(!w->form3.isVisible());
        QSignalSpy closed(&w->form1, &TForm1::closed);
        w->form1.Sair1->trigger();
        QVERIFY(!w->form1.isVisible());
        QCOMPARE(closed.size(), 1);
    }

    void diallelMatrixShowsTheSessionsTable()
    {
        w->form1.Matrizdialelica1->trigger();
        QCOMPARE(w->dialogs.messages,
            QStringList { "information: Importe os dados para ver a matriz dialélica." });
        w->import("1 2 6\n1 3 5\n3 4 0\n2 3 4.75\n");
        w->form1.Edit1->setText(QStringLiteral("4"));
        w->form1.Matrizdialelica1->trigger();
        auto *window = w->form1.findChild<DiallelMatrixWindow *>();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->Label1->text(),
            QStringLiteral("4 linhagens, do campo número de linhagens.\n"
                           "Recíprocos considerados: linha = pai A, coluna = pai B.\n"
                           "3 cruzamentos com valor, 8 ausentes, 1 com valor zero."));
        HeatMapView *view = window->PaintBox1;
        const QImage picture = view->picture();
        const auto at = [&](int i, int j) {
            return QColor(picture.pixel(view->cellRect(i, j).topLeft() + QPoint(2, 2)));
        };
        // The ends of the scale, a zero off it, a missing cross grey.
        QCOMPARE(at(2, 3), QColor(0x44, 0x01, 0x54));
        QCOMPARE(at(1, 2), QColor(0xFD, 0xE7, 0x25));
        QCOMPARE(at(3, 4), QColor(0xF4, 0xCC, 0xCC));
        QCOMPARE(at(2, 1).saturation(), 0);
        QCOMPARE(view->toolTipAt(view->cellRect(4, 1).center()), QStringLiteral("4 x 1: ausente"));
        w->choose(false);
        w->form1.Matrizdialelica1->trigger();
        QVERIFY(window->Label1->text().contains(QStringLiteral("Recíprocos não considerados")));
        QCOMPARE(view->toolTipAt(view->cellRect(2, 1).center()), QStringLiteral("2 x 1 = 6"));
        // The picture: a cancel, a file, a folder that does not exist.
        const QString png = w->path(QStringLiteral("matriz.png"));
        const QString missing = w->path(QStringLiteral("nao/existe.png"));
        window->BitBtn1->click();
        w->dialogs.queue(png);
        window->BitBtn1->click();
        w->dialogs.queue(missing);
        window->BitBtn1->click();
        QCOMPARE(w->dialogs.messages.mid(1, 2),
            QStringList({ "information: A imagem não foi gravada.",
                "information: A imagem foi gravada em " + png }));
        QVERIFY(w->dialogs.messages.value(3).startsWith(
            "error: Não foi possível gravar a imagem \"" + missing));
        QCOMPARE(QImageReader(png).read().size(), view->size());
        QCOMPARE(w->dialogs.requests.constLast().proposedName, png);
    }
};

int main(int argc, char *argv[])
{
    qputenv("LC_ALL", "pt_BR.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    test::FakeDialogs dialogs;
    g_appDialogs = &dialogs;
    KoravelApplication application(argc, argv, dialogs);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
