// The estimates, errors and names koravel-cli's ranking adds when asked for.
#include "ranking_extras.h"

#include "analysis/line_names.h"
#include "cli_options.h"
#include "export/missing_cross_estimates.h"
#include "export/prediction_errors.h"
#include "progress.h"

namespace koravel::cli {

RankingExtras::RankingExtras(const Options &options)
    : m_estimating(options.exports.estimateMissing)
    , m_error(options.diallel.error)
{
    if (options.diallel.namesPath)
        m_names = std::make_shared<const LineNames>(LineNames::read(*options.diallel.namesPath));
}

RankingExtras::~RankingExtras() = default;

const MissingCrossEstimates &RankingExtras::estimates(const PredictionInput &input)
{
    if (!m_estimates)
        m_estimates = std::make_shared<const MissingCrossEstimates>(input);
    return *m_estimates;
}

CandidateRecord RankingExtras::ranked(const CandidateRecord &record, const PredictionInput &input)
{
    if (m_estimating && record.falso)
        if (std::optional<CandidateRecord> estimated = estimates(input).estimated(record))
            return *estimated;
    return record;
}

void RankingExtras::complete(RankingResult &ranking, const PredictionInput &input)
{
    ranking.names = m_names;
    if (m_estimating) {
        ranking.estimatesShown = true;
        if (ranking.estimated > 0)
            ranking.complete = completeWithEstimates(std::move(ranking.complete), m_estimates);
    }
    if (m_error) {
        // Only a ranking with estimated hybrids needs the fit to expand their crosses.
        std::shared_ptr<const MissingCrossEstimates> fit;
        if (ranking.estimated > 0) {
            estimates(input);
            fit = m_estimates;
        }
        PredictionErrors(*m_error, input.reciprocals, fit).annotate(ranking);
    }
}

namespace {

    class RankingSink final : public CandidateSink
    {
    public:
        RankingSink(Ranking &ranking, RankingExtras &extras, const PredictionInput &input)
            : m_ranking(ranking)
            , m_extras(extras)
            , m_input(input)
        {
        }
        void candidate(const Candidate &candidate) override
        {
            // As the report's exports do: a line that does not read back is not the run's.
            if (const std::optional<CandidateRecord> record = printedRecord(candidate, m_order)) {
                ++m_order;
                m_ranking.add(m_extras.ranked(*record, m_input));
            }
        }

    private:
        Ranking &m_ranking;
        RankingExtras &m_extras;
        const PredictionInput &m_input;
        std::size_t m_order = 0;
    };

} // namespace

RankingResult rankWholeRun(const PredictionInput &input, HybridKind kind,
    const RankingOptions &options, RankingExtras &extras, MessageSink &messages)
{
    Ranking ranking(kind, options);
    RankingSink sink(ranking, extras, input);
    ProgressBar progress;
    if (kind == HybridKind::DoubleCross)
        predictDoubleCrosses(input, sink, progress, messages);
    else
        predictThreeWayCrosses(input, sink, progress, messages);
    return ranking.take(completeFromTable(input.grid, input.reciprocals, input.settings, kind));
}

} // namespace koravel::cli
