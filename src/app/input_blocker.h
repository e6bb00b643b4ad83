// Keeps the user's input away from every window while a long run lets the windows repaint.
#pragma once

#include <QObject>

namespace koravel {

// While one exists, mouse, keyboard, drop and close requests to any window are dropped and the
// wait cursor shows; paint and timer events go on (yield()). Input made during the run but
// delivered after it is dropped too: a run started by a click works inside the toolkit's
// handling of that click, and the display server's next events wait until the handler returns,
// by which time this object is gone. Such input is known by its time stamp, which X11 and
// Wayland take from the same monotonic clock as this program: input stamped before the end of
// the last run is dropped. Input whose stamp does not read as that clock (offscreen, synthetic
// events of tests) is left alone.
class InputBlocker : public QObject
{
    Q_OBJECT
public:
    InputBlocker();
    ~InputBlocker() override;

    static bool isUserInput(const QEvent &event);
    // Whether the input event was made before the end of the last run, by its time stamp.
    static bool madeDuringLastRun(const QEvent &event);
    // The monotonic clock in milliseconds, as the display server stamps input (32 bits).
    static quint32 clockMs();

    // Paints and handles timers and other events; the user's input goes to this filter and no
    // further.
    static void yield();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace koravel
