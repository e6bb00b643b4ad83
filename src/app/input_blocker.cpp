// Keeps the user's input away from every window during a long run.
#include "input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QInputEvent>

#include <ctime>

namespace koravel {

namespace {

    // A stamp further than this from the clock is not of the clock.
    constexpr quint32 kClockWindowMs = 10 * 60 * 1000;

    // The end of the last run on the monotonic clock; 0 before the first run.
    quint32 g_lastRunEnd = 0;

    // Stays installed once the first run has ended, for input that arrives after its end.
    class LateInputFilter : public QObject
    {
    public:
        using QObject::QObject;

    protected:
        bool eventFilter(QObject *, QEvent *event) override
        {
            return InputBlocker::madeDuringLastRun(*event);
        }
    };

} // namespace

quint32 InputBlocker::clockMs()
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return quint32(quint64(now.tv_sec) * 1000 + quint64(now.tv_nsec) / 1000000);
}

bool InputBlocker::madeDuringLastRun(const QEvent &event)
{
    if (g_lastRunEnd == 0 || !isUserInput(event))
        return false;
    const auto *input = dynamic_cast<const QInputEvent *>(&event);
    if (input == nullptr || input->timestamp() == 0)
        return false;
    const auto stamp = quint32(input->timestamp());
    if (quint32(clockMs() - stamp) > kClockWindowMs)
        return false; // not stamped by this clock, or from long ago
    return qint32(g_lastRunEnd - stamp) > 0;
}

InputBlocker::InputBlocker()
{
    QCoreApplication::instance()->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

InputBlocker::~InputBlocker()
{
    // Input that reached the program during the run, or is still on its way from the display
    // server, meets this filter now and goes no further: sync() reads everything the server
    // sent so far and delivers it before the filter goes.
    QGuiApplication::sync();
    QApplication::restoreOverrideCursor();
    QCoreApplication::instance()->removeEventFilter(this);
    const bool firstRun = g_lastRunEnd == 0;
    g_lastRunEnd = clockMs() | 1; // never 0
    if (firstRun)
        QCoreApplication::instance()->installEventFilter(
            new LateInputFilter(QCoreApplication::instance()));
}

bool InputBlocker::isUserInput(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchCancel:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
        return true;
    case QEvent::Close:
        // Closing a window by its title bar; the program's own code closes none during a run.
        return event.spontaneous();
    default:
        return false;
    }
}

void InputBlocker::yield()
{
    // Not ExcludeUserInputEvents: the X11 layer would hold that input back and deliver it after
    // the run, once nothing filters it any more.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool InputBlocker::eventFilter(QObject *, QEvent *event)
{
    return isUserInput(*event);
}

} // namespace koravel
