// The standard error of each predicted hybrid and of the difference of two, from the trial's
// error: every prediction is a linear combination sum w_m x_m of measured single crosses, each
// an independent mean of r plots with variance sigma^2 = QMR / r, so its variance is
// sigma^2 sum w_m^2 and that of a difference sigma^2 sum (w_m - w'_m)^2.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "analysis/diallel_analysis.h"
#include "export/missing_cross_estimates.h"
#include "export/ranking.h"

namespace koravel {

// A double cross of measured crosses weighs each of its four by 1/4, a three-way cross each of
// its two by 1/2; an estimated cross spreads its weight over the crosses the fit read:
//   HD of measured crosses       -> sqrt(QMR / (4r))        HT -> sqrt(QMR / (2r))
//   two HDs sharing k crosses    -> difference sqrt((8 - 2k) QMR / (16 r))
class PredictionErrors
{
public:
    // The error term must have passed checkErrorTerm. estimates, when not null, expands the
    // estimated crosses of a record; a record with an estimated cross needs it.
    PredictionErrors(const ErrorTerm &error, Reciprocals reciprocals,
        std::shared_ptr<const MissingCrossEstimates> estimates);

    long double standardError(const CandidateRecord &record) const;
    long double differenceError(const CandidateRecord &a, const CandidateRecord &b) const;
    // t(0.975) with the error's degrees of freedom.
    long double t975() const { return m_t975; }

    // Fills the ranking's standard errors and, for each kept hybrid, whether its mean differs
    // from the first's by more than t(0.975) times the standard error of the difference.
    void annotate(RankingResult &ranking) const;

private:
    struct Weights
    {
        std::map<std::uint64_t, long double> crosses; // measured crosses, by key
        std::vector<long double> lines; // z of the fit's estimates; empty when none
    };
    void addWeights(Weights &weights, const CandidateRecord &record, long double sign) const;
    long double variance(Weights weights) const;

    long double m_crossVariance;
    long double m_t975;
    Reciprocals m_reciprocals;
    std::shared_ptr<const MissingCrossEstimates> m_estimates;
    mutable std::map<std::uint64_t, std::vector<long double>> m_lineWeights;
};

} // namespace koravel
