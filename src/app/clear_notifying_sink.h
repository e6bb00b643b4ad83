// A report sink that passes a prediction's lines on and tells when the prediction starts its
// report, so that the report window learns which run wrote the text it shows.
#pragma once

#include "report/report_line.h"

#include <functional>
#include <string_view>

class ClearNotifyingSink : public koravel::ReportSink
{
public:
    ClearNotifyingSink(koravel::ReportSink &target, std::function<void()> cleared)
        : m_target(target)
        , m_cleared(std::move(cleared))
    {
    }

    // A run that fails before it clears the report (a bad number of lines) leaves the old report
    // and its settings together.
    void clear() override
    {
        m_target.clear();
        m_cleared();
    }
    void appendLine(std::string_view line) override { m_target.appendLine(line); }
    void show() override { m_target.show(); }

private:
    koravel::ReportSink &m_target;
    std::function<void()> m_cleared;
};
