// Ranking: candidate lines read back, the best K against a full sort, the best pairing of each
// set of four lines, and the line frequencies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "error_of.h"
#include "export/ranking.h"
#include "report/report_line.h"
#include "report/report_document.h"
#include "report/report_format.h"

using namespace koravel;

namespace {

const FormatSettings kDot { '.' };
const FormatSettings kComma { ',' };

TEST(ParseCandidateLine, ReadsWhatThePredictionsWrite)
{
    const struct
    {
        const char *name;
        std::string line;
        FormatSettings settings;
        HybridKind kind;
        bool falso;
        std::array<int, 4> parents;
        std::array<double, 4> values;
        double mean;
        double cv; // by hand: sqrt(sum of squared deviations / (count - 1)) / mean * 100
    } rows[] = {
        { "doubleCross", "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75", kDot,
            HybridKind::DoubleCross, false, { 1, 2, 3, 4 }, { 5, 5.5, 4.75, 5.75 }, 5.25,
            8.6940088 },
        { "threeWayComma", "HT (12x3) 40 =>\t5,500\t12,9\t5\t6", kComma, HybridKind::ThreeWayCross,
            false, { 12, 3, 40, 0 }, { 5, 6, 0, 0 }, 5.5, 12.856487 },
        { "falsoDoubleCross", "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t5\t0\t4\t4", kDot,
            HybridKind::DoubleCross, true, { 1, 3, 2, 4 }, { 5, 0, 4, 4 }, 0, 0 },
        { "falsoThreeWay", "FALSO HT (1x2) 3 =>\t0.000\t0.0\t0\t6", kDot, HybridKind::ThreeWayCross,
            true, { 1, 2, 3, 0 }, { 0, 6, 0, 0 }, 0, 0 },
        { "generalFormat", "HT (1x2) 3 =>\t-2.000\t-35.4\t-1.5\t-2.5E0", kDot,
            HybridKind::ThreeWayCross, false, { 1, 2, 3, 0 }, { -1.5, -2.5, 0, 0 }, -2,
            -35.355339 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const auto candidate = readCandidateLine(row.line, row.settings);
        ASSERT_TRUE(candidate.has_value());
        EXPECT_EQ(candidate->kind, row.kind);
        EXPECT_EQ(candidate->falso, row.falso);
        EXPECT_EQ(candidate->parents, row.parents);
        EXPECT_EQ(candidate->values, row.values);
        EXPECT_DOUBLE_EQ(candidate->mean, row.mean);
        EXPECT_NEAR(candidate->cv, row.cv, 1e-6);
        EXPECT_EQ(candidate->order, 0u);
    }
}

TEST(ParseCandidateLine, EverythingElseIsNoCandidate)
{
    const struct
    {
        const char *name;
        std::string line;
        FormatSettings settings;
    } rows[] = {
        { "rule", std::string(reportRule()), kDot },
        { "headings", std::string(headerBlock(HybridKind::DoubleCross)[5]), kDot },
        { "summary", "Hibridos Reais preditos = 3", kDot },
        { "empty", "", kDot },
        { "valueMissing", "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75", kDot },
        { "valueTooMany", "HT (1x2) 3 =>\t5.500\t12.9\t5\t6\t7", kDot },
        { "trailingTab", "HT (1x2) 3 =>\t5.500\t12.9\t5\t6\t", kDot },
        { "emptyValue", "HT (1x2) 3 =>\t5.500\t12.9\t\t6", kDot },
        { "otherSeparator", "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", kComma },
        { "meanNotANumber", "HT (1x2) 3 =>\tx\t12.9\t5\t6", kDot },
        { "leadingZero", "HT (01x2) 3 =>\t5.500\t12.9\t5\t6", kDot },
        { "lineZero", "HT (0x2) 3 =>\t5.500\t12.9\t5\t6", kDot },
        { "signedLine", "HT (+1x2) 3 =>\t5.500\t12.9\t5\t6", kDot },
        { "lineBeyondInt", "HT (1x2) 2147483648 =>\t5.500\t12.9\t5\t6", kDot },
        { "spaceMissing", "HT (1x2)3 =>\t5.500\t12.9\t5\t6", kDot },
        { "lowerCase", "ht (1x2) 3 =>\t5.500\t12.9\t5\t6", kDot },
        { "falsoWithoutZero", "FALSO HT (1x2) 3 =>\t5.500\t12.9\t5\t6", kDot },
        { "zeroWithoutFalso", "HT (1x2) 3 =>\t0.000\t0.0\t0\t6", kDot },
        { "meanZero", "HD (1x2)(3x4) =>\t0.000\t0.0\t1\t-1\t2\t-2", kDot },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(readCandidateLine(row.line, row.settings).has_value());
    }
}

// Whatever the writers put out, the reader gives back: lines, values and the FALSO mark.
TEST(ParseCandidateLine, InverseOfTheWriters)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> line(1, 5000);
    std::uniform_int_distribution<int> hundredths(-100000, 100000);
    for (int round = 0; round < 2000; ++round) {
        const FormatSettings settings = round % 2 ? kComma : kDot;
        std::array<double, 4> values {};
        std::array<std::string, 4> texts;
        for (std::size_t i = 0; i < 4; ++i) {
            values[i] = hundredths(random) / 100.0;
            texts[i] = floatToStr(values[i], settings);
        }
        const bool doubleCross = round % 3 != 0;
        const bool falso = std::find(values.begin(), values.begin() + (doubleCross ? 4 : 2), 0.0)
            != values.begin() + (doubleCross ? 4 : 2);
        const std::array<int, 4> parents { line(random), line(random), line(random),
            doubleCross ? line(random) : 0 };
        std::string text;
        if (doubleCross)
            appendDoubleCrossLine(text, falso, parents[0], parents[1], parents[2], parents[3], 1.5,
                2.5, { texts[0], texts[1], texts[2], texts[3] }, settings);
        else
            appendThreeWayCrossLine(text, falso, parents[0], parents[1], parents[2], 1.5, 2.5,
                { texts[0], texts[1] }, settings);
        SCOPED_TRACE(text);
        const auto candidate = readCandidateLine(text, settings);
        if (!falso
            && std::abs(values[0] + values[1] + (doubleCross ? values[2] + values[3] : 0)) < 1e-9)
            continue; // a mean of 0: the prediction stops there, no line is written
        ASSERT_TRUE(candidate.has_value());
        EXPECT_EQ(candidate->falso, falso);
        EXPECT_EQ(candidate->parents, parents);
        for (std::size_t i = 0; i < (doubleCross ? 4u : 2u); ++i)
            EXPECT_EQ(candidate->values[i], values[i]);
    }
}

TEST(HybridName, BothKinds)
{
    CandidateRecord candidate;
    candidate.parents = { 10, 2, 3, 44 };
    EXPECT_EQ(hybridName(candidate), "(10x2)(3x44)");
    candidate.kind = HybridKind::ThreeWayCross;
    EXPECT_EQ(hybridName(candidate), "(10x2) 3");
}

// The reference: every candidate kept, a stable sort, the first K.
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
            const auto found = bestOfSet.find(set);
            if (found == bestOfSet.end() || c.mean > found->second.mean)
                bestOfSet[set] = c; // candidates arrive in order: the first of equal means stays
        }
        all.clear();
        for (const auto &[set, c] : bestOfSet)
            all.push_back(c);
        std::sort(all.begin(), all.end(),
            [](const CandidateRecord &a, const CandidateRecord &b) { return a.order < b.order; });
    }
    std::stable_sort(all.begin(), all.end(),
        [](const CandidateRecord &a, const CandidateRecord &b) { return a.mean > b.mean; });
    if (all.size() > options.top)
        all.resize(options.top);
    result.best = all;
    std::map<int, std::size_t> counts;
    for (const CandidateRecord &c : all)
        for (std::size_t i = 0; i < 4; ++i)
            if (c.parents[i] != 0)
                ++counts[c.parents[i]];
    std::vector<std::pair<int, std::size_t>> sorted(counts.begin(), counts.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    for (const auto &[line, count] : sorted)
        result.frequencies.push_back({ line, count });
    return result;
}

