// What the user sees and does around a long run: the progress bar when there is nothing to
// count, and input made during a run that the toolkit delivers only after it.
#include "windows_fixture.h"
#include "widget_progress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <ctime>

namespace {

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

class RunInputTest : public QObject
{
    Q_OBJECT

private slots:
    // Nothing to count (one line imported): the bar is empty and still, not the busy animation
    // of a range of 0 to 0.
    void idleBarIsEmptyAndStill()
    {
        koravel::test::Windows w;
        w.import("1 2 6.5\n");
        const QProgressBar *bar = w.form1.ProgressBar1;
        QVERIFY(bar->maximum() > bar->minimum());
        QCOMPARE(bar->value(), bar->minimum());
    }

    // Clicks made during a run reach the program only after it when the run was started by a
    // click: they must not start a second run or change the option then.
    void clicksMadeDuringARunDoNotActAfterIt()
    {
        koravel::test::Windows w;
        w.form1.show();
        QPushButton *button = w.form1.BitBtn1;
        button->setEnabled(true);
        w.choose(false);
        QRadioButton *sim = w.form1.RadioGroup1->findChildren<QRadioButton *>().constFirst();
        QVERIFY(sim->text() == QStringLiteral("Sim") && !sim->isChecked());
        QSignalSpy clicked(button, &QPushButton::clicked);

        QProgressBar bar;
        koravel::WidgetProgress progress(bar);
        progress.setMaximum(10);
        quint32 duringRun = 0;
        QTimer::singleShot(0, [&] { duringRun = serverClockMs(); });
        QElapsedTimer guard;
        guard.start();
        while ((duringRun == 0 || guard.elapsed() < 120) && guard.elapsed() < 10000)
            progress.tick();
        progress.settle();
        QVERIFY(duringRun != 0);

        deliverClick(button, duringRun);
        deliverClick(sim, duringRun);
        QCOMPARE(clicked.size(), 0);
        QVERIFY(!sim->isChecked());
        // Input made after the run acts as usual.
        QTest::qWait(20);
        deliverClick(button, serverClockMs());
        QCOMPARE(clicked.size(), 1);
    }
};

QTEST_MAIN(RunInputTest)
#include "run_input_test.moc"
