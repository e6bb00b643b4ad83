// The single crosses a ranking may take from the additive fit when they are missing: a
// candidate that is FALSO only for want of single crosses the fit can estimate is ranked with
// those estimates, marked as estimated.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/additive_fit.h"
#include "analysis/diallel_analysis.h"
#include "prediction/candidate.h"
#include "prediction/prediction.h"

namespace koravel {

// The single crosses of a record in the order of its values: a double cross (i x j)(k x l)
// ik, il, jk, jl; a three-way cross (i x j) k ik, jk.
std::array<std::array<int, 2>, 4> singleCrossPairs(const CandidateRecord &record);

// Which measured single cross a lookup of a x b reads: with reciprocals the ordered pair, without
// them the pair in either order.  crossKey(3, 1, Either) == crossKey(1, 3, Either)
std::uint64_t crossKey(int a, int b, Reciprocals reciprocals);

class MissingCrossEstimates
{
public:
    // A cross the fit read, lines a < b, and the key of the row it read it from.
    struct PresentCross
    {
        int a = 0, b = 0;
        std::uint64_t key = 0;
    };

    // Reads the table as the diallel analysis does (a pair in either order, whatever the
    // reciprocal option) and fits m + g(i) + g(j) to the crosses present; raises the Errors of
    // readCrossTable (more than 1000 lines, a cell that does not convert). Below 4 lines
    // nothing can be estimated.
    explicit MissingCrossEstimates(const PredictionInput &input);

    // The record of a FALSO candidate with each value of 0 replaced by the fit's estimate of
    // that single cross, its mean and CV worked out again and its estimated bits set. Nothing
    // when a 0 is not a missing cross of the fit (a cross present only in the other order,
    // with reciprocals) or cannot be estimated, or when the estimates give no mean:
    //   table 1x2 = 10, 1x3 = 12, 2x3 = 14, 1x4 = 13, 2x4 = 15 (3x4 missing), HT (3x4) 1:
    //     values {13, 0} -> values {13, 17}, mean 15, estimated 0b10
    std::optional<CandidateRecord> estimated(const CandidateRecord &record) const;

    const AdditiveFit &fit() const { return m_fit; }
    const std::vector<PresentCross> &presentCrosses() const { return m_present; }
    Reciprocals reciprocals() const { return m_reciprocals; }

private:
    CrossTable m_table;
    AdditiveFit m_fit;
    Reciprocals m_reciprocals;
    std::vector<PresentCross> m_present;
};

} // namespace koravel
