// Keeps the user's input away from every window during a long run.
#include "input_blocker.h"

#include <QApplication>
#include <QEvent>

namespace koravel {

InputBlocker::InputBlocker()
{
    QCoreApplication::instance()->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

InputBlocker::~InputBlocker()
{
    // Input queued during the run reaches this filter now, and goes no further.
    QCoreApplication::processEvents();
    QApplication::restoreOverrideCursor();
    QCoreApplication::instance()->removeEventFilter(this);
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
        return true;
    case QEvent::Close:
        // Closing a window by its title bar; the program's own code closes none during a run.
        return event.spontaneous();
    default:
        return false;
    }
}

bool InputBlocker::eventFilter(QObject *, QEvent *event)
{
    return isUserInput(*event);
}

} // namespace koravel
