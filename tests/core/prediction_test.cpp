// What the golden reports cannot show of a prediction: the progress bar, the showing of the
// report, the messages, the error at the right candidate, the check before a streamed run
// agreeing with the run, the index agreeing with the literal scan on tables with gaps and
// errors, and the statistics next to the halves where the extended rule decides the print.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>

#include "fixtures.h"
#include "literal_scan.h"
#include "numtext/error.h"
#include "progress.h"
#include "report/report_line.h"

namespace koravel {
namespace {

    using test::gridOf;
    constexpr HybridKind HD = HybridKind::DoubleCross;
    constexpr HybridKind HT = HybridKind::ThreeWayCross;
    constexpr std::size_t kHeaderLines = 7;

    // Everything a run does to the report, the messages and the progress bar.
    struct Outcome : ReportSink, MessageSink, ProgressBar
    {
        void clear() override
        {
            lines.clear();
            log.push_back("clear");
        }
        void appendLine(std::string_view line) override { lines.emplace_back(line); }
        void show() override { showsAfter.push_back(lines.size()); }
        void information(const std::string &message) override { log.push_back(message); }
        void changed() override { positions.push_back(position()); }

        std::vector<std::string> log, lines; // log: the clearing and the messages, in order
        std::vector<std::size_t> showsAfter; // the line count at every show()
        std::vector<int> positions; // after every change of the progress bar
        std::string error;
    };

    struct Request
    {
        HybridKind kind;
        std::string field;
        Reciprocals reciprocals = Reciprocals::Either;
        bool scan = false; // the literal scan instead of the index
    };

    Outcome predict(const CellGrid &grid, const Request &request, int startPosition = 0)
    {
        Outcome run;
        run.setPosition(startPosition);
        run.positions.clear();
        const PredictionInput input { grid, request.field, request.reciprocals, {} };
        reference::LiteralScan literal(grid, request.reciprocals, {});
        ReportLineWriter writer(run, {});
        CrossSource *source = request.scan ? &literal : nullptr;
        try {
            if (request.kind == HD)
                predictDoubleCrosses(input, writer, run, run, source);
            else
                predictThreeWayCrosses(input, writer, run, run, source);
        } catch (const Error &error) {
            run.error = error.message();
        }
        return run;
    }

    // What the check before a run raises ("" for nothing); its messages go to messages.
    std::string check(const CellGrid &grid, const Request &request, Outcome &messages)
    {
        const PredictionInput input { grid, request.field, request.reciprocals, {} };
        reference::LiteralScan literal(grid, request.reciprocals, {});
        CrossSource *source = request.scan ? &literal : nullptr;
        try {
            if (request.kind == HD)
                checkDoubleCrosses(input, &messages, source);
            else
                checkThreeWayCrosses(input, &messages, source);
        } catch (const Error &error) {
            return error.message();
        }
        return "";
    }

    // Every pair a < b of 1..n once, smaller parent first, with the same value.
    CellGrid halfDiallel(int n, const std::string &value)
    {
        std::vector<test::Row> rows;
        for (int a = 1; a <= n; ++a)
            for (int b = a + 1; b <= n; ++b)
                rows.push_back({ std::to_string(a), std::to_string(b), value });
        return gridOf(rows);
    }

    TEST(Prediction, ProgressAndShowingAsTheRunGoes)
    {
        const Outcome hd = predict(halfDiallel(4, "2"), { HD, "4" });
        EXPECT_EQ(hd.log, std::vector<std::string> { "clear" });
        EXPECT_EQ(hd.showsAfter, (std::vector<std::size_t> { 8, 9, 10 })); // after each candidate
        EXPECT_EQ(hd.maximum(), 1); // n - 3
        EXPECT_EQ(hd.positions, (std::vector<int> { 0, 1, 0 })); // i = 1 shown while computing

        const Outcome ht = predict(halfDiallel(4, "2"), { HT, "4" });
        EXPECT_EQ(ht.maximum(), 3); // n - 1
        std::vector<int> shown;
        std::unique_copy(ht.positions.begin(), ht.positions.end(), std::back_inserter(shown));
        EXPECT_EQ(shown, (std::vector<int> { 0, 1, 2, 3, 0 }));
        EXPECT_EQ(ht.lines.size(), kHeaderLines + 12 + 1);
    }

