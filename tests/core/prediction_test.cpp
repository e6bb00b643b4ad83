// The predictions end to end on small tables: candidate order, lines, FALSO rule, messages,
// progress, the partial report an error leaves, and the index against the literal scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "table/cell_grid.h"
#include "numtext/error.h"
#include "prediction/lookup.h"
#include "prediction/prediction.h"
#include "progress.h"
#include "literal_scan.h"
#include "report/report_format.h"
#include "report/report_line.h"

namespace koravel {
namespace {

    constexpr HybridKind HD = HybridKind::DoubleCross;
    constexpr HybridKind HT = HybridKind::ThreeWayCross;
    using Lines = std::vector<std::string>;

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
        void information(const std::string &message) override { log.push_back("info:" + message); }
        void changed() override { positions.push_back(position()); }

        Lines log; // the clearing of the report and the messages, in order
        Lines lines;
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
        FormatSettings settings = {};
        int startPosition = 0;
    };

    Outcome predict(const CellGrid &grid, const Request &request)
    {
        Outcome run;
        run.setPosition(request.startPosition);
        run.positions.clear();
        const PredictionInput input { grid, request.field, request.reciprocals, request.settings };
        reference::LiteralScan literal(grid, request.reciprocals, request.settings);
        CrossSource *source = request.scan ? &literal : nullptr;
        ReportLineWriter writer(run, request.settings);
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

    // What the check before a run raises; its messages go to the log of messages.
    std::string check(const CellGrid &grid, const Request &request, Outcome &messages)
    {
        const PredictionInput input { grid, request.field, request.reciprocals, request.settings };
        reference::LiteralScan literal(grid, request.reciprocals, request.settings);
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

    // Rows of (parent A, parent B, value) text.
    CellGrid gridOf(const std::vector<std::array<std::string, 3>> &rows)
    {
        CellGrid grid;
        grid.setRowCount(int(rows.size()) + 1);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < 3; ++c)
                grid.setCell(c + 1, int(r) + 1, rows[r][std::size_t(c)]);
        }
        return grid;
    }

    // Every pair a < b of 1..n once, smaller parent first, with the same value.
    CellGrid halfDiallel(int n, const std::string &value)
    {
        std::vector<std::array<std::string, 3>> rows;
        for (int a = 1; a <= n; ++a) {
            for (int b = a + 1; b <= n; ++b)
                rows.push_back({ std::to_string(a), std::to_string(b), value });
        }
        return gridOf(rows);
    }

    // The header block, the candidate lines and, unless an error stopped the run, the rule.
    Lines document(HybridKind kind, const Lines &candidates, bool closed = true)
    {
        const auto block = headerBlock(kind);
        Lines lines(block.begin(), block.end());
        lines.insert(lines.end(), candidates.begin(), candidates.end());
        if (closed)
            lines.emplace_back(128, '-');
        return lines;
    }

    const char *const kOverRange = "TProgressBar property out of range";
    const std::string kDoubleMessage = std::string("info:") + kMinimumDoubleCrossMessage;
    const std::string kThreeWayMessage = std::string("info:") + kMinimumThreeWayMessage;
    const CellGrid kFourLines = gridOf({ { "1", "2", "6" }, { "1", "3", "5" }, { "1", "4", "5.5" },
        { "2", "3", "4.75" }, { "2", "4", "5.75" }, { "3", "4", "4" } });

    TEST(Prediction, DoubleCrossesOfFourLines)
    {
        const Outcome either = predict(kFourLines, { HD, "4" });
        EXPECT_EQ(either.error, "");
        EXPECT_EQ(either.lines,
            document(HD,
                { "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
                    "HD (1x3)(2x4) =>\t5.063\t17.3\t6\t5.5\t4.75\t4",
                    "HD (1x4)(2x3) =>\t5.188\t17.3\t6\t5\t5.75\t4" }));
        EXPECT_EQ(either.showsAfter, (std::vector<std::size_t> { 8, 9, 10 }));
        EXPECT_EQ(either.log, Lines { "clear" });
        EXPECT_EQ(either.maximum(), 1);
        EXPECT_EQ(either.positions, (std::vector<int> { 0, 1, 0 })); // i = 1 shown while computing

        // With "Sim" the table's reciprocals (3, 2), (4, 2), (4, 3) are missing.
        EXPECT_EQ(predict(kFourLines, { HD, "4", Reciprocals::Distinct }).lines,
            document(HD,
                { "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
                    "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t4",
                    "FALSO HD (1x4)(2x3) =>\t0.000\t0.0\t6\t5\t0\t0" }));
    }