// Every double cross of lines 1 to n in the prediction's order, means from a few values so
// that ties are many, some FALSO.
std::vector<CandidateRecord> randomDoubleCrosses(int n, std::mt19937 &random)
{
    std::uniform_int_distribution<int> mean(1, 8);
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<CandidateRecord> all;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            for (int k = i + 1; k <= n; ++k)
                for (int l = k + 1; l <= n; ++l) {
                    if (k == j || l == j)
                        continue;
                    CandidateRecord c;
                    c.parents = { i, j, k, l };
                    c.falso = percent(random) < 10;
                    c.mean = c.falso ? 0 : mean(random) * 0.5;
                    c.order = all.size();
                    all.push_back(c);
                }
    return all;
}

std::vector<CandidateRecord> randomThreeWayCrosses(int n, std::mt19937 &random)
{
    std::uniform_int_distribution<int> mean(-3, 3);
    std::vector<CandidateRecord> all;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            for (int k = 1; k <= n; ++k) {
                if (k == i || k == j)
                    continue;
                CandidateRecord c;
                c.kind = HybridKind::ThreeWayCross;
                c.parents = { i, j, k, 0 };
                c.mean = mean(random) * 0.25;
                c.falso = c.mean == 0;
                c.order = all.size();
                all.push_back(c);
            }
    return all;
}

