// The progress rule of the core shown on a QProgressBar.
#include "widget_progress.h"

#include "input_blocker.h"

#include <QProgressBar>

#include <algorithm>

namespace koravel {

namespace {

    // Reading the clock for every report line would cost more than writing the line.
    constexpr unsigned kTicksPerClockCheck = 1024;
    constexpr qint64 kRepaintIntervalMs = 50;

} // namespace

WidgetProgress::WidgetProgress(QProgressBar &bar)
    : m_bar(bar)
{
    showOnBar();
}

WidgetProgress::~WidgetProgress() = default;

void WidgetProgress::tick()
{
    if (++m_ticks < kTicksPerClockCheck)
        return;
    m_ticks = 0;
    yieldIfDue();
}

void WidgetProgress::settle()
{
    showOnBar();
    m_blocker.reset();
    m_sinceShown.invalidate();
    m_ticks = 0;
}

void WidgetProgress::changed()
{
    yieldIfDue();
}

void WidgetProgress::yieldIfDue()
{
    // The first check of a run starts the clock: a run shorter than the interval never yields.
    if (!m_sinceShown.isValid()) {
        m_sinceShown.start();
        return;
    }
    if (m_sinceShown.elapsed() < kRepaintIntervalMs)
        return;
    if (!m_blocker)
        m_blocker = std::make_unique<InputBlocker>();
    showOnBar();
    InputBlocker::yield();
    m_sinceShown.start();
}

void WidgetProgress::showOnBar()
{
    // A range of 0 to 0 is the toolkit's "busy" animation; nothing runs then (a one-line
    // import, HD with three lines), so the bar shows empty and still instead.
    m_bar.setRange(0, std::max(maximum(), 1));
    m_bar.setValue(position());
}

} // namespace koravel
