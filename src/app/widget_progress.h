// The progress rule of the core shown on a QProgressBar.
#pragma once

#include "progress.h"

#include <QElapsedTimer>

#include <memory>

class QProgressBar;

namespace koravel {

class InputBlocker;

// A long run shows its position and lets the windows repaint about 20 times a second, while
// the user's input is kept away until it ends. A maximum below 0 is refused by the core's
// rule ("TProgressBar property out of range") and the bar keeps what it showed.
class WidgetProgress : public ProgressBar
{
public:
    explicit WidgetProgress(QProgressBar &bar);
    ~WidgetProgress() override;

    // A sign of life between changes of the position (a prediction moves it once per first
    // parent, but writes a line per candidate): cheap enough to call for every line.
    void tick();

    // Shows the current maximum and position now and gives the windows back their input (input
    // made during the run stays dropped, see InputBlocker). Called when a run ends, and before a
    // message box opens in the middle of one.
    void settle();

protected:
    void changed() override;

private:
    void yieldIfDue();
    void showOnBar();

    QProgressBar &m_bar;
    QElapsedTimer m_sinceShown;
    unsigned m_ticks = 0;
    std::unique_ptr<InputBlocker> m_blocker;
};

} // namespace koravel
