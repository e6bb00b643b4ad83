// The progress rule of the core shown on a QProgressBar.
#pragma once

#include "progress.h"

#include <QElapsedTimer>

#include <memory>

class QProgressBar;

namespace koravel {

class InputBlocker;

// A prediction moves the position millions of times: the bar is redrawn at most about 20
// times a second, and the windows repaint meanwhile while the user's input is kept away.
// A maximum below 0 is refused by the core's rule ("TProgressBar property out of range")
// and the bar keeps what it showed.
class WidgetProgress : public ProgressBar
{
public:
    explicit WidgetProgress(QProgressBar &bar);
    ~WidgetProgress() override;

    // Shows the current maximum and position now and gives the windows back their input.
    // Called when a run ends, and before a message box opens in the middle of one.
    void settle();

protected:
    void changed() override;

private:
    void showOnBar();

    QProgressBar &m_bar;
    QElapsedTimer m_sinceShown;
    unsigned m_changesSinceCheck = 0;
    std::unique_ptr<InputBlocker> m_blocker;
};

} // namespace koravel
