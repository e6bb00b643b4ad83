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

#include "error_of.h"
#include "fixtures.h"
#include "literal_scan.h"
#include "progress.h"
#include "report/report_line.h"

namespace koravel {
namespace {

    using test::gridOf;
    using test::halfDiallel;
    constexpr HybridKind HD = HybridKind::DoubleCross;
    constexpr HybridKind HT = HybridKind::ThreeWayCross;
    constexpr std::size_t kHeaderLines = 7;
    const std::string kDivision = "Floating point division by zero";

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
        // Blocks of lines, when the run is asked for them, are taken apart into lines.
        std::optional<BlockForm> blockForm() const override { return form; }
        void appendBlock(const LineBlock &block) override
        {
            std::size_t taken = 0;
            for (std::string_view rest = block.text; !rest.empty(); ++taken) {
                const std::size_t end = rest.find("\r\n");
                lines.emplace_back(rest.substr(0, end));
                rest.remove_prefix(std::min(rest.size(), end + 2));
            }
            EXPECT_EQ(taken, block.lines);
            falso += block.falso;
        }

        std::optional<BlockForm> form;
        std::size_t falso = 0;

        std::vector<std::string> log, lines; // log: the clearing and the messages, in order
        std::vector<std::size_t> showsAfter; // the line count at every show()
        std::vector<int> positions; // after every change of the progress bar
        std::string error; // "no error" when the run ends
    };

    struct Request
    {
        HybridKind kind;
        std::string field;
        Reciprocals reciprocals = Reciprocals::Either;
        bool scan = false; // the literal scan instead of the index
        bool check = false; // only the check before a run
        std::optional<BlockForm> blocks = std::nullopt; // the report takes blocks of lines
    };

    Outcome predict(const CellGrid &grid, const Request &request, int startPosition = 0)
    {
        Outcome run;
        run.setPosition(startPosition);
        run.positions.clear();
        run.form = request.blocks;
        const PredictionInput input { grid, request.field, request.reciprocals, {} };
        reference::LiteralScan literal(grid, request.reciprocals, {});
        CrossSource *source = request.scan ? &literal : nullptr;
        ReportLineWriter writer(run, {});
        const bool hd = request.kind == HD;
        run.error = errorOf([&] {
            if (request.check && hd)
                checkDoubleCrosses(input, &run, source);
            else if (request.check)
                checkThreeWayCrosses(input, &run, source);
            else if (hd)
                predictDoubleCrosses(input, writer, run, run, source);
            else
                predictThreeWayCrosses(input, writer, run, run, source);
        });
        return run;
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

        // -5 and -5.0000001: the mean -5.00000005, the CV about -0.0000014, shown without a sign.
        const Outcome tiny =
            predict(gridOf({ { "1", "3", "-5" }, { "2", "3", "-5.0000001" } }), { HT, "3" });
        EXPECT_EQ(tiny.lines.at(kHeaderLines), "HT (1x2) 3 =>\t-5.000\t0.0\t-5\t-5.0000001");
    }

    // Too few lines show the message and run all the same; a maximum below 0 stops the run
    // after the header, and a bad field before anything changes. The check before a run raises
    // the same error and tells the same message.
    TEST(Prediction, SmallAndBadLineCounts)
    {
        const std::string over = "TProgressBar property out of range", ok = "no error";
        const struct
        {
            HybridKind kind;
            const char *field;
            std::string error;
            std::size_t lines; // none when the field is refused, before the message
            int maximum, position;
        } rows[] = {
            { HD, "3", ok, kHeaderLines + 1, 0, 0 },
            { HT, "2", ok, kHeaderLines + 1, 1, 0 },
            { HD, "2", over, kHeaderLines, 100, 7 },
            { HD, "-2147483648", over, kHeaderLines, 100, 7 },
            { HT, "0", over, kHeaderLines, 100, 7 },
            { HD, " 4 ", "' 4 ' is not a valid integer value", 0, 100, 7 },
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(row.field);
            std::vector<std::string> told;
            if (row.lines > 0)
                told = { row.kind == HD ? kMinimumDoubleCrossMessage : kMinimumThreeWayMessage };
            const Outcome run = predict(halfDiallel(4, "5"), { row.kind, row.field }, 7);
            EXPECT_EQ(run.error, row.error);
            std::vector<std::string> log = told;
            if (!told.empty())
                log.push_back("clear");
            EXPECT_EQ(run.log, log);
            EXPECT_EQ(run.lines.size(), row.lines);
            EXPECT_TRUE(run.showsAfter.empty());
            EXPECT_EQ(run.maximum(), row.maximum);
            EXPECT_EQ(run.position(), row.position);
            const Outcome checked = predict(
                halfDiallel(4, "5"), { row.kind, row.field, Reciprocals::Either, false, true });
            EXPECT_EQ(checked.error, row.error);
            EXPECT_EQ(checked.log, told);
        }
    }

