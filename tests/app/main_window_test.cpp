// The main window as a view of the session: its controls write through to the session, its
// buttons run the session's predictions into the report window, errors reach the message box;
// the about window it opens and the real dialogs of Qt behind the dialog interface.
#include "DiallelMatrixWindow.h"
#include "OptionsDialog.h"
#include "koravel_application.h"
#include "maize_picture.h"
#include "numtext/error.h"
#include "up_down.h"
#include "widget_progress.h"
#include "windows_fixture.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QImageReader>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <QToolButton>

#include <ctime>
#include <set>
#include <vector>

using namespace koravel;
using namespace koravel::test;

namespace {
FakeDialogs *g_appDialogs = nullptr; // the application's own

// The clock the display server stamps input with (X11, Wayland): monotonic, in milliseconds.
quint32 serverClockMs()
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return quint32(quint64(now.tv_sec) * 1000 + quint64(now.tv_nsec) / 1000000);
}

// A click as the display server would deliver it, stamped at the given time.
void deliverClick(QWidget *widget, quint32 stamp)
{
    const QPointF at(widget->rect().center());
    for (const QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        event.setTimestamp(stamp);
        QApplication::sendEvent(widget, &event);
    }
}

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

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
    // Opens the options window, picks an item and leaves with OK or Cancelar.
    void chooseOption(const QString &item, bool ok)
    {
        whenModalOpens([&](QWidget *modal) {
            auto *dialog = qobject_cast<OptionsDialog *>(modal);
            for (QRadioButton *button : dialog->RadioGroup1->findChildren<QRadioButton *>())
                button->setChecked(button->text() == item);
            (ok ? dialog->BitBtn1 : dialog->BitBtn2)->click();
        });
        w->form1.Opcoes1->trigger();
    }

