// A report sink that passes every line on and keeps the progress display alive meanwhile.
#pragma once

#include "report/report_line.h"

namespace koravel {

class WidgetProgress;

class ProgressReportSink : public ReportSink
{
public:
    ProgressReportSink(ReportSink &report, WidgetProgress &progress);

    void clear() override;
    void appendLine(std::string_view line) override;
    void show() override;

private:
    ReportSink &m_report;
    WidgetProgress &m_progress;
};

} // namespace koravel