    // The candidates written before the error stay, and the rule does not follow them.
    TEST(Prediction, AnErrorStopsTheRunAtItsCandidate)
    {
        const std::string notFloat = " is not a valid floating point value";
        CellGrid badValue = halfDiallel(5, "1");
        badValue.setCell(3, 7, "abc"); // the pair (2, 5), first asked for by (1x2)(3x5)
        const struct
        {
            CellGrid grid;
            HybridKind kind;
            const char *field;
            std::string error;
            std::size_t written;
            int position;
        } rows[] = {
            { badValue, HD, "5", "'abc'" + notFloat, 1, 1 },
            // The single crosses are looked up in the order ik, il, jk, jl: the first bad value
            // met names the error.
            { gridOf(
                  { { "1", "3", "5" }, { "2", "3", "q" }, { "1", "4", "p" }, { "2", "4", "5" } }),
                HD, "4", "'p'" + notFloat, 0, 1 },
            { gridOf({ { "2", "3", "q" }, { "1", "3", "p" } }), HT, "3", "'p'" + notFloat, 0, 1 },
            { gridOf({ { "1", "3", "3" }, { "2", "3", "-3" } }), HT, "3", kDivision, 0, 1 },
            // Every candidate with i = 1 has two values 10; (2x3)(4x5) takes 1, -1, 2 and -2.
            { gridOf({ { "1", "2", "10" }, { "1", "3", "10" }, { "1", "4", "10" },
                  { "1", "5", "10" }, { "2", "3", "3" }, { "2", "4", "1" }, { "2", "5", "-1" },
                  { "3", "4", "2" }, { "3", "5", "-2" }, { "4", "5", "7" } }),
                HD, "5", kDivision, 12, 2 },
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(row.written * 10 + std::size_t(row.kind));
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
            for (const HybridKind kind : { HD, HT }) {
                for (const Reciprocals reciprocals :
                    { Reciprocals::Distinct, Reciprocals::Either }) {
                    SCOPED_TRACE(seed * 10 + int(kind) * 2 + int(reciprocals));
                    const Outcome scan = predict(grid, { kind, "6", reciprocals, true });
                    const Outcome indexed = predict(grid, { kind, "6", reciprocals });
                    EXPECT_EQ(indexed.error, scan.error);
                    EXPECT_EQ(indexed.lines, scan.lines);
                    EXPECT_EQ(indexed.position(), scan.position());
                    for (const bool scanning : { false, true })
                        EXPECT_EQ(predict(grid, { kind, "6", reciprocals, scanning, true }).error,
                            scan.error);
                    errors += scan.error != "no error";
                }
            }
        }
        EXPECT_GT(errors, 10); // some runs stop midway
        EXPECT_LT(errors, 140); // and most run to the end
    }