    TEST(Prediction, ThreeWayCrossesOfThreeLines)
    {
        const CellGrid grid = gridOf({ { "1", "2", "4" }, { "1", "3", "5" }, { "2", "3", "6" } });
        const Outcome either = predict(grid, { HT, "3" });
        EXPECT_EQ(either.error, "");
        EXPECT_EQ(either.lines,
            document(HT,
                { "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "HT (1x3) 2 =>\t5.000\t28.3\t4\t6",
                    "HT (2x3) 1 =>\t4.500\t15.7\t4\t5" }));
        EXPECT_EQ(either.showsAfter, (std::vector<std::size_t> { 8, 9, 10 }));
        EXPECT_EQ(either.maximum(), 2);

        EXPECT_EQ(predict(grid, { HT, "3", Reciprocals::Distinct }).lines,
            document(HT,
                { "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "FALSO HT (1x3) 2 =>\t0.000\t0.0\t4\t0",
                    "FALSO HT (2x3) 1 =>\t0.000\t0.0\t0\t0" }));

        // The decimal separator reaches the cells and the report alike.
        const CellGrid comma = gridOf({ { "1", "3", "5,0" }, { "2", "3", "6" } });
        EXPECT_EQ(predict(comma, { HT, "3", Reciprocals::Either, false, { ',' } })
                      .lines[7],
            "HT (1x2) 3 =>\t5,500\t12,9\t5\t6");
    }

    TEST(Prediction, CandidateOrder)
    {
        // The parents of every candidate line, up to " =>".
        auto labels = [](const Lines &lines) {
            Lines out;
            for (std::size_t i = 7; i + 1 < lines.size(); ++i)
                out.push_back(lines[i].substr(0, lines[i].find(" =>")));
            return out;
        };
        EXPECT_EQ(labels(predict(halfDiallel(5, "1"), { HD, "5" }).lines),
            (Lines { "HD (1x2)(3x4)", "HD (1x2)(3x5)", "HD (1x2)(4x5)", "HD (1x3)(2x4)",
                "HD (1x3)(2x5)", "HD (1x3)(4x5)", "HD (1x4)(2x3)", "HD (1x4)(2x5)", "HD (1x4)(3x5)",
                "HD (1x5)(2x3)", "HD (1x5)(2x4)", "HD (1x5)(3x4)", "HD (2x3)(4x5)", "HD (2x4)(3x5)",
                "HD (2x5)(3x4)" }));

        const Outcome ht4 = predict(halfDiallel(4, "2"), { HT, "4" });
        EXPECT_EQ(labels(ht4.lines),
            (Lines { "HT (1x2) 3", "HT (1x2) 4", "HT (1x3) 2", "HT (1x3) 4", "HT (1x4) 2",
                "HT (1x4) 3", "HT (2x3) 1", "HT (2x3) 4", "HT (2x4) 1", "HT (2x4) 3", "HT (3x4) 1",
                "HT (3x4) 2" }));
        EXPECT_EQ(ht4.lines[7], "HT (1x2) 3 =>\t2.000\t0.0\t2\t2");
        // The position shows i = 1, then 2, then 3, and ends at 0.
        std::vector<int> shown;
        std::unique_copy(ht4.positions.begin(), ht4.positions.end(), std::back_inserter(shown));
        EXPECT_EQ(shown, (std::vector<int> { 0, 1, 2, 3, 0 }));
        EXPECT_EQ(ht4.maximum(), 3);
    }

