// A vertical spin control without a field of its own: an up and a down arrow over a position.
#pragma once

#include <QWidget>

class QToolButton;

namespace koravel {

// Every click of an arrow is a step: the position moves by one within the range (no wrap)
// and stepped() is emitted, also at a limit, where the position stays.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    int position() const { return m_position; }
    void setRange(int minimum, int maximum);
    void setPosition(int position);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

public slots:
    void stepUp() { step(1); }
    void stepDown() { step(-1); }

signals:
    void stepped(int position);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void step(int delta);

    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};

} // namespace koravel
