// The progress rule of the core shown on a QProgressBar.
#include "widget_progress.h"

#include "input_blocker.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace koravel {

namespace {

    // Reading the clock on every change would cost more than the change itself.
    constexpr unsigned kChangesPerClockCheck = 64;
    constexpr qint64 kRepaintIntervalMs = 50;

} // namespace

WidgetProgress::WidgetProgress(QProgressBar &bar)
    : m_bar(bar)
{
    showOnBar();
}

WidgetProgress::~WidgetProgress() = default;

void WidgetProgress::settle()
{
    showOnBar();
    m_blocker.reset();
    m_sinceShown.invalidate();
    m_changesSinceCheck = 0;
}

void WidgetProgress::changed()
{
    if (++m_changesSinceCheck < kChangesPerClockCheck)
        return;
    m_changesSinceCheck = 0;
    if (m_sinceShown.isValid() && m_sinceShown.elapsed() < kRepaintIntervalMs)
        return;
    if (!m_sinceShown.isValid()) {
        // The first check of a run starts the clock: short runs never yield.
        m_sinceShown.start();
        return;
    }
    if (!m_blocker)
        m_blocker = std::make_unique<InputBlocker>();
    showOnBar();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceShown.start();
}

void WidgetProgress::showOnBar()
{
    m_bar.setRange(0, maximum());
    m_bar.setValue(position());
}

} // namespace koravel
