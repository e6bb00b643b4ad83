// A vertical spin control without a field of its own.
#include "up_down.h"

#include <QToolButton>

#include <algorithm>

namespace koravel {

namespace {

    QToolButton *makeArrow(QWidget *parent, Qt::ArrowType arrow, const char *name)
    {
        auto *button = new QToolButton(parent);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    }

} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent)
    , m_up(makeArrow(this, Qt::UpArrow, "UpButton"))
    , m_down(makeArrow(this, Qt::DownArrow, "DownButton"))
{
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_position = std::clamp(m_position, m_minimum, m_maximum);
}

void UpDown::setPosition(int position)
{
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void UpDown::resizeEvent(QResizeEvent *)
{
    const int upHeight = height() / 2;
    m_up->setGeometry(0, 0, width(), upHeight);
    m_down->setGeometry(0, upHeight, width(), height() - upHeight);
}

void UpDown::step(int delta)
{
    m_position = std::clamp(m_position + delta, m_minimum, m_maximum);
    emit stepped(m_position);
}

} // namespace koravel