    // A run whose report takes blocks of lines, formatted on several threads, writes the lines
    // of the run that hands out one candidate at a time (without the FALSO ones when asked),
    // stops at the same candidate with the same error and leaves the progress bar alike: on
    // tables of 30 lines (HD in five blocks) with gaps, zeros, and a bad cell or a pair that
    // divides by zero placed at random.
    TEST(Prediction, BlocksWriteWhatTheRunWritesOneAtATime)
    {
        int errors = 0;
        for (unsigned seed = 1; seed <= 6; ++seed) {
            std::mt19937 random(seed);
            std::vector<test::Row> rows;
            for (int a = 1; a <= 30; ++a) {
                for (int b = a + 1; b <= 30; ++b) {
                    // Quarters, or three decimals of either sign (means near 0, CVs below 0).
                    const auto pick = unsigned(random() % 40);
                    const std::string value = seed > 3
                        ? std::to_string(int(pick % 7) - 2) + "." + std::to_string(random() % 1000)
                        : std::to_string(3 + pick % 7) + ".25";
                    if (pick > 0) // one pair in 40 is missing
                        rows.push_back({ std::to_string(a), std::to_string(b),
                            pick == 1 ? "0" : value });
                }
            }
            // A bad cell, or c x b = -(a x b): the three-way crosses of a, c and b divide by 0.
            test::Row &odd = rows[random() % rows.size()];
            const auto other = std::find_if(rows.begin(), rows.end(), [&](const test::Row &row) {
                return row.b == odd.b && row.a != odd.a && row.value != "0" && odd.value != "0";
            });
            if (seed % 2 == 1)
                odd.value = "x";
            else if (other != rows.end())
                other->value = "-" + odd.value;
            const CellGrid grid = gridOf(rows);
            for (const HybridKind kind : { HD, HT }) {
                for (const Reciprocals reciprocals :
                    { Reciprocals::Distinct, Reciprocals::Either }) {
                    SCOPED_TRACE(seed * 10 + int(kind) * 2 + int(reciprocals));
                    const Outcome one = predict(grid, { kind, "30", reciprocals });
                    errors += one.error != "no error";
                    for (const bool withoutFalso : { false, true }) {
                        const Outcome blocks = predict(grid,
                            { kind, "30", reciprocals, false, false, BlockForm { withoutFalso } });
                        std::vector<std::string> expected = one.lines;
                        const auto falso = std::erase_if(expected, [&](const std::string &line) {
                            return withoutFalso && line.starts_with("FALSO");
                        });
                        EXPECT_EQ(blocks.lines, expected);
                        if (withoutFalso && one.error == "no error") {
                            EXPECT_EQ(blocks.falso, falso);
                        }
                        EXPECT_EQ(blocks.error, one.error);
                        EXPECT_EQ(blocks.position(), one.position());
                        EXPECT_EQ(blocks.maximum(), one.maximum());
                    }
                }
            }
        }
        EXPECT_GE(errors, 12); // every bad cell stops HD and HT, most of the divisions HT
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
        for (const HybridKind kind : { HD, HT }) {
            for (const std::string field : { "9", "12", "1000000" }) {
                SCOPED_TRACE(field);
                EXPECT_EQ(predict(failing, { kind, field, Reciprocals::Either, false, true }).error,
                    kDivision);
                EXPECT_EQ(predict(passing, { kind, field, Reciprocals::Either, false, true }).error,
                    "no error");
                if (field.size() < 3) {
                    EXPECT_EQ(predict(failing, { kind, field }).error, kDivision);
                }
            }
        }
    }

    TEST(CandidateStatistics, HandComputedValuesAndErrors)
    {
        const std::pair<std::vector<double>, std::string> rows[] = {
            { { 5, 5.5, 4.75, 5.75 }, "real 5.25 8.694009" }, // sqrt(0.625/3)/5.25
            { { 5, 6 }, "real 5.5 12.856487" }, // sqrt(0.5) / 5.5 * 100
            { { -5, -6 }, "real -5.5 -12.856487" },
            { { 5, -0.0, 4, 4 }, "FALSO 0 0.000000" },
            { { 1, -1, 2, -2 }, kDivision },
            { { 3, -3 }, kDivision },
            { { 1, -1, 1e-320, 1e-320 }, "Floating point overflow" },
            // Extended precision keeps the squares of tiny and huge values finite.
            { { 1e-200, 3e-200 }, "real 2e-200 70.710678" }, // sqrt(2) / 2 * 100
            { { 1e300, 3e300, 1e300, 3e300 }, "real 2e+300 57.735027" },
        };
        for (const auto &[values, expected] : rows) {
            char text[80] = "";
            const std::string error = errorOf([&] {
                const CandidateStatistics got = candidateStatistics(values);
                std::snprintf(text, sizeof text, "%s %g %.6f", got.falso ? "FALSO" : "real",
                    got.mean, got.cv);
            });
            EXPECT_EQ(error == "no error" ? text : error, expected);
        }
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
            const long double expectedMean = double(sum / values.size());
            for (const double value : values)
                squares += (value - expectedMean) * (value - expectedMean);
            const double cv = double(std::sqrt(squares / (values.size() - 1)) / expectedMean * 100);
            ASSERT_EQ(got.mean, double(expectedMean)) << trial;
            ASSERT_EQ(formatFloat(FixedPattern::OneDecimal, got.cv, {}),
                formatFloat(FixedPattern::OneDecimal, cv, {}))
                << trial;
            nearHalves +=
                std::fabs(std::fabs(cv) * 10 - std::floor(std::fabs(cv) * 10) - 0.5) < 1e-9;
        }
        EXPECT_GT(nearHalves, 5000); // the aimed cases do reach the halves
    }

} // namespace
} // namespace koravel