    // -5 and -5.0000001: the mean -5.00000005, the CV about -0.0000014, shown without a sign.
    TEST(Prediction, ATinyNegativeCvPrintsWithoutASign)
    {
        const Outcome run =
            predict(gridOf({ { "1", "3", "-5" }, { "2", "3", "-5.0000001" } }), { HT, "3" });
        EXPECT_EQ(run.lines.at(kHeaderLines), "HT (1x2) 3 =>\t-5.000\t0.0\t-5\t-5.0000001");
    }

    // Too few lines show the message and run all the same; a maximum below 0 stops the run
    // after the header, and a bad field before anything changes. The check before a run raises
    // the same error and tells the same message.
    TEST(Prediction, SmallAndBadLineCounts)
    {
        const std::string over = "TProgressBar property out of range";
        const std::string hd = kMinimumDoubleCrossMessage, ht = kMinimumThreeWayMessage;
        const struct
        {
            HybridKind kind;
            const char *field;
            std::string error, message;
            std::size_t lines;
            int maximum, position;
        } rows[] = {
            { HD, "3", "", hd, kHeaderLines + 1, 0, 0 },
            { HT, "2", "", ht, kHeaderLines + 1, 1, 0 },
            { HD, "2", over, hd, kHeaderLines, 100, 7 },
            { HD, "-2147483648", over, hd, kHeaderLines, 100, 7 },
            { HT, "0", over, ht, kHeaderLines, 100, 7 },
            { HD, " 4 ", "' 4 ' is not a valid integer value", "", 0, 100, 7 },
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(row.field);
            const Outcome run = predict(halfDiallel(4, "5"), { row.kind, row.field }, 7);
            EXPECT_EQ(run.error, row.error);
            const std::vector<std::string> told = row.message.empty()
                ? std::vector<std::string> {}
                : std::vector<std::string> { row.message };
            std::vector<std::string> log = told;
            if (!row.message.empty())
                log.push_back("clear");
            EXPECT_EQ(run.log, log);
            EXPECT_EQ(run.lines.size(), row.lines);
            EXPECT_TRUE(run.showsAfter.empty());
            EXPECT_EQ(run.maximum(), row.maximum);
            EXPECT_EQ(run.position(), row.position);
            Outcome checked;
            EXPECT_EQ(check(halfDiallel(4, "5"), { row.kind, row.field }, checked), row.error);
            EXPECT_EQ(checked.log, told);
        }
    }

    // The candidates written before the error stay, and the rule does not follow them.
    TEST(Prediction, AnErrorStopsTheRunAtItsCandidate)
    {
        CellGrid badValue = halfDiallel(5, "1");
        badValue.setCell(3, 7, "abc"); // the pair (2, 5), first asked for by (1x2)(3x5)
        const struct
        {
            const char *name;
            CellGrid grid;
            HybridKind kind;
            const char *field;
            std::string error;
            std::size_t written;
            int position;
        } rows[] = {
            { "bad value", badValue, HD, "5", "'abc' is not a valid floating point value", 1, 1 },
            // The single crosses are looked up in the order ik, il, jk, jl: the first bad value
            // met names the error.
            { "first of two bad values",
                gridOf(
                    { { "1", "3", "5" }, { "2", "3", "q" }, { "1", "4", "p" }, { "2", "4", "5" } }),
                HD, "4", "'p' is not a valid floating point value", 0, 1 },
            { "first of two bad values, three-way",
                gridOf({ { "2", "3", "q" }, { "1", "3", "p" } }), HT, "3",
                "'p' is not a valid floating point value", 0, 1 },
            { "three-way mean 0", gridOf({ { "1", "3", "3" }, { "2", "3", "-3" } }), HT, "3",
                "Floating point division by zero", 0, 1 },
            // Every candidate with i = 1 has two values 10; (2x3)(4x5) takes 1, -1, 2 and -2.
            { "mean 0 at i = 2",
                gridOf({ { "1", "2", "10" }, { "1", "3", "10" }, { "1", "4", "10" },
                    { "1", "5", "10" }, { "2", "3", "3" }, { "2", "4", "1" }, { "2", "5", "-1" },
                    { "3", "4", "2" }, { "3", "5", "-2" }, { "4", "5", "7" } }),
                HD, "5", "Floating point division by zero", 12, 2 },
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(row.name);
            const Outcome run = predict(row.grid, { row.kind, row.field, Reciprocals::Distinct });
            EXPECT_EQ(run.error, row.error);
            EXPECT_EQ(run.lines.size(), kHeaderLines + row.written);
            EXPECT_EQ(run.position(), row.position);
        }
    }

