// A report sink that passes every line on and keeps the progress display alive meanwhile.
#include "progress_report_sink.h"

#include "widget_progress.h"

namespace koravel {

ProgressReportSink::ProgressReportSink(ReportSink &report, WidgetProgress &progress)
    : m_report(report)
    , m_progress(progress)
{
}

void ProgressReportSink::clear()
{
    m_report.clear();
}

void ProgressReportSink::appendLine(std::string_view line)
{
    m_report.appendLine(line);
    m_progress.tick();
}

void ProgressReportSink::show()
{
    m_report.show();
}

} // namespace koravel
