// A report sink that passes every line on, keeps the progress display alive meanwhile and puts
// the lines written so far on view a few times a second.
#include "progress_report_sink.h"

#include "widget_progress.h"

namespace koravel {

namespace {

    // The lines written so far go on view this often: each time costs a repaint of the window.
    constexpr qint64 kRefreshIntervalMs = 200;
    // Reading the clock for every line would cost more than the line.
    constexpr unsigned kLinesPerClockCheck = 4096;
    // The progress display counts a tick per line; a block of lines gives one per so many.
    constexpr std::size_t kLinesPerTick = 1024;

} // namespace

ProgressReportSink::ProgressReportSink(ReportSink &report, WidgetProgress &progress)
    : m_report(report)
    , m_progress(progress)
{
}

void ProgressReportSink::clear()
{
    m_report.clear();
    m_sinceRefresh.start();
}

void ProgressReportSink::appendLine(std::string_view line)
{
    m_report.appendLine(line);
    m_progress.tick();
    if (++m_lines % kLinesPerClockCheck == 0)
        refreshIfDue();
}

void ProgressReportSink::show()
{
    m_report.show();
}

std::optional<BlockForm> ProgressReportSink::blockForm() const
{
    return m_report.blockForm();
}

void ProgressReportSink::appendBlock(const LineBlock &block)
{
    m_report.appendBlock(block);
    for (std::size_t ticks = 0; ticks <= block.lines / kLinesPerTick; ++ticks)
        m_progress.tick();
    refreshIfDue();
}

void ProgressReportSink::refresh()
{
    m_report.refresh();
}

void ProgressReportSink::refreshIfDue()
{
    if (!m_sinceRefresh.isValid()) {
        m_sinceRefresh.start();
        return;
    }
    if (m_sinceRefresh.elapsed() < kRefreshIntervalMs)
        return;
    m_report.refresh();
    m_sinceRefresh.start();
}

} // namespace koravel