    // Random tables with reciprocals, duplicates, zeros and the odd bad cell: the index writes
    // the very bytes of the scan and stops where it stops; the check raises what the run raises.
    TEST(Prediction, IndexAndCheckAgreeWithTheScan)
    {
        const std::vector<std::string> values { "5", "0", "-2.5", "1e-400", "4.75", "1E3", "0.1",
            "-0", "7" };
        const std::vector<std::string> bad { "", "x", "1,5", "1e400" };
        int errors = 0;
        for (unsigned seed = 1; seed <= 40; ++seed) {
            std::mt19937 random(seed);
            const auto pick = [&](std::size_t high) { return std::size_t(random() % (high + 1)); };
            std::vector<test::Row> rows(10 + pick(40));
            for (auto &row : rows) {
                row = { std::to_string(1 + pick(7)), std::to_string(1 + pick(7)),
                    values[pick(values.size() - 1)] };
                if (pick(150) == 0)
                    (pick(1) ? row.a : row.value) = bad[pick(bad.size() - 1)];
            }
            const CellGrid grid = gridOf(rows);
            for (const Request &request :
                { Request { HD, "6", Reciprocals::Distinct }, Request { HD, "6" },
                    Request { HT, "6", Reciprocals::Distinct }, Request { HT, "6" } }) {
                SCOPED_TRACE(testing::Message() << "seed " << seed << " kind " << int(request.kind)
                                                << " reciprocals " << int(request.reciprocals));
                Request scanning = request;
                scanning.scan = true;
                const Outcome scan = predict(grid, scanning);
                const Outcome indexed = predict(grid, request);
                EXPECT_EQ(indexed.error, scan.error);
                EXPECT_EQ(indexed.lines, scan.lines);
                EXPECT_EQ(indexed.position(), scan.position());
                Outcome messages;
                EXPECT_EQ(check(grid, request, messages), scan.error);
                EXPECT_EQ(check(grid, scanning, messages), scan.error);
                errors += !scan.error.empty();
            }
        }
        EXPECT_GT(errors, 10); // some runs stop midway
        EXPECT_LT(errors, 140); // and most run to the end
    }

    // When every cell converts, a check computes only the candidates of the table's lines: a
    // large n with a small table is checked at once, and with gaps between the lines the first
    // failure is still the one the run meets. HD (2x5)(7x9) reads 1, -1, 2, -2 and HT (7x9) 2
    // reads 1, -1.
    TEST(Prediction, CheckOfLargeLineCountsWithASmallTable)
    {
        std::vector<test::Row> rows { { "2", "5", "3" }, { "2", "7", "1" }, { "2", "9", "-1" },
            { "5", "7", "2" }, { "5", "9", "-2" }, { "7", "9", "4" } };
        const CellGrid failing = gridOf(rows);
        rows[2].value = "6";
        rows[4].value = "5";
        const CellGrid passing = gridOf(rows);
        const std::string division = "Floating point division by zero";
        for (const HybridKind kind : { HD, HT }) {
            for (const std::string field : { "9", "12", "1000000" }) {
                SCOPED_TRACE(testing::Message() << "kind " << int(kind) << " n " << field);
                Outcome messages;
                EXPECT_EQ(check(failing, { kind, field }, messages), division);
                EXPECT_EQ(check(passing, { kind, field }, messages), "");
                if (field.size() < 3) {
                    EXPECT_EQ(predict(failing, { kind, field }).error, division);
                }
            }
        }
    }

