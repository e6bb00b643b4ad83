// Candidate lines read back, records in their printed form, and the ranking against a full sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "error_of.h"
#include "export/ranking.h"
#include "report/report_document.h"
#include "report/report_line.h"

using namespace koravel;

namespace {

constexpr FormatSettings kDot { '.' };
constexpr FormatSettings kComma { ',' };
constexpr HybridKind HD = HybridKind::DoubleCross;
constexpr HybridKind HT = HybridKind::ThreeWayCross;

// The golden rows read every line of real reports back; here the signs and exponents they lack.
TEST(ReadCandidateLine, SignsAndExponents)
{
    const auto candidate = readCandidateLine("HT (12x3) 40 =>\t-2,000\t-35,4\t-1,5\t-2,5E0", kComma);
    ASSERT_TRUE(candidate.has_value());
    EXPECT_EQ(candidate->parents, (std::array<int, 4> { 12, 3, 40, 0 }));
    EXPECT_EQ(candidate->values, (std::array<double, 4> { -1.5, -2.5 }));
    EXPECT_DOUBLE_EQ(candidate->mean, -2);
    EXPECT_NEAR(candidate->cv, -35.355339, 1e-6); // sqrt(0.5) / -2 * 100, by hand
}

TEST(ReadCandidateLine, EverythingElseIsNoCandidate)
{
    for (const std::string line : { "Hibridos Reais preditos = 3", "",
             "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75", "HT (1x2) 3 =>\t5.500\t12.9\t5\t6\t",
             "HT (1x2) 3 =>\t5.500\t12.9\t\t6", "HT (1x2) 3 =>\t5,500\t12,9\t5\t6",
             "HT (01x2) 3 =>\t5.500\t12.9\t5\t6", "HT (1x2) 2147483648 =>\t5.500\t12.9\t5\t6",
             "FALSO HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "HT (1x2) 3 =>\t0.000\t0.0\t0\t6",
             "HD (1x2)(3x4) =>\t0.000\t0.0\t1\t-1\t2\t-2" }) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(readCandidateLine(line, kDot).has_value());
    }
}

// A record's printed form takes each value as its text reads back: a cell of more than 15
// significant digits ranks by the number the report shows, as a ranking of the report's text
// would rank it.
TEST(PrintedRecord, ValuesAsTheirTextsReadBack)
{
    Candidate candidate;
    candidate.kind = HT;
    candidate.parents = { 1, 2, 3, 0 };
    candidate.crosses[0] = { 0.1234567890123456789, "0.123456789012346", 0.123456789012346 };
    candidate.crosses[1] = { 0.5, "0.5", 0.5 };
    candidate.mean = 0.31172839450617284; // what the prediction worked out from the cells
    const auto record = printedRecord(candidate, 7);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->values[0], 0.123456789012346);
    EXPECT_EQ(record->mean, 0.311728394506173); // (0.123456789012346 + 0.5) / 2
    EXPECT_EQ(record->order, 7u);

    candidate.crosses[0].printed = std::nan(""); // "INF" reads back as nothing
    EXPECT_FALSE(printedRecord(candidate, 0).has_value());
}

// The reference: every record kept, the best of each set first when asked, a stable sort.
RankingResult bruteForce(std::vector<CandidateRecord> all, const RankingOptions &options)
{
    RankingResult result;
    result.candidates = all.size();
    std::erase_if(all, [](const CandidateRecord &c) { return c.falso; });
    result.predicted = all.size();
    if (options.bestPairing) {
        std::map<std::array<int, 4>, CandidateRecord> bestOfSet;
        for (const CandidateRecord &c : all) {
            std::array<int, 4> set = c.parents;
            std::sort(set.begin(), set.end());
            auto [found, fresh] = bestOfSet.try_emplace(set, c);
            if (!fresh && c.mean > found->second.mean)
                found->second = c;
        }
        all.clear();
        for (const auto &[set, c] : bestOfSet)
            all.push_back(c);
        std::sort(all.begin(), all.end(), [](auto &a, auto &b) { return a.order < b.order; });
    }
    std::stable_sort(all.begin(), all.end(), [](auto &a, auto &b) { return a.mean > b.mean; });
    all.resize(std::min(all.size(), options.top));
    for (const CandidateRecord &c : all)
        result.best.push_back({ c.parents, c.mean, c.order });
    std::map<int, std::size_t> counts;
    for (const CandidateRecord &c : all)
        for (const int line : c.parents)
            counts[line] += line != 0;
    for (const auto &[line, count] : counts)
        if (count)
            result.frequencies.push_back({ line, count });
    std::stable_sort(result.frequencies.begin(), result.frequencies.end(),
        [](auto &a, auto &b) { return a.count > b.count; });
    return result;
}