private slots:
    void init() { w = std::make_unique<Windows>(); }
    void cleanup() { w.reset(); }

    void startsEmptyAndControlsWriteThroughToTheSession()
    {
        w->form1.show();
        QVERIFY(!w->form2.isVisible() && !w->form3.isVisible());
        QCOMPARE(w->form1.StringGrid1->model()->headerData(2, Qt::Horizontal).toString(),
            QStringLiteral("PRODUÇÃO"));
        QCOMPARE(state(), QStringLiteral("off off 0 0 0 0"));
        for (int i = 0; i < 3; ++i)
            w->form1.UpDown1->upButton()->click();
        QCOMPARE(state(), QStringLiteral("off off 4 3 12 0"));
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
        // The about window is modal; the program ends with the main window, whatever is open.
        w->form2.show();
        QWidget *modal = nullptr;
        whenModalOpens([&](QWidget *shown) { modal = shown; });
        w->form1.Sobre1->trigger();
        QCOMPARE(modal, static_cast<QWidget *>(&w->form3));
        QSignalSpy closed(&w->form1, &TForm1::closed);
        w->form1.Sair1->trigger();
        QVERIFY(!w->form1.isVisible() && closed.size() == 1);
    }

    void importGoesThroughTheDialogIntoTheSession()
    {
        const QString path = w->write(QStringLiteral("a.prn"), "1 2 4.5\r\n1\t3   5\r\n");
        w->dialogs.queue(path, TForm1::openFilters().at(1));
        w->form1.Importardados1->trigger();
        QCOMPARE(w->session.grid().cell(3, 2), "5");
        QCOMPARE(w->form1.StringGrid1->model()->index(1, 2).data().toString(), QStringLiteral("5"));
        QCOMPARE(state(), QStringLiteral("on on 0 0 0 0"));
        // A cancel keeps all; the dialog proposes the name and type chosen last.
        w->form1.Importardados1->trigger();
        QCOMPARE(w->dialogs.requests[0].selectedFilter, TForm1::openFilters().at(0));
        QCOMPARE(w->dialogs.requests[1].proposedName, path);
        QCOMPARE(w->dialogs.requests[1].selectedFilter, TForm1::openFilters().at(1));
        // A file that fails is an error; the table stays.
        w->import("7 8 9\n7 8\n");
        QCOMPARE(w->dialogs.messages,
            QStringList({ "information: nenhum arquivo carregado",
                "error: List index out of bounds (2)" }));
        QCOMPARE(w->session.grid().cell(3, 2), "5");
        QCOMPARE(state(), QStringLiteral("on on 0 0 0 0"));
    }

    void predictionsReachTheReportWindow()
    {
        w->import();
        w->predict(true);
        QCOMPARE(
            w->reportLine(7), QStringLiteral("HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75"));
        w->predict(true, QStringLiteral("4"), true);
        QCOMPARE(
            w->reportLine(8), QStringLiteral("FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t7"));
        w->form2.hide();
        w->predict(false, QStringLiteral(" 3"));
        QCOMPARE(w->reportLine(7), QStringLiteral("HT (1x2) 3 =>\t4.875\t3.6\t5\t4.75"));
        QVERIFY(w->form2.isVisible());
        QCOMPARE(w->dialogs.messages, QStringList());
        QCOMPARE(w->form1.ProgressBar1->value(), 0);
    }

    // A long run brings the report window to the front at once and shows the lines written so
    // far whenever it lets the windows repaint; at the end the whole report is there.
    void aLongRunShowsItsReportAsItGoes()
    {
        QByteArray diallel;
        for (int a = 1; a <= 60; ++a)
            for (int b = a + 1; b <= 60; ++b)
                diallel += QByteArray::number(a) + ' ' + QByteArray::number(b) + " 5."
                    + QByteArray::number((a * 7 + b) % 90 + 10) + "\r\n";
        w->import(diallel);
        struct Sample
        {
            bool visible;
            int lines;
        };
        std::vector<Sample> samples; // at every repaint the run allows
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout,
            [&] { samples.push_back({ w->form2.isVisible(), w->form2.Memo1->lines() }); });
        sampler.start(0);
        w->predict(true, QStringLiteral("60"));
        sampler.stop();
        const int all = 8 + 3 * 487635 + 1; // the last line break leaves an empty last line
        QCOMPARE(w->form2.Memo1->lines(), all);
        std::set<int> partial;
        for (const Sample &sample : samples) {
            if (sample.lines > 8 && sample.lines < all) {
                QVERIFY(sample.visible);
                partial.insert(sample.lines);
            }
        }
        QVERIFY2(partial.size() >= 2, "the report grew on screen during the run");
        QCOMPARE(w->reportLine(all - 2), QString(QByteArray(128, '-')));
    }

    // A field refused before the run keeps the earlier report; a run stopped on its way shows
    // its own lines (the header block); the window stays hidden.
    void errorsReachTheMessageBox()
    {
        w->import();
        w->predict(true);
        w->form2.hide();
        const QByteArray earlier = w->shown();
        w->predict(true, QStringLiteral("abc"));
        w->predict(true, QStringLiteral("1000"));
        QCOMPARE(w->shown(), earlier);
        w->predict(true, QStringLiteral("0"));
        QCOMPARE(w->shown().count("\r\n"), 7);
        QVERIFY(!w->form2.isVisible());
        w->dialogs.messages[1].truncate(53);
        QCOMPARE(w->dialogs.messages,
            QStringList({ "error: 'abc' is not a valid integer value.",
                "error: Com 1.000 linhagens, o relatório de HDs teria ",
                "information: Para cáculo de HDs o mínimo são 4 linhagens",
                "error: TProgressBar property out of range." }));
        // A value with the other decimal separator: the error as always, then the way out.
        w->dialogs.messages.clear();
        w->import("1 2 6\n1 3 7,95\n2 3 5\n");
        w->predict(false, QStringLiteral("3"), true);
        QCOMPARE(w->dialogs.messages.value(1).left(50),
            QStringLiteral("information: Os dados parecem usar vírgula como se"));
    }

    void optionsWindowSetsTheSessionsChoice()
    {
        chooseOption(QStringLiteral("Vírgula"), true);
        chooseOption(QStringLiteral("Ponto"), false);
        QCOMPARE(w->session.decimalChoice(), DecimalChoice::Comma);
        chooseOption(QStringLiteral("Ponto"), true);
        QCOMPARE(w->session.formatSettings().decimalSeparator, '.');
        chooseOption(QStringLiteral("Configuração regional"), true); // the system writes 2,5

        QCOMPARE(w->session.formatSettings().decimalSeparator, ',');
        // A change of the system's settings reaches the session the application follows.
        static_cast<KoravelApplication *>(qApp)->follow(w->session);
        w->session.setRegionalSeparator('.');
        QEvent change(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &change);
        QCOMPARE(w->session.regionalSeparator(), ',');
        QCOMPARE(decimalSeparatorFromQt(QStringLiteral("\u00B7")), '\xB7');
        QCOMPARE(decimalSeparatorFromQt(QStringLiteral("\u066B")), '.');
    }

    // In a window's handler or anywhere in the application's event handling.
    void anErrorEscapingAHandlerIsShownWithTheFinalStop()
    {
        const std::pair<std::function<void()>, QString> rows[] = {
            { [] { throw Error("'abc' is not a valid integer value"); },
                "'abc' is not a valid integer value." },
            { [] { throw std::runtime_error("Stream write error."); }, "Stream write error." },
            { [] { throw std::bad_alloc(); }, "Memória insuficiente para concluir a operação." }
        };
        for (const auto &[raise, shown] : rows) {
            w->dialogs.messages.clear();
            runHandler(nullptr, w->dialogs, raise);
            runHandler(nullptr, w->dialogs, [] {});
            QCOMPARE(w->dialogs.messages, QStringList { "error: " + shown });
            g_appDialogs->messages.clear();
            QMetaObject::invokeMethod(qApp, raise, Qt::QueuedConnection);
            QCoreApplication::processEvents();
            QCOMPARE(g_appDialogs->messages, w->dialogs.messages);
        }
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
            QVERIFY(QApplication::overrideCursor() != nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(w->form1.Edit1, Qt::Key_5);
        });
        while (shownDuringRun < 0)
            progress.tick();
        progress.settle();
        QCOMPARE(shownDuringRun, 12);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(clicked.size(), 0);
        QCOMPARE(w->form1.Edit1->text(), QStringLiteral("0"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
    }

    // Clicks made during a run reach the program only after it when the run was started by a
    // click: stamped before its end, they must not start a second run or change the option.
    void clicksMadeDuringARunDoNotActAfterIt()
    {
        w->form1.show();
        QPushButton *button = w->form1.BitBtn1;
        button->setEnabled(true);
        w->choose(false);
        QRadioButton *sim = w->form1.RadioGroup1->findChildren<QRadioButton *>().constFirst();
        QSignalSpy clicked(button, &QPushButton::clicked);
        QProgressBar bar;
        WidgetProgress progress(bar);
        progress.setMaximum(10);
        quint32 duringRun = 0;
        QTimer::singleShot(0, [&] { duringRun = serverClockMs(); });
        QElapsedTimer guard;
        guard.start();
        while ((duringRun == 0 || guard.elapsed() < 120) && guard.elapsed() < 10000)
            progress.tick();
        progress.settle();
        deliverClick(button, duringRun);
        deliverClick(sim, duringRun);
        QCOMPARE(clicked.size(), 0);
        QVERIFY(!sim->isChecked());
        QTest::qWait(20); // input made after the run acts as usual
        deliverClick(button, serverClockMs());
        QCOMPARE(clicked.size(), 1);
    }

    // Nothing to count (one line imported): an empty, still bar, not the busy animation.
    void idleBarIsEmptyAndStill()
    {
        w->import("1 2 6.5\n");
        QVERIFY(w->form1.ProgressBar1->maximum() > w->form1.ProgressBar1->minimum());
        QCOMPARE(w->form1.ProgressBar1->value(), w->form1.ProgressBar1->minimum());
    }

    void diallelMatrixShowsTheSessionsTable()
    {
        w->form1.Matrizdialelica1->trigger();
        w->import("1 2 6\n1 3 5\n3 4 0\n2 3 4.75\n");
        w->form1.Edit1->setText(QStringLiteral("4"));
        w->form1.Matrizdialelica1->trigger();
        auto *window = w->form1.findChild<DiallelMatrixWindow *>();
        QVERIFY(window && window->isVisible());
        QVERIFY(window->Label1->text().endsWith(
            QStringLiteral("3 cruzamentos com valor, 8 ausentes, 1 com valor zero.")));
        HeatMapView *view = window->PaintBox1;
        // The top of the scale; a missing cross grey.
        const auto at = [&](int i, int j) {
            return QColor(view->picture().pixel(view->cellRect(i, j).topLeft() + QPoint(2, 2)));
        };
        QVERIFY(at(1, 2) == QColor(0xFD, 0xE7, 0x25) && at(2, 1).saturation() == 0);
        w->choose(false);
        w->form1.Matrizdialelica1->trigger();
        QVERIFY(window->Label1->text().endsWith(
            QStringLiteral("3 cruzamentos com valor, 2 ausentes, 1 com valor zero.")));
        QCOMPARE(view->toolTipAt(view->cellRect(2, 1).center()), QStringLiteral("2 x 1 = 6"));
        // The picture: a cancel, a file, a folder that does not exist; then a bad cell.
        const QString png = w->path(QStringLiteral("matriz.png"));
        const QString missing = w->path(QStringLiteral("nao/existe.png"));
        window->BitBtn1->click();
        w->dialogs.queue(png);
        window->BitBtn1->click();
        w->dialogs.queue(missing);
        window->BitBtn1->click();
        w->import("1 2 6x\n");
        w->form1.Matrizdialelica1->trigger();
        QCOMPARE(w->dialogs.messages.mid(0, 3),
            QStringList({ "information: Importe os dados para ver a matriz dialélica.",
                "information: A imagem não foi gravada.",
                "information: A imagem foi gravada em " + png }));
        QVERIFY(w->dialogs.messages.value(3).startsWith(
            "error: Não foi possível gravar a imagem \"" + missing));
        QCOMPARE(w->dialogs.messages.value(4),
            QStringLiteral("error: '6x' is not a valid floating point value."));
        QCOMPARE(QImageReader(png).read().size(), view->size());
    }

    // The keys of the table as a user presses them: a block pasted into a new table, refused and
    // then read with the separator chosen; undo and redo; a selection copied; rows pasted from
    // the current cell down; an edit undone; an import that leaves nothing to undo.
    void tableCopiesPastesAndUndoes()
    {
        w->form1.show();
        w->form1.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w->form1));
        QTableView *table = w->form1.StringGrid1;
        table->setFocus();
        QAbstractItemModel *model = table->model();
        const auto press = [&](QKeyCombination key) {
            QTest::keyClick(table, key.key(), key.keyboardModifiers());
        };
        const auto rows = [&] { return model->rowCount(); };
        QGuiApplication::clipboard()->setText(
            QStringLiteral("\t1\t2\t3\n1\t\t5,5\t\n2\t5,5\t\t7,70\n3\t\t8\t\n"));
        press(Qt::CTRL | Qt::Key_V);
        QCOMPARE(state(), QStringLiteral("off off 0 0 0 0"));
        QVERIFY(w->dialogs.messages.value(0).startsWith(QStringLiteral("error: Não foi possível")));
        w->session.setDecimalChoice(DecimalChoice::Comma);
        press(Qt::CTRL | Qt::Key_V);
        QCOMPARE(tableText(table).mid(1), QStringList({ "1|2|5,5", "2|3|7,70", "3|2|8" }));
        QCOMPARE(state(), QStringLiteral("on on 0 0 0 0"));
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(tableText(table).mid(1), QStringList({ "||" }));
        QString counts; // rows after each of redo, undo, redo
        for (const QKeyCombination key :
            { Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::SHIFT | Qt::Key_Z }) {
            press(key);
            counts += QString::number(rows());
        }
        QCOMPARE(counts, QStringLiteral("313"));

        table->setCurrentIndex(model->index(1, 1));
        table->selectionModel()->select(QItemSelection(model->index(1, 1), model->index(2, 2)),
            QItemSelectionModel::ClearAndSelect);
        press(Qt::CTRL | Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("3\t7,70\n2\t8\n"));
        QGuiApplication::clipboard()->setText(
            QStringLiteral("Pai A\tPai B\tPRODUÇÃO\n4\t5\t1\n4\t6\t2\n"));
        table->setCurrentIndex(model->index(2, 0));
        press(Qt::CTRL | Qt::Key_V);
        QCOMPARE(tableText(table).mid(3), QStringList({ "4|5|1", "4|6|2" }));
        QVERIFY(model->setData(model->index(0, 2), QStringLiteral("9,25")));
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(w->session.grid().cell(3, 1), "5,5");
        QCOMPARE(w->dialogs.messages.size(), 1);
        // What came before an import is not undone into the new table.
        w->import();
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(rows(), 6);
    }

    // The about window: its text and picture; the link opens the curriculum page; the user's
    // notes and the place the user moved it to stay for the next opening.
    void aboutWindowAcrossOpenings()
    {
        TForm3 &form = w->form3;
        QVERIFY(form.Memo1->toPlainText().startsWith(
            QStringLiteral("Koravel versão 1.1.2010 - Aplicativo para predição")));
        QCOMPARE(maizePicture().size(), QSize(154, 267));
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        QPoint movedTo;
        whenModalOpens([&](QWidget *) {
            QVERIFY(form.Animate1->isPlaying());
            QTest::mouseClick(form.RxLabel6, Qt::LeftButton);
            form.Memo3->setPlainText(QStringLiteral("anotação"));
            form.move(form.pos() + QPoint(-30, 20));
            movedTo = form.pos();
            form.Sair1->trigger();
        });
        form.exec();
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls, QList<QUrl> { QUrl(TForm3::curriculumAddress()) });
        QVERIFY(!form.Animate1->isPlaying());
        whenModalOpens([&](QWidget *) {
            QCOMPARE(form.pos(), movedTo);
            QCOMPARE(form.Memo3->toPlainText(), QStringLiteral("anotação"));
            form.Sair1->trigger();
        });
        form.exec();
    }

    void qtDialogsShowTheLabelsCaptionsAndIcons()
    {
        const QStringList filters { QStringLiteral("Arquivo de texto (*txt) (*.txt)"),
            QStringLiteral("Arquivo separado por espaços (*.prn) (*.prn)") };
        const QString path = w->write(QStringLiteral("dados.prn"), "");
        QStringList seen;
        whenModalOpens([](QWidget *modal) { QMetaObject::invokeMethod(modal, "accept"); });
        QtUserDialogs dialogs;
        const auto answer = dialogs.openFile(nullptr, { filters, path, filters.at(1), {} });
        QVERIFY(answer && answer->fileName == path && answer->selectedFilter == filters.at(1));
        whenModalOpens([](QWidget *modal) { QMetaObject::invokeMethod(modal, "reject"); });
        QVERIFY(!dialogs.saveFile(nullptr, { filters, {}, {}, "txt" }));
        const auto record = [&seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box && box->buttons().size() == 1 && box->button(QMessageBox::Ok));
            seen << box->windowTitle() + " " + QString::number(box->icon()) + " " + box->text();
            box->accept();
        };
        whenModalOpens(record);
        dialogs.information(nullptr, QStringLiteral("nenhum arquivo carregado"));
        whenModalOpens(record);
        dialogs.error(nullptr, QStringLiteral("Stream write error."));
        QCOMPARE(seen,
            QStringList({ "Koravel 0 nenhum arquivo carregado",
                "Koravel " + QString::number(QMessageBox::Critical) + " Stream write error." }));
    }
};

int main(int argc, char *argv[])
{
    qputenv("LC_ALL", "pt_BR.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FakeDialogs dialogs;
    g_appDialogs = &dialogs;
    KoravelApplication application(argc, argv, dialogs);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
