// What koravel-cli's ranking takes besides the candidates, when asked for: the estimates of
// missing single crosses (--estimate-missing), the error of each prediction (--error-ms,
// --error-df, --replications) and the names of the lines (--names). The report never sees them.
#pragma once

#include <memory>
#include <optional>

#include "analysis/diallel_analysis.h"
#include "export/ranking.h"
#include "prediction/prediction.h"

namespace koravel {
class LineNames;
class MissingCrossEstimates;
} // namespace koravel

namespace koravel::cli {

struct Options;

class RankingExtras
{
public:
    // Reads the names file, so that a wrong one costs no import.
    explicit RankingExtras(const Options &options);
    ~RankingExtras();

    bool estimating() const { return m_estimating; }
    // The record as the ranking takes it: a FALSO one whose missing crosses the fit estimates
    // comes back with them; the fit is made from input's table when the first FALSO one comes.
    CandidateRecord ranked(const CandidateRecord &record, const PredictionInput &input);
    // The ranking's rows, its estimated column, the error of each hybrid and the names.
    void complete(RankingResult &ranking, const PredictionInput &input);

private:
    const MissingCrossEstimates &estimates(const PredictionInput &input);

    bool m_estimating = false;
    std::optional<ErrorTerm> m_error;
    std::shared_ptr<const LineNames> m_names;
    std::shared_ptr<const MissingCrossEstimates> m_estimates;
};

// The ranking of --no-report with estimates: the whole run worked out into the ranking alone
// (the branch and bound knows nothing of estimates), with the run's errors and messages.
RankingResult rankWholeRun(const PredictionInput &input, HybridKind kind,
    const RankingOptions &options, RankingExtras &extras, MessageSink &messages);

} // namespace koravel::cli