    TEST(CandidateStatistics, HandComputedValuesAndErrors)
    {
        const auto statistics = [](std::vector<double> values) {
            try {
                const CandidateStatistics got = candidateStatistics(values);
                char text[80];
                std::snprintf(text, sizeof text, "%s %g %.6f", got.falso ? "FALSO" : "real",
                    got.mean, got.cv);
                return std::string(text);
            } catch (const Error &error) {
                return error.message();
            }
        };
        EXPECT_EQ(statistics({ 5, 5.5, 4.75, 5.75 }), "real 5.25 8.694009"); // sqrt(0.625/3)/5.25
        EXPECT_EQ(statistics({ 5, 6 }), "real 5.5 12.856487"); // sqrt(0.5) / 5.5 * 100
        EXPECT_EQ(statistics({ -5, -6 }), "real -5.5 -12.856487");
        EXPECT_EQ(statistics({ 5, -0.0, 4, 4 }), "FALSO 0 0.000000");
        EXPECT_EQ(statistics({ 1, -1, 2, -2 }), "Floating point division by zero");
        EXPECT_EQ(statistics({ 3, -3 }), "Floating point division by zero");
        EXPECT_EQ(statistics({ 1, -1, 1e-320, 1e-320 }), "Floating point overflow");
        // Extended precision keeps the squares of tiny and huge values finite.
        EXPECT_EQ(statistics({ 1e-200, 3e-200 }), "real 2e-200 70.710678"); // sqrt(2) / 2 * 100
        EXPECT_EQ(statistics({ 1e300, 3e300, 1e300, 3e300 }), "real 2e+300 57.735027");
    }

    // CVs aimed next to a half of a tenth, where a CV computed with doubles could print
    // otherwise than the rule written plainly in extended precision, and random ones.
    TEST(CandidateStatistics, PrintsAsTheExtendedRuleNextToHalves)
    {
        std::mt19937 random(1010);
        const auto hundredths = [&] { return double(100 + random() % 99900) / 100.0; };
        int nearHalves = 0;
        for (int trial = 0; trial < 100000; ++trial) {
            const double mean = hundredths();
            // m + 3d, m - d, m - d, m - d: the CV is 200 d / m, aimed at k + 0.05.
            const double d = mean * (double(random() % 401) / 10.0 + 0.05) / 200.0;
            const std::vector<double> values = trial % 2 == 0
                ? std::vector<double> { mean + 3 * d, mean - d, mean - d, mean - d }
                : std::vector<double> { hundredths(), -hundredths() / 10 };
            const CandidateStatistics got = candidateStatistics(values);
            long double sum = 0, squares = 0;
            for (const double value : values)
                sum += value;
            const double expectedMean = double(sum / values.size());
            for (const double value : values)
                squares +=
                    (value - (long double)expectedMean) * (value - (long double)expectedMean);
            const double cv = double(std::sqrt(squares / (values.size() - 1)) / expectedMean * 100);
            ASSERT_EQ(got.mean, expectedMean) << "trial " << trial;
            ASSERT_EQ(formatFloat(FixedPattern::OneDecimal, got.cv, {}),
                formatFloat(FixedPattern::OneDecimal, cv, {}))
                << "trial " << trial;
            nearHalves +=
                std::fabs(std::fabs(cv) * 10 - std::floor(std::fabs(cv) * 10) - 0.5) < 1e-9;
        }
        EXPECT_GT(nearHalves, 5000); // the aimed cases do reach the halves
    }

} // namespace
} // namespace koravel
