// The best K hybrids straight from the table, without working out every candidate: the ranking
// that ranking the whole run would give, found by branch and bound over the sorted single
// crosses.
#pragma once

#include "export/ranking.h"
#include "prediction/prediction.h"

namespace koravel {

// Ranks the candidates of a double-cross (kind DoubleCross) or three-way (ThreeWayCross) run
// exactly as a Ranking fed with the printed records of the whole run would: the same hybrids,
// means, ties, order and frequencies, the same counts of candidates and of predicted ones. The
// run's errors come first, as the run would raise them (the number of lines, the progress
// maximum, a cell that does not convert, a mean of 0), and the message for too few lines goes
// to messages when one is given. Only the candidates that can still enter the best K are
// worked out: a bound on the sum of the single crosses of every candidate of a pair of lines
// (double crosses) or of a line (three-way crosses) skips the rest. Memory: the table of single
// crosses of the lines of the table, O(m^2), and the K kept.
//   4 lines, crosses 1x2..3x4 valued 1..6 (reciprocals Either), K = 2
//                                 -> (1x2)(3x4), (1x3)(2x4): all three means are 3.5, met in order
//   field "3", double crosses     -> an empty ranking, after the message for too few lines
RankingResult rankBestCandidates(const PredictionInput &input, HybridKind kind,
    const RankingOptions &options, MessageSink *messages = nullptr);

} // namespace koravel