    // Too few lines show the message and run all the same; a maximum below 0 stops the run
    // after the header, and a bad field before anything changes. The check before a run raises
    // the same error and gives the same message.
    TEST(Prediction, SmallAndBadLineCounts)
    {
        const Lines doubleLog { kDoubleMessage, "clear" },
            threeWayLog { kThreeWayMessage, "clear" };
        const struct
        {
            HybridKind kind;
            const char *field;
            std::string error;
            Lines log, lines;
            int maximum, position;
        } rows[] = {
            { HD, "3", "", doubleLog, document(HD, {}), 0, 0 },
            { HT, "2", "", threeWayLog, document(HT, {}), 1, 0 },
            { HD, "2", kOverRange, doubleLog, document(HD, {}, false), 100, 7 },
            { HD, "-2147483648", kOverRange, doubleLog, document(HD, {}, false), 100, 7 },
            { HT, "0", kOverRange, threeWayLog, document(HT, {}, false), 100, 7 },
            { HD, " 4 ", "' 4 ' is not a valid integer value", {}, {}, 100, 7 },
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(row.field);
            const Request request { row.kind, row.field, Reciprocals::Either, false,
                {}, 7 };
            const Outcome run = predict(kFourLines, request);
            EXPECT_EQ(run.error, row.error);
            Outcome checked;
            EXPECT_EQ(check(kFourLines, request, checked), row.error);
            EXPECT_EQ(checked.log, row.log.empty() ? Lines {} : Lines { row.log[0] });
            EXPECT_EQ(run.log, row.log);
            EXPECT_EQ(run.lines, row.lines);
            EXPECT_TRUE(run.showsAfter.empty());
            EXPECT_EQ(run.maximum(), row.maximum);
            EXPECT_EQ(run.position(), row.position);
        }
    }

