// Keeps the user's input away from every window while a long run lets the windows repaint.
#pragma once

#include <QObject>

namespace koravel {

// While one exists, mouse, keyboard and close requests to any window are dropped and the
// wait cursor shows; paint and timer events go on. Input that arrived meanwhile is dropped
// when it ends, so a click during a run does not act after it.
class InputBlocker : public QObject
{
    Q_OBJECT
public:
    InputBlocker();
    ~InputBlocker() override;

    static bool isUserInput(const QEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace koravel
