// A report sink that passes every line on, keeps the progress display alive meanwhile and puts
// the lines written so far on view a few times a second.
#pragma once

#include "report/report_line.h"

#include <QElapsedTimer>

namespace koravel {

class WidgetProgress;

class ProgressReportSink : public ReportSink
{
public:
    ProgressReportSink(ReportSink &report, WidgetProgress &progress);

    void clear() override;
    void appendLine(std::string_view line) override;
    void show() override;
    std::optional<BlockForm> blockForm() const override;
    void appendBlock(const LineBlock &block) override;
    void refresh() override;

private:
    void refreshIfDue();

    ReportSink &m_report;
    WidgetProgress &m_progress;
    QElapsedTimer m_sinceRefresh;
    unsigned m_lines = 0;
};

} // namespace koravel
