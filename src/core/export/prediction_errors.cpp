// Standard errors of predicted hybrids from the weights of their measured single crosses.
#include "export/prediction_errors.h"

#include <cmath>

#include "analysis/distributions.h"

namespace koravel {

PredictionErrors::PredictionErrors(const ErrorTerm &error, Reciprocals reciprocals,
    std::shared_ptr<const MissingCrossEstimates> estimates)
    : m_crossVariance(error.crossVariance())
    , m_t975(studentTQuantile(0.975L, static_cast<long double>(error.degreesOfFreedom)))
    , m_reciprocals(reciprocals)
    , m_estimates(std::move(estimates))
{
}

// A measured cross adds its share to its own weight; an estimated one adds its share of the
// fit's z, which gives the present cross a x b the weight z_a + z_b.
void PredictionErrors::addWeights(
    Weights &weights, const CandidateRecord &record, long double sign) const
{
    const auto pairs = singleCrossPairs(record);
    const std::size_t count = valueCount(record.kind);
    const long double share = sign / static_cast<long double>(count);
    for (std::size_t v = 0; v < count; ++v) {
        const auto [a, b] = pairs[v];
        if ((record.estimated >> v & 1u) == 0) {
            weights.crosses[crossKey(a, b, m_reciprocals)] += share;
            continue;
        }
        const std::uint64_t pair = crossKey(a, b, Reciprocals::Either);
        auto found = m_lineWeights.find(pair);
        if (found == m_lineWeights.end())
            found = m_lineWeights.emplace(pair, m_estimates->fit().lineWeights(a, b)).first;
        if (weights.lines.empty())
            weights.lines.assign(found->second.size(), 0.0L);
        for (std::size_t line = 0; line < found->second.size(); ++line)
            weights.lines[line] += share * found->second[line];
    }
}

long double PredictionErrors::variance(Weights weights) const
{
    long double squares = 0;
    if (!weights.lines.empty())
        for (const MissingCrossEstimates::PresentCross &cross : m_estimates->presentCrosses()) {
            long double weight =
                weights.lines[std::size_t(cross.a - 1)] + weights.lines[std::size_t(cross.b - 1)];
            if (const auto own = weights.crosses.find(cross.key); own != weights.crosses.end()) {
                weight += own->second;
                weights.crosses.erase(own);
            }
            squares += weight * weight;
        }
    for (const auto &[key, weight] : weights.crosses)
        squares += weight * weight;
    return squares * m_crossVariance;
}

long double PredictionErrors::standardError(const CandidateRecord &record) const
{
    Weights weights;
    addWeights(weights, record, 1);
    return std::sqrt(variance(std::move(weights)));
}

long double PredictionErrors::differenceError(
    const CandidateRecord &a, const CandidateRecord &b) const
{
    Weights weights;
    addWeights(weights, a, 1);
    addWeights(weights, b, -1);
    return std::sqrt(variance(std::move(weights)));
}

void PredictionErrors::annotate(RankingResult &ranking) const
{
    ranking.standardErrors.clear();
    ranking.differsFromFirst.clear();
    if (ranking.best.empty())
        return;
    const CandidateRecord first = ranking.record(0);
    for (std::size_t i = 0; i < ranking.best.size(); ++i) {
        const CandidateRecord record = i == 0 ? first : ranking.record(i);
        ranking.standardErrors.push_back(static_cast<double>(standardError(record)));
        const long double difference =
            std::fabs(static_cast<long double>(first.mean) - record.mean);
        ranking.differsFromFirst.push_back(
            i > 0 && difference > m_t975 * differenceError(first, record) ? 1 : 0);
    }
}

} // namespace koravel