    TEST(Prediction, ErrorsMidRunLeaveThePartialReport)
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
            Lines lines;
        } rows[] = {
            { "bad value", badValue, HD, "5", "'abc' is not a valid floating point value",
                { "HD (1x2)(3x4) =>\t1.000\t0.0\t1\t1\t1\t1" } },
            // The single crosses are looked up in the order ik, il, jk, jl: the first bad value
            // met names the error.
            { "first of two bad values",
                gridOf(
                    { { "1", "3", "5" }, { "2", "3", "q" }, { "1", "4", "p" }, { "2", "4", "5" } }),
                HD, "4", "'p' is not a valid floating point value", {} },
            { "first of two bad values, three-way",
                gridOf({ { "2", "3", "q" }, { "1", "3", "p" } }), HT, "3",
                "'p' is not a valid floating point value", {} },
            { "three-way mean 0", gridOf({ { "1", "3", "3" }, { "2", "3", "-3" } }), HT, "3",
                "Floating point division by zero", {} },
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(row.name);
            const Outcome run = predict(row.grid, { row.kind, row.field, Reciprocals::Distinct });
            EXPECT_EQ(run.error, row.error);
            EXPECT_EQ(run.lines, document(row.kind, row.lines, false));
            EXPECT_EQ(run.position(), 1);
        }

        // Every candidate with i = 1 has two values 10 and stays positive; (2x3)(4x5) takes
        // 1, -1, 2 and -2, whose mean is exactly 0.
        const Outcome second = predict(
            gridOf({ { "1", "2", "10" }, { "1", "3", "10" }, { "1", "4", "10" }, { "1", "5", "10" },
                { "2", "3", "3" }, { "2", "4", "1" }, { "2", "5", "-1" }, { "3", "4", "2" },
                { "3", "5", "-2" }, { "4", "5", "7" } }),
            { HD, "5" });
        EXPECT_EQ(second.error, "Floating point division by zero");
        EXPECT_EQ(second.lines.size(), 7u + 12u);
        EXPECT_EQ(second.lines.back().substr(0, 16), "HD (1x5)(3x4) =>");
        EXPECT_EQ(second.position(), 2);
    }

    // Random tables with reciprocals, duplicates, zeros and the odd bad cell: the index must
    // write the very same bytes, raise the same error and leave the same progress as the scan.
    TEST(PredictionMethods, IndexWritesTheSameReportAsTheScan)
    {
        const std::vector<std::string> values { "5", "0", "-2.5", "1e-400", "4.75", "1E3", "0.1",
            "-0", "7" };
        const std::vector<std::string> bad { "", "x", "1,5", "1e400" };
        int errors = 0;
        for (unsigned seed = 1; seed <= 60; ++seed) {
            std::mt19937 random(seed);
            auto pick = [&](std::size_t high) {
                return std::uniform_int_distribution<std::size_t>(0, high)(random);
            };
            std::vector<std::array<std::string, 3>> rows(10 + pick(40));
            for (auto &row : rows) {
                row = { std::to_string(1 + pick(7)), std::to_string(1 + pick(7)),
                    values[pick(values.size() - 1)] };
                if (pick(150) == 0)
                    row[pick(2)] = bad[pick(bad.size() - 1)];
            }
            const CellGrid grid = gridOf(rows);
            for (const HybridKind kind : { HD, HT }) {
                for (const Reciprocals reciprocals :
                    { Reciprocals::Distinct, Reciprocals::Either }) {
                    SCOPED_TRACE(testing::Message() << "seed " << seed << " kind " << int(kind)
                                                    << " reciprocals " << int(reciprocals));
                    const Outcome scan =
                        predict(grid, { kind, "6", reciprocals, true });
                    const Outcome indexed = predict(grid, { kind, "6", reciprocals });
                    EXPECT_EQ(indexed.error, scan.error);
                    EXPECT_EQ(indexed.lines, scan.lines);
                    EXPECT_EQ(indexed.showsAfter, scan.showsAfter);
                    EXPECT_EQ(indexed.position(), scan.position());
                    errors += !scan.error.empty();
                    // The check before a run raises the same, by either method.
                    Outcome messages;
                    EXPECT_EQ(check(grid, { kind, "6", reciprocals }, messages), scan.error);
                    EXPECT_EQ(check(grid, { kind, "6", reciprocals, true },
                                  messages),
                        scan.error);
                }
            }
        }
        EXPECT_GT(errors, 10); // some runs stop midway
        EXPECT_LT(errors, 200); // and most run to the end
    }

    // When every cell converts, a check computes only the candidates of the table's lines: a
    // large n with a small table is checked at once (walking every combination of a million
    // lines would never end), and with gaps between the lines the first failure is still the
    // one the run meets. HD (2x5)(7x9) reads 1, -1, 2, -2 and HT (7x9) 2 reads 1, -1.
    TEST(PredictionCheck, LargeLineCountsWithASmallTable)
    {
        std::vector<std::array<std::string, 3>> rows { { "2", "5", "3" }, { "2", "7", "1" },
            { "2", "9", "-1" }, { "5", "7", "2" }, { "5", "9", "-2" }, { "7", "9", "4" } };
        const CellGrid failing = gridOf(rows);
        rows[2][2] = "6";
        rows[4][2] = "5";
        const CellGrid passing = gridOf(rows);
        const std::string kDivision = "Floating point division by zero";
        for (const HybridKind kind : { HD, HT }) {
            for (const std::string field : { "9", "12", "1000000" }) {
                SCOPED_TRACE(testing::Message() << "kind " << int(kind) << " n " << field);
                Outcome messages;
                const Request request { kind, field, Reciprocals::Either };
                EXPECT_EQ(check(failing, request, messages), kDivision);
                EXPECT_EQ(check(passing, request, messages), "");
                if (field.size() > 2)
                    continue;
                Request scan = request;
                scan.scan = true;
                EXPECT_EQ(check(failing, scan, messages), kDivision);
                EXPECT_EQ(predict(failing, request).error, kDivision);
            }
        }
    }

    TEST(CandidateStatistics, HandComputedValuesAndErrors)
    {
        auto statistics = [](std::vector<double> values) {
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
        EXPECT_EQ(
            statistics({ 5, 5.5, 4.75, 5.75 }), "real 5.25 8.694009"); // sqrt(0.625 / 3) / 5.25
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

    // The CV written out plainly in extended precision, as a reference for whole report lines.
    double referenceCv(const std::vector<double> &values, double mean)
    {
        long double squares = 0.0L;
        for (const double value : values) {
            const long double deviation = value - static_cast<long double>(mean);
            squares += deviation * deviation;
        }
        const long double count = static_cast<long double>(values.size());
        return double(std::sqrt(squares / (count - 1)) / mean * 100.0L);
    }

    // CVs aimed next to a half of a tenth, where a CV computed with doubles could print
    // otherwise than the extended rule, and random ones.
    TEST(CandidateStatistics, PrintsAsTheExtendedRuleNextToHalves)
    {
        std::mt19937 random(1010);
        std::uniform_int_distribution<int> hundredths(100, 99999);
        std::uniform_int_distribution<int> tenths(0, 400);
        const FormatSettings settings;
        int nearHalves = 0;
        for (int trial = 0; trial < 100000; ++trial) {
            const double mean = hundredths(random) / 100.0;
            // m + 3d, m - d, m - d, m - d: the CV is 200 d / m, aimed at k + 0.05.
            const double d = mean * (tenths(random) / 10.0 + 0.05) / 200.0;
            const std::vector<double> values = trial % 2 == 0
                ? std::vector<double> { mean + 3 * d, mean - d, mean - d, mean - d }
                : std::vector<double> { hundredths(random) / 100.0, -hundredths(random) / 1000.0 };
            const CandidateStatistics got = candidateStatistics(values);
            const double expected = referenceCv(values, got.mean);
            ASSERT_EQ(formatFloat(FixedPattern::OneDecimal, got.cv, settings),
                formatFloat(FixedPattern::OneDecimal, expected, settings))
                << "trial " << trial;
            const double scaled = std::fabs(expected) * 10;
            nearHalves += std::fabs(scaled - std::floor(scaled) - 0.5) < 1e-9;
        }
        EXPECT_GT(nearHalves, 5000); // the aimed cases do reach the halves
    }

    // Every line's mean and CV against the rule computed plainly from the table's values:
    // random tables, negative values, and CVs aimed next to a half of a tenth.
    TEST(PredictionLines, MeanAndCvPrintAsTheExactRule)
    {
        const FormatSettings settings { ',' };
        int aimed = 0;
        for (unsigned seed = 1; seed <= 40; ++seed) {
            std::mt19937 random(seed);
            std::uniform_int_distribution<int> hundredths(1, 2000);
            // Positive values and some negative ones that no sum of four can cancel exactly.
            auto randomValue = [&] {
                const double value = hundredths(random) / (seed % 3 == 0 ? 7.0 : 100.0);
                return hundredths(random) % 5 == 0 ? -value / 4 - 0.003 : value;
            };
            std::map<std::pair<int, int>, double> values;
            std::vector<std::array<std::string, 3>> rows;
            auto put = [&](int a, int b, double value) {
                char text[40]; // 17 digits read back as the very same double
                std::snprintf(text, sizeof text, "%.17g", value);
                std::string cell = text;
                std::replace(cell.begin(), cell.end(), '.', ',');
                rows.push_back({ std::to_string(a), std::to_string(b), cell });
                values[{ a, b }] = value;
            };
            // (1x2)(3x4) asks for (1,3), (1,4), (2,3), (2,4): m + 3d, m - d, m - d, m - d has
            // the CV 200 d / m, aimed at k + 0.05.
            const double m = 1 + hundredths(random) / 100.0 + 6;
            const double d = m * (double(seed % 37) + 0.05) / 200.0;
            put(1, 3, m + 3 * d);
            put(1, 4, m - d);
            put(2, 3, m - d);
            put(2, 4, m - d);
            for (int a = 1; a <= 6; ++a) {
                for (int b = 1; b <= 6; ++b) {
                    if (a != b && !values.count({ a, b }))
                        put(a, b, randomValue());
                }
            }
            const CellGrid grid = gridOf(rows);
            for (const HybridKind kind : { HD, HT }) {
                const Outcome run = predict(
                    grid, { kind, "6", Reciprocals::Distinct, false, settings });
                ASSERT_EQ(run.error, "");
                for (std::size_t n = 7; n + 1 < run.lines.size(); ++n) {
                    const std::string &line = run.lines[n];
                    SCOPED_TRACE(line);
                    int i, j, k, l = 0;
                    std::vector<double> cross;
                    if (kind == HD) {
                        ASSERT_EQ(
                            std::sscanf(line.c_str(), "%*[^(](%dx%d)(%dx%d)", &i, &j, &k, &l), 4);
                        cross = { values[{ i, k }], values[{ i, l }], values[{ j, k }],
                            values[{ j, l }] };
                    } else {
                        ASSERT_EQ(std::sscanf(line.c_str(), "%*[^(](%dx%d) %d", &i, &j, &k), 3);
                        cross = { values[{ i, k }], values[{ j, k }] };
                    }
                    long double sum = 0;
                    for (const double value : cross)
                        sum += value;
                    const double mean = double(sum / static_cast<long double>(cross.size()));
                    const double cv = referenceCv(cross, mean);
                    EXPECT_NE(
                        line.find("=>\t" + formatFloat(FixedPattern::ThreeDecimals, mean, settings)
                            + "\t" + formatFloat(FixedPattern::OneDecimal, cv, settings) + "\t"),
                        std::string::npos);
                    const double scaled = std::fabs(cv) * 10;
                    aimed += std::fabs(scaled - std::floor(scaled) - 0.5) < 1e-9;
                }
            }
        }
        EXPECT_GE(aimed, 30);
    }

} // namespace
} // namespace koravel