void expectSameRanking(const RankingResult &actual, const RankingResult &expected)
{
    EXPECT_EQ(actual.candidates, expected.candidates);
    EXPECT_EQ(actual.predicted, expected.predicted);
    ASSERT_EQ(actual.best.size(), expected.best.size());
    for (std::size_t i = 0; i < expected.best.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual.best[i].order, expected.best[i].order);
        EXPECT_EQ(actual.best[i].mean, expected.best[i].mean);
    }
    ASSERT_EQ(actual.frequencies.size(), expected.frequencies.size());
    for (std::size_t i = 0; i < expected.frequencies.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual.frequencies[i].line, expected.frequencies[i].line);
        EXPECT_EQ(actual.frequencies[i].count, expected.frequencies[i].count);
    }
}

TEST(Ranking, SameAsSortingEverything)
{
    std::mt19937 random(2024);
    for (const bool doubleCross : { true, false })
        for (const bool bestPairing : { false, true })
            for (const int n : { 4, 5, 9, 13 })
                for (const std::size_t top : { 1u, 3u, 20u, 100000u }) {
                    SCOPED_TRACE(testing::Message()
                        << (doubleCross ? "HD" : "HT") << " n=" << n << " K=" << top
                        << (bestPairing ? " best pairing" : ""));
                    const auto all = doubleCross ? randomDoubleCrosses(n, random)
                                                 : randomThreeWayCrosses(n, random);
                    const RankingOptions options { top, bestPairing };
                    Ranking ranking(all.front().kind, options);
                    for (const CandidateRecord &c : all)
                        ranking.add(c);
                    // Three-way crosses have no pairings to choose from.
                    expectSameRanking(
                        ranking.result(), bruteForce(all, { top, bestPairing && doubleCross }));
                }
}

TEST(Ranking, BestPairingKeepsOnePairingOfASet)
{
    // Lines 1-4 in three pairings; the best of them is the second. Lines 1,2,3,5 come next.
    std::vector<CandidateRecord> all(4);
    all[0].parents = { 1, 2, 3, 4 };
    all[0].mean = 6;
    all[1].parents = { 1, 3, 2, 4 };
    all[1].mean = 9;
    all[2].parents = { 1, 4, 2, 3 };
    all[2].mean = 7;
    all[3].parents = { 1, 2, 3, 5 };
    all[3].mean = 5;
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i].order = i;
    Ranking ranking(HybridKind::DoubleCross, { 2, true });
    for (const CandidateRecord &c : all)
        ranking.add(c);
    const RankingResult result = ranking.result();
    ASSERT_EQ(result.best.size(), 2u);
    EXPECT_EQ(hybridName(result.best[0]), "(1x3)(2x4)");
    EXPECT_EQ(hybridName(result.best[1]), "(1x2)(3x5)");
    // Lines 1, 2 and 3 are in both hybrids; 4 and 5 in one each.
    const std::vector<std::pair<int, std::size_t>> expected { { 1, 2 }, { 2, 2 }, { 3, 2 },
        { 4, 1 }, { 5, 1 } };
    ASSERT_EQ(result.frequencies.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(result.frequencies[i].line, expected[i].first);
        EXPECT_EQ(result.frequencies[i].count, expected[i].second);
    }
}

TEST(Ranking, TopZeroIsRefused)
{
    const std::string message = "O n\xFAmero de melhores h\xED"
                                "bridos deve ser maior que zero";
    EXPECT_EQ(errorOf([] { Ranking(HybridKind::DoubleCross, { 0, false }); }), message);
    EXPECT_EQ(errorOf([] { rankReport(ReportDocument(), { 0, false }, kDot); }), message);
}

TEST(RankReport, SkipsWhatIsNoCandidateAndFalsoLines)
{
    ReportDocument document;
    for (const std::string_view line : headerBlock(HybridKind::ThreeWayCross))
        document.appendLine(line);
    document.appendLine("HT (1x2) 3 =>\t5,500\t12,9\t5\t6");
    document.appendLine("FALSO HT (1x3) 2 =>\t0,000\t0,0\t0\t6");
    document.appendLine("HT (2x3) 1 =>\t7,000\t0,0\t7\t7");
    document.appendLine("a line the user typed");
    document.appendLine("HT (1x2) 4 =>\t5,500\t12,9\t6\t5");
    document.appendLine(reportRule());
    document.appendLine("Hibridos possiveis totais= 4");

    const RankingResult result = rankReport(document, { 2, false }, kComma);
    EXPECT_EQ(result.kind, HybridKind::ThreeWayCross);
    EXPECT_EQ(result.candidates, 4u);
    EXPECT_EQ(result.predicted, 3u);
    ASSERT_EQ(result.best.size(), 2u);
    EXPECT_EQ(hybridName(result.best[0]), "(2x3) 1");
    EXPECT_EQ(result.best[0].order, 2u);
    // Equal means: the one met first.
    EXPECT_EQ(hybridName(result.best[1]), "(1x2) 3");
    EXPECT_EQ(result.best[1].order, 0u);
    EXPECT_DOUBLE_EQ(result.best[1].mean, 5.5);

    // A larger K than there are candidates: all of them.
    EXPECT_EQ(rankReport(document, { 50, false }, kComma).best.size(), 3u);
}

} // namespace
