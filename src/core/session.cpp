// What a run holds, and the prediction that makes a report the session's last one.
#include "session.h"

namespace koravel {

namespace {

    // Passes the lines on; the report becomes the run's when the run clears it, so that a run
    // refused before it writes anything leaves the shown report with the settings that wrote it.
    class OwningSink : public ReportSink
    {
    public:
        OwningSink(ReportSink &target, std::optional<ReportOrigin> &last, ReportOrigin origin)
            : m_target(target)
            , m_last(last)
            , m_origin(origin)
        {
        }
        void clear() override
        {
            m_target.clear();
            m_last = m_origin;
        }
        void appendLine(std::string_view line) override { m_target.appendLine(line); }
        void show() override { m_target.show(); }
        std::optional<BlockForm> blockForm() const override { return m_target.blockForm(); }
        void appendBlock(const LineBlock &block) override { m_target.appendBlock(block); }
        void refresh() override { m_target.refresh(); }

    private:
        ReportSink &m_target;
        std::optional<ReportOrigin> &m_last;
        ReportOrigin m_origin;
    };

} // namespace

Session::Session(char regionalSeparator)
    : m_regionalSeparator(regionalSeparator)
{
    m_grid.setCell(1, 0, "Pai A");
    m_grid.setCell(2, 0, "Pai B");
    m_grid.setCell(3, 0, "PRODU\xC7\xC3O");
}

FormatSettings Session::formatSettings() const
{
    switch (m_choice) {
    case DecimalChoice::Point:
        return { '.' };
    case DecimalChoice::Comma:
        return { ',' };
    case DecimalChoice::Regional:
        break;
    }
    return { m_regionalSeparator };
}

PredictionInput Session::predictionInput() const
{
    return { m_grid, m_lines, m_reciprocals, formatSettings() };
}

void Session::predict(
    HybridKind kind, ReportSink &report, ProgressBar &progress, MessageSink &messages)
{
    const PredictionInput input = predictionInput();
    OwningSink sink(
        report, m_lastReport, { kind, input.settings, m_dataFile, m_lines.text(), m_reciprocals });
    if (kind == HybridKind::DoubleCross)
        predictDoubleCrosses(input, sink, progress, messages);
    else
        predictThreeWayCrosses(input, sink, progress, messages);
}

} // namespace koravel