TEST(Ranking, SameAsSortingEverything)
{
    std::mt19937 random(2024);
    for (const HybridKind kind : { HD, HT })
        for (const bool bestPairing : { false, true })
            for (const std::size_t top : { 1u, 3u, 20u, 100000u }) {
                SCOPED_TRACE(::testing::Message() << int(kind) << " K=" << top << bestPairing);
                // Lines from a small set, so that sets of four repeat; means from a few values,
                // so that ties are many; some FALSO.
                std::uniform_int_distribution<int> line(1, 6), mean(-2, 8);
                std::vector<CandidateRecord> all(300);
                for (std::size_t i = 0; i < all.size(); ++i) {
                    CandidateRecord &c = all[i];
                    c.kind = kind;
                    c.parents = { line(random), line(random) + 6, line(random) + 12,
                        kind == HD ? line(random) + 18 : 0 };
                    c.falso = mean(random) < 0;
                    c.mean = c.falso ? 0 : mean(random) * 0.5;
                    c.order = i;
                }
                Ranking ranking(kind, { top, bestPairing });
                for (const CandidateRecord &c : all)
                    ranking.add(c);
                const RankingResult actual = ranking.take({});
                const RankingResult expected = bruteForce(all, { top, bestPairing && kind == HD });
                EXPECT_EQ(actual.candidates, expected.candidates);
                EXPECT_EQ(actual.predicted, expected.predicted);
                ASSERT_EQ(actual.best.size(), expected.best.size());
                for (std::size_t i = 0; i < expected.best.size(); ++i)
                    EXPECT_EQ(actual.best[i].order, expected.best[i].order) << i;
                ASSERT_EQ(actual.frequencies.size(), expected.frequencies.size());
                for (std::size_t i = 0; i < expected.frequencies.size(); ++i) {
                    EXPECT_EQ(actual.frequencies[i].line, expected.frequencies[i].line) << i;
                    EXPECT_EQ(actual.frequencies[i].count, expected.frequencies[i].count) << i;
                }
            }
}

// K is capped at the number of candidates and a kept hybrid costs 32 bytes, so that every
// double cross of 100 lines can be ranked in 376 MB; a K beyond the memory, or 0, is refused.
TEST(Ranking, MemoryOfTheKeptHybridsAndZero)
{
    EXPECT_EQ(Ranking::memoryNeeded({ SIZE_MAX, false }, 11763675), 376437600u);
    EXPECT_EQ(errorOf([] { Ranking::checkMemory({ SIZE_MAX, false }, 11763675, 200000000); }),
        "Guardar os 11.763.675 melhores h\xED"
        "bridos precisaria de cerca de 376,4 MB de mem\xF3ria, mais do que h\xE1 dispon\xEDvel "
        "(200,0 MB). Use um --top menor.");
    EXPECT_EQ(errorOf([] { Ranking::checkMemory({ 20, true }, SIZE_MAX, 4000); }), "no error");
    EXPECT_EQ(errorOf([] { rankReport(ReportDocument(), { 0, false }, kDot); }),
        "O n\xFAmero de melhores h\xED"
        "bridos deve ser maior que zero");
}

// The window ranks the report as the user left it: lines that are no candidate are skipped and
// FALSO lines counted, ties go to the line met first.
TEST(RankReport, SkipsWhatIsNoCandidateAndFalsoLines)
{
    ReportDocument document;
    document.setText("HT (1x2) 3 =>\t5,500\t12,9\t5\t6\r\nFALSO HT (1x3) 2 =>\t0,000\t0,0\t0\t6\r\n"
                     "HT (2x3) 1 =>\t7,000\t0,0\t7\t7\r\na line the user typed\r\n"
                     "HT (1x2) 4 =>\t5,500\t12,9\t6\t5\r\nHibridos possiveis totais= 4\r\n");
    const RankingResult result = rankReport(document, { 2, false }, kComma);
    EXPECT_EQ(result.kind, HT);
    EXPECT_EQ(result.candidates, 4u);
    EXPECT_EQ(result.predicted, 3u);
    ASSERT_EQ(result.best.size(), 2u);
    EXPECT_EQ(hybridName(result.record(0)), "(2x3) 1");
    EXPECT_EQ(hybridName(result.record(1)), "(1x2) 3");
    EXPECT_EQ(result.record(1).values, (std::array<double, 4> { 5, 6 }));
    EXPECT_EQ(rankReport(document, { 50, false }, kComma).best.size(), 3u);
}

} // namespace
