// The error of predicted hybrids and the ranking with estimated single crosses, against weights
// worked out by hand: sigma^2 = QMR / r times the sum of the squared weights of the measured
// crosses, and the least-squares estimate of a missing cross of four lines.
#include <gtest/gtest.h>

#include <cmath>

#include "export/missing_cross_estimates.h"
#include "export/prediction_errors.h"
#include "fixtures.h"

using namespace koravel;

namespace {

CandidateRecord hybrid(std::array<int, 4> parents, double mean = 0)
{
    CandidateRecord record;
    record.kind = parents[3] == 0 ? HybridKind::ThreeWayCross : HybridKind::DoubleCross;
    record.parents = parents;
    record.mean = mean;
    return record;
}

const ErrorTerm kError { 8, 10, 2 }; // sigma^2 = 4
constexpr long double kT975 = 2.228138851986; // t(0.975, 10), from the tables

// Within a few units in the last place of the extended format.
void expectNear(long double got, long double want)
{
    EXPECT_LT(std::fabs(got - want), 1e-15L) << double(got) << " " << double(want);
}

} // namespace

// Measured crosses: an HD weighs its four by 1/4, an HT its two by 1/2; two HDs sharing k of
// their crosses differ with variance (8 - 2k) sigma^2 / 16, two HTs with (4 - 2k) sigma^2 / 4.
TEST(PredictionErrors, SharedCrossesOfMeasuredHybrids)
{
    const PredictionErrors errors(kError, Reciprocals::Either, nullptr);
    const struct
    {
        std::array<int, 4> a, b;
        long double shared; // k
    } rows[] = {
        { { 1, 2, 3, 4 }, { 1, 2, 5, 6 }, 0 },
        { { 1, 2, 3, 4 }, { 1, 5, 3, 6 }, 1 },
        { { 1, 2, 3, 4 }, { 1, 2, 3, 5 }, 2 },
        { { 1, 2, 3, 4 }, { 2, 1, 4, 3 }, 4 },
        { { 1, 2, 3, 0 }, { 4, 5, 6, 0 }, 0 },
        { { 1, 2, 3, 0 }, { 1, 4, 3, 0 }, 1 },
        { { 1, 2, 3, 0 }, { 2, 1, 3, 0 }, 2 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(hybridName(hybrid(row.a)) + " " + hybridName(hybrid(row.b)));
        const bool hd = row.a[3] != 0;
        expectNear(errors.standardError(hybrid(row.a)), hd ? 1.0L : std::sqrt(2.0L));
        const long double variance = hd ? (8 - 2 * row.shared) * 4 / 16 : (4 - 2 * row.shared);
        expectNear(errors.differenceError(hybrid(row.a), hybrid(row.b)), std::sqrt(variance));
    }
    // Difere do 1º at 5 %: a difference above t(0.975, 10) times the error of the difference.
    const long double lsd = kT975 * std::sqrt(2.0L); // two HDs sharing no cross
    RankingResult ranking;
    ranking.kind = HybridKind::DoubleCross;
    const std::vector<CandidateRecord> records { hybrid({ 1, 2, 3, 4 }, 20),
        hybrid({ 1, 2, 5, 6 }, double(20 - lsd + 0.001L)),
        hybrid({ 3, 4, 5, 6 }, double(20 - lsd - 0.001L)) };
    for (std::size_t i = 0; i < records.size(); ++i)
        ranking.best.push_back(RankedHybrid { records[i].parents, records[i].mean, i });
    ranking.complete = [&](const RankedHybrid &kept) { return records[kept.order]; };
    errors.annotate(ranking);
    EXPECT_EQ(ranking.differsFromFirst, (std::vector<char> { 0, 0, 1 }));
    EXPECT_EQ(ranking.standardErrors, (std::vector<double> { 1, 1, 1 }));
}

// Four lines, 3x4 missing: its least-squares estimate is (x13 + x14 + x23 + x24) / 2 - x12.
// The HT (3x1) 4 = (x34 + x14) / 2 weighs x13, x23, x24 by 1/4, x14 by 3/4 and x12 by -1/2:
// variance sigma^2 (3/16 + 9/16 + 4/16) = sigma^2.
TEST(PredictionErrors, EstimatedCrossesAndWhatStaysOut)
{
    const CellGrid grid = test::gridOf({ { "1", "2", "10" }, { "1", "3", "12" }, { "2", "3", "14" },
        { "4", "1", "13" }, { "2", "4", "16" }, { "3", "4", "0" } });
    const PredictionInput input { grid, LinesField("4"), Reciprocals::Either,
        FormatSettings { '.' } };
    const auto estimates = std::make_shared<const MissingCrossEstimates>(input);
    CandidateRecord falso = hybrid({ 3, 1, 4, 0 });
    falso.falso = true;
    falso.values = { 0, 13 };
    const std::optional<CandidateRecord> estimated = estimates->estimated(falso);
    ASSERT_TRUE(estimated);
    EXPECT_NEAR(estimated->values[0], (12 + 13 + 14 + 16) / 2.0 - 10, 1e-12);
    EXPECT_EQ(estimated->estimated, 1);
    EXPECT_FALSE(estimated->falso);
    EXPECT_NEAR(estimated->mean, (17.5 + 13) / 2, 1e-12);
    const PredictionErrors errors(kError, Reciprocals::Either, estimates);
    expectNear(errors.standardError(*estimated), 2.0L);
    // Less the measured HT (1x2) 4 = (x14 + x24) / 2: x12 -1/2, x13, x23, x14 1/4, x24 -1/4:
    // variance sigma^2 (4/16 + 4/16) = sigma^2 / 2.
    expectNear(errors.differenceError(*estimated, hybrid({ 1, 2, 4, 0 })), std::sqrt(2.0L));

    // A cross missing between two groups crossed only with each other cannot be estimated.
    const CellGrid twoGroups = test::gridOf(
        { { "1", "3", "10" }, { "1", "4", "12" }, { "2", "3", "14" }, { "2", "4", "13" } });
    const MissingCrossEstimates bipartite(PredictionInput {
        twoGroups, LinesField("4"), Reciprocals::Either, FormatSettings { '.' } });
    CandidateRecord across = hybrid({ 1, 3, 2, 0 }); // needs 1x2: not estimable
    across.falso = true;
    across.values = { 0, 14 };
    EXPECT_FALSE(bipartite.estimated(across));
}
