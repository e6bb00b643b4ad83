// The best hybrids found without the report against the ranking of every record of the run, on
// seeded random tables: ties, missing and zero crosses, duplicate rows, values of both signs and
// of more than 15 digits, both reciprocal options and the best pairing.
#include <gtest/gtest.h>

#include <random>

#include "error_of.h"
#include "export/best_candidates.h"
#include "fixtures.h"
#include "progress.h"

using namespace koravel;

namespace {

// The ranking koravel-cli makes beside the report: every record in its printed form.
class WholeRun final : public CandidateSink, public MessageSink
{
public:
    WholeRun(HybridKind kind, RankingOptions options, std::size_t candidates)
        : ranking(kind, options, candidates)
    {
    }
    void candidate(const Candidate &candidate) override
    {
        if (const auto record = printedRecord(candidate, m_order)) {
            ++m_order;
            ranking.add(*record);
        }
    }
    void information(const std::string &) override { }
    Ranking ranking;

private:
    std::size_t m_order = 0;
};

std::string valueText(std::mt19937 &random, int style, int a, int b, const std::vector<int> &g)
{
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    switch (style) {
    case 0: // few values: many ties
        return std::to_string(uniform(1, 4));
    case 1: // two decimals, as measured
        return std::to_string(uniform(3, 11)) + "." + std::to_string(uniform(10, 99));
    case 2: // strong line effects
        return std::to_string(20 + g[std::size_t(a)] + g[std::size_t(b)] + uniform(-2, 2));
    case 3: // both signs: means of 0 divide by zero, or, with more digits, hardly ever
        return a % 2
            ? std::to_string(uniform(-3, 3))
            : std::to_string(uniform(-3, 3)) + "." + std::to_string(uniform(100000, 999999));
    default: // more digits than the report prints
        return std::to_string(uniform(1, 3)) + ".1234567890123456" + std::to_string(uniform(0, 9));
    }
}

} // namespace

TEST(BestCandidates, SameAsRankingEveryRecordOfTheRun)
{
    std::mt19937 random(20260614);
    const auto chance = [&](double p) { return std::bernoulli_distribution(p)(random); };
    const std::size_t tops[] = { 1, 3, 10, 60, 100000 };
    for (int round = 0; round < 240; ++round) {
        const double u = std::uniform_real_distribution<double>(0, 1)(random);
        const int n = 4 + int(36 * u * u);
        const HybridKind kind = chance(0.6) ? HybridKind::DoubleCross : HybridKind::ThreeWayCross;
        const Reciprocals reciprocals = chance(0.5) ? Reciprocals::Distinct : Reciprocals::Either;
        const int style = int(random() % 5);
        const double missing = std::vector<double> { 0, 0.1, 0.5 }[random() % 3];
        std::vector<int> g(std::size_t(n) + 2);
        for (int &effect : g)
            effect = int(random() % 9);
        std::vector<test::Row> rows;
        for (int a = 1; a <= n + 1; ++a) // line n + 1 is outside the run
            for (int b = 1; b <= n + 1; ++b)
                if (a != b && (reciprocals == Reciprocals::Distinct || a < b || chance(0.1))
                    && !chance(missing))
                    rows.push_back({ std::to_string(a), std::to_string(b),
                        chance(0.03) ? "0" : valueText(random, style, a, b, g) });
        const CellGrid grid = test::gridOf(rows);
        const PredictionInput input { grid, std::to_string(n), reciprocals,
            FormatSettings { '.' } };
        RankingOptions options;
        options.top = tops[random() % 5];
        options.bestPairing = kind == HybridKind::DoubleCross && chance(0.5);
        SCOPED_TRACE(testing::Message()
            << "round " << round << ", n " << n << ", style " << style << ", K " << options.top
            << ", pairing " << options.bestPairing);

        WholeRun whole(kind, options, SIZE_MAX);
        ProgressBar progress;
        const std::string runError = errorOf([&] {
            if (kind == HybridKind::DoubleCross)
                predictDoubleCrosses(input, whole, progress, whole);
            else
                predictThreeWayCrosses(input, whole, progress, whole);
        });
        std::optional<RankingResult> found;
        const std::string searchError =
            errorOf([&] { found = rankBestCandidates(input, kind, options); });
        ASSERT_EQ(searchError, runError);
        if (runError != "no error")
            continue;
        const RankingResult expected =
            whole.ranking.take(completeFromTable(grid, reciprocals, input.settings, kind));
        EXPECT_EQ(found->candidates, expected.candidates);
        EXPECT_EQ(found->predicted, expected.predicted);
        ASSERT_EQ(found->best.size(), expected.best.size());
        for (std::size_t i = 0; i < expected.best.size(); ++i) {
            const CandidateRecord want = expected.record(i), got = found->record(i);
            ASSERT_EQ(got.parents, want.parents) << "rank " << i;
            EXPECT_EQ(got.mean, want.mean);
            EXPECT_EQ(got.cv, want.cv);
            EXPECT_EQ(got.values, want.values);
        }
        ASSERT_EQ(found->frequencies.size(), expected.frequencies.size());
        for (std::size_t i = 0; i < expected.frequencies.size(); ++i) {
            EXPECT_EQ(found->frequencies[i].line, expected.frequencies[i].line);
            EXPECT_EQ(found->frequencies[i].count, expected.frequencies[i].count);
        }
    }
}
