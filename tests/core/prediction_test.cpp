// The predictions end to end on small tables: candidate order, lines, FALSO rule, messages,
// progress, the partial report an error leaves, and the index against the literal scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cell_grid.h"
#include "error.h"
#include "lookup.h"
#include "prediction.h"
#include "progress.h"
#include "report_format.h"

namespace koravel {
namespace {

    // The order of what the run did to the report and the messages.
    using EventLog = std::vector<std::string>;

    class FakeReport : public ReportSink
    {
    public:
        explicit FakeReport(EventLog &log)
            : m_log(log)
        {
        }
        void clear() override
        {
            lines.clear();
            m_log.push_back("clear");
        }
        void appendLine(std::string_view line) override { lines.emplace_back(line); }
        void show() override { showsAfter.push_back(lines.size()); }

        std::vector<std::string> lines;
        std::vector<std::size_t> showsAfter; // the line count at every show()

    private:
        EventLog &m_log;
    };

    class FakeMessages : public MessageSink
    {
    public:
        explicit FakeMessages(EventLog &log)
            : m_log(log)
        {
        }
        void information(const std::string &message) override
        {
            m_log.push_back("info:" + message);
        }

    private:
        EventLog &m_log;
    };

    class FakeProgress : public ProgressBar
    {
    public:
        std::vector<std::pair<int, int>> changes; // (maximum, position) after every change

    protected:
        void changed() override { changes.emplace_back(maximum(), position()); }
    };

    struct Outcome
    {
        EventLog log;
        std::vector<std::string> lines;
        std::vector<std::size_t> showsAfter;
        std::string error;
        int position = 0;
        int maximum = 0;
        std::vector<std::pair<int, int>> progressChanges;
    };

    struct RunSpec
    {
        HybridKind kind = HybridKind::DoubleCross;
        std::string field;
        Reciprocals reciprocals = Reciprocals::Either;
        LookupMethod method = LookupMethod::Indexed;
        FormatSettings settings;
        int startPosition = 0;
    };

    Outcome predict(const CellGrid &grid, const RunSpec &run)
    {
        Outcome out;
        FakeReport report(out.log);
        FakeMessages messages(out.log);
        FakeProgress progress;
        progress.setPosition(run.startPosition);
        progress.changes.clear();
        const PredictionInput input { grid, run.field, run.reciprocals, run.settings };
        try {
            if (run.kind == HybridKind::DoubleCross)
                predictDoubleCrosses(input, report, progress, messages, run.method);
            else
                predictThreeWayCrosses(input, report, progress, messages, run.method);
        } catch (const Error &error) {
            out.error = error.message();
        }
        out.lines = report.lines;
        out.showsAfter = report.showsAfter;
        out.position = progress.position();
        out.maximum = progress.maximum();
        out.progressChanges = progress.changes;
        return out;
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

    std::vector<std::string> header(HybridKind kind)
    {
        const auto block = headerBlock(kind);
        return { block.begin(), block.end() };
    }

    std::vector<std::string> document(
        HybridKind kind, const std::vector<std::string> &candidates, bool closed = true)
    {
        std::vector<std::string> lines = header(kind);
        lines.insert(lines.end(), candidates.begin(), candidates.end());
        if (closed)
            lines.emplace_back(128, '-');
        return lines;
    }

    // The parents of every candidate line, up to " =>".
    std::vector<std::string> labels(const std::vector<std::string> &lines)
    {
        std::vector<std::string> out;
        for (std::size_t i = 7; i + 1 < lines.size(); ++i)
            out.push_back(lines[i].substr(0, lines[i].find(" =>")));
        return out;
    }

    const char *const kOverRange = "TProgressBar property out of range";
    const std::string kDoubleMessage = std::string("info:") + kMinimumDoubleCrossMessage;
    const std::string kThreeWayMessage = std::string("info:") + kMinimumThreeWayMessage;

    class Methods : public testing::TestWithParam<LookupMethod>
    {
    protected:
        RunSpec hd(std::string field, Reciprocals reciprocals = Reciprocals::Either) const
        {
            return { HybridKind::DoubleCross, std::move(field), reciprocals, GetParam(), {}, 0 };
        }
        RunSpec ht(std::string field, Reciprocals reciprocals = Reciprocals::Either) const
        {
            return { HybridKind::ThreeWayCross, std::move(field), reciprocals, GetParam(), {}, 0 };
        }
    };

    const CellGrid kFourLines = gridOf({ { "1", "2", "6" }, { "1", "3", "5" }, { "1", "4", "5.5" },
        { "2", "3", "4.75" }, { "2", "4", "5.75" }, { "3", "4", "4" } });

    TEST_P(Methods, DoubleCrossesOfFourLines)
    {
        const Outcome either = predict(kFourLines, hd("4"));
        EXPECT_EQ(either.error, "");
        EXPECT_EQ(either.lines,
            document(HybridKind::DoubleCross,
                { "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
                    "HD (1x3)(2x4) =>\t5.063\t17.3\t6\t5.5\t4.75\t4",
                    "HD (1x4)(2x3) =>\t5.188\t17.3\t6\t5\t5.75\t4" }));
        EXPECT_EQ(either.showsAfter, (std::vector<std::size_t> { 8, 9, 10 }));
        EXPECT_EQ(either.log, EventLog { "clear" });
        EXPECT_EQ(either.maximum, 1);
        EXPECT_EQ(either.position, 0);
        EXPECT_NE(std::find(either.progressChanges.begin(), either.progressChanges.end(),
                      std::make_pair(1, 1)),
            either.progressChanges.end()); // position i = 1 shown while computing

        // With "Sim" the table's reciprocals (3, 2), (4, 2), (4, 3) are missing.
        const Outcome distinct = predict(kFourLines, hd("4", Reciprocals::Distinct));
        EXPECT_EQ(distinct.lines,
            document(HybridKind::DoubleCross,
                { "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
                    "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t6\t5.5\t0\t4",
                    "FALSO HD (1x4)(2x3) =>\t0.000\t0.0\t6\t5\t0\t0" }));
    }

    TEST_P(Methods, EqualNegativeValuesGiveAnUnsignedZeroCv)
    {
        // The CV is -0 with a negative mean; "0.0" carries no sign.
        const Outcome out = predict(halfDiallel(4, "-2.5"), hd("4"));
        EXPECT_EQ(out.lines[7], "HD (1x2)(3x4) =>\t-2.500\t0.0\t-2.5\t-2.5\t-2.5\t-2.5");
        const Outcome three = predict(halfDiallel(3, "-7"), ht("3"));
        EXPECT_EQ(three.lines[7], "HT (1x2) 3 =>\t-7.000\t0.0\t-7\t-7");
    }

    TEST_P(Methods, ThreeWayCrossesOfThreeLines)
    {
        const CellGrid grid = gridOf({ { "1", "2", "4" }, { "1", "3", "5" }, { "2", "3", "6" } });
        const Outcome either = predict(grid, ht("3"));
        EXPECT_EQ(either.error, "");
        EXPECT_EQ(either.lines,
            document(HybridKind::ThreeWayCross,
                { "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "HT (1x3) 2 =>\t5.000\t28.3\t4\t6",
                    "HT (2x3) 1 =>\t4.500\t15.7\t4\t5" }));
        EXPECT_EQ(either.showsAfter, (std::vector<std::size_t> { 8, 9, 10 }));
        EXPECT_EQ(either.maximum, 2);
        EXPECT_EQ(either.position, 0);

        const Outcome distinct = predict(grid, ht("3", Reciprocals::Distinct));
        EXPECT_EQ(distinct.lines,
            document(HybridKind::ThreeWayCross,
                { "HT (1x2) 3 =>\t5.500\t12.9\t5\t6", "FALSO HT (1x3) 2 =>\t0.000\t0.0\t4\t0",
                    "FALSO HT (2x3) 1 =>\t0.000\t0.0\t0\t0" }));

        // The decimal separator reaches the cells and the report alike.
        const CellGrid comma = gridOf({ { "1", "3", "5,0" }, { "2", "3", "6" } });
        RunSpec run = ht("3");
        run.settings = { ',' };
        EXPECT_EQ(predict(comma, run).lines[7], "HT (1x2) 3 =>\t5,500\t12,9\t5\t6");
    }

    TEST_P(Methods, CandidateOrder)
    {
        const Outcome hd5 = predict(halfDiallel(5, "1"), hd("5"));
        EXPECT_EQ(labels(hd5.lines),
            (std::vector<std::string> { "HD (1x2)(3x4)", "HD (1x2)(3x5)", "HD (1x2)(4x5)",
                "HD (1x3)(2x4)", "HD (1x3)(2x5)", "HD (1x3)(4x5)", "HD (1x4)(2x3)", "HD (1x4)(2x5)",
                "HD (1x4)(3x5)", "HD (1x5)(2x3)", "HD (1x5)(2x4)", "HD (1x5)(3x4)", "HD (2x3)(4x5)",
                "HD (2x4)(3x5)", "HD (2x5)(3x4)" }));
        EXPECT_EQ(hd5.lines[7], "HD (1x2)(3x4) =>\t1.000\t0.0\t1\t1\t1\t1");
        EXPECT_EQ(hd5.lines.size(), 23u);

        const Outcome ht4 = predict(halfDiallel(4, "2"), ht("4"));
        EXPECT_EQ(labels(ht4.lines),
            (std::vector<std::string> { "HT (1x2) 3", "HT (1x2) 4", "HT (1x3) 2", "HT (1x3) 4",
                "HT (1x4) 2", "HT (1x4) 3", "HT (2x3) 1", "HT (2x3) 4", "HT (2x4) 1", "HT (2x4) 3",
                "HT (3x4) 1", "HT (3x4) 2" }));
        // The position shows i = 1, then 2, then 3, and ends at 0.
        std::vector<int> shown;
        for (const auto &change : ht4.progressChanges) {
            if (change.second != 0
                && std::find(shown.begin(), shown.end(), change.second) == shown.end())
                shown.push_back(change.second);
        }
        EXPECT_EQ(shown, (std::vector<int> { 1, 2, 3 }));
        EXPECT_EQ(ht4.maximum, 3);
        EXPECT_EQ(ht4.position, 0);
    }

    TEST_P(Methods, TooFewLinesShowTheMessageThenRunAllTheSame)
    {
        const Outcome hd3 = predict(kFourLines, hd("3"));
        EXPECT_EQ(hd3.error, "");
        EXPECT_EQ(hd3.log, (EventLog { kDoubleMessage, "clear" }));
        EXPECT_EQ(hd3.lines, document(HybridKind::DoubleCross, {}));
        EXPECT_TRUE(hd3.showsAfter.empty());

        // n = 2 has no three-way candidate, but its loops run: the position ends at 0.
        RunSpec run = ht("2");
        run.startPosition = 1;
        const Outcome ht2 = predict(kFourLines, run);
        EXPECT_EQ(ht2.error, "");
        EXPECT_EQ(ht2.log, (EventLog { kThreeWayMessage, "clear" }));
        EXPECT_EQ(ht2.lines, document(HybridKind::ThreeWayCross, {}));
        EXPECT_TRUE(ht2.showsAfter.empty());
        EXPECT_EQ(ht2.maximum, 1);
        EXPECT_EQ(ht2.position, 0);
    }

    TEST_P(Methods, ProgressRefusesTheMaximumForSmallN)
    {
        const struct
        {
            const char *field;
            HybridKind kind;
        } refused[] = {
            { "0", HybridKind::DoubleCross },
            { "2", HybridKind::DoubleCross },
            { "-2147483648", HybridKind::DoubleCross },
            { "0", HybridKind::ThreeWayCross },
            { "-2147483648", HybridKind::ThreeWayCross },
        };
        for (const auto &c : refused) {
            SCOPED_TRACE(c.field);
            RunSpec run = c.kind == HybridKind::DoubleCross ? hd(c.field) : ht(c.field);
            run.startPosition = 7;
            const Outcome out = predict(kFourLines, run);
            EXPECT_EQ(out.error, kOverRange);
            EXPECT_EQ(out.log,
                (EventLog { c.kind == HybridKind::DoubleCross ? kDoubleMessage : kThreeWayMessage,
                    "clear" }));
            EXPECT_EQ(out.lines, header(c.kind)); // no closing rule
            EXPECT_EQ(out.maximum, 100);
            EXPECT_EQ(out.position, 7);
        }
    }

    TEST_P(Methods, BadFieldChangesNothing)
    {
        for (const char *field : { " 4 ", "", "4.0", "abc" }) {
            SCOPED_TRACE(field);
            const Outcome out = predict(kFourLines, hd(field));
            EXPECT_EQ(out.error, "'" + std::string(field) + "' is not a valid integer value");
            EXPECT_TRUE(out.log.empty());
            EXPECT_TRUE(out.progressChanges.empty());
        }
    }

    TEST_P(Methods, ErrorsMidRunLeaveThePartialReport)
    {
        auto withRow = [](std::vector<std::array<std::string, 3>> rows) { return gridOf(rows); };
        std::vector<std::array<std::string, 3>> badValue;
        std::vector<std::array<std::string, 3>> badParent;
        for (int a = 1; a <= 5; ++a) {
            for (int b = a + 1; b <= 5; ++b) {
                const std::string sa = std::to_string(a), sb = std::to_string(b);
                badValue.push_back({ sa, sb, a == 2 && b == 5 ? "abc" : "1" });
                badParent.push_back({ sa, a == 3 && b == 4 ? "x" : sb, "1" });
            }
        }
        const std::string oneLine = "HD (1x2)(3x4) =>\t1.000\t0.0\t1\t1\t1\t1";
        const struct
        {
            const char *name;
            CellGrid grid;
            RunSpec run;
            std::string error;
            std::vector<std::string> lines;
            int position;
        } errorCases[] = {
            // (1x2)(3x5) is the first candidate to ask for (2, 5).
            { "bad value", withRow(badValue), hd("5", Reciprocals::Distinct),
                "'abc' is not a valid floating point value", { oneLine }, 1 },
            // (1x3)(2x4) is the first to ask for a pair whose parent A is 3.
            { "bad parent B", withRow(badParent), hd("5", Reciprocals::Distinct),
                "'x' is not a valid integer value",
                { oneLine, "HD (1x2)(3x5) =>\t1.000\t0.0\t1\t1\t1\t1",
                    "HD (1x2)(4x5) =>\t1.000\t0.0\t1\t1\t1\t1" },
                1 },
            // (1x2)(3x4) asks for 1, -1 and two tiny values: the mean is near 0, the CV too big.
            { "CV beyond the double range",
                gridOf({ { "1", "3", "1" }, { "1", "4", "-1" }, { "2", "3", "1e-320" },
                    { "2", "4", "1e-320" } }),
                hd("4"), "Floating point overflow", {}, 1 },
            // The four single crosses are looked up in the order ik, il, jk, jl: the first bad
            // value met names the error.
            { "first of two bad values",
                gridOf(
                    { { "1", "3", "5" }, { "2", "3", "q" }, { "1", "4", "p" }, { "2", "4", "5" } }),
                hd("4"), "'p' is not a valid floating point value", {}, 1 },
            { "first of two bad values, three-way",
                gridOf({ { "2", "3", "q" }, { "1", "3", "p" } }), ht("3"),
                "'p' is not a valid floating point value", {}, 1 },
            { "three-way mean 0", gridOf({ { "1", "3", "3" }, { "2", "3", "-3" } }), ht("3"),
                "Floating point division by zero", {}, 1 },
        };
        for (const auto &c : errorCases) {
            SCOPED_TRACE(c.name);
            const Outcome out = predict(c.grid, c.run);
            EXPECT_EQ(out.error, c.error);
            EXPECT_EQ(out.lines, document(c.run.kind, c.lines, false));
            EXPECT_EQ(out.position, c.position);
        }
    }

    TEST_P(Methods, DivisionByZeroInTheSecondRoundOfI)
    {
        // Every candidate with i = 1 has two values 10 and stays positive; (2x3)(4x5) takes
        // 1, -1, 2 and -2, whose mean is exactly 0.
        const CellGrid grid = gridOf({ { "1", "2", "10" }, { "1", "3", "10" }, { "1", "4", "10" },
            { "1", "5", "10" }, { "2", "3", "3" }, { "2", "4", "1" }, { "2", "5", "-1" },
            { "3", "4", "2" }, { "3", "5", "-2" }, { "4", "5", "7" } });
        const Outcome out = predict(grid, hd("5"));
        EXPECT_EQ(out.error, "Floating point division by zero");
        EXPECT_EQ(out.lines.size(), 7u + 12u);
        EXPECT_EQ(out.lines.back().substr(0, 16), "HD (1x5)(3x4) =>");
        EXPECT_EQ(out.position, 2);
        EXPECT_EQ(out.showsAfter.size(), 12u);
    }

    INSTANTIATE_TEST_SUITE_P(BothLookups, Methods,
        testing::Values(LookupMethod::Indexed, LookupMethod::LiteralScan),
        [](const testing::TestParamInfo<LookupMethod> &param) {
            return param.param == LookupMethod::Indexed ? std::string("Indexed")
                                                        : std::string("LiteralScan");
        });

    // Random tables with reciprocals, duplicates, zeros and the odd bad cell: the index must
    // write the very same bytes, raise the same error and leave the same progress.
    TEST(PredictionMethods, IndexWritesTheSameReportAsTheScan)
    {
        const std::vector<std::string> values { "5", "0", "-2.5", "1e-400", "4.75", "1E3", "0.1",
            "-0", "7" };
        const std::vector<std::string> bad { "", "x", "1,5", "1e400" };
        int errors = 0;
        for (unsigned seed = 1; seed <= 60; ++seed) {
            std::mt19937 random(seed);
            auto pick = [&](int high) {
                return std::uniform_int_distribution<int>(0, high)(random);
            };
            std::vector<std::array<std::string, 3>> rows;
            const int count = 10 + pick(40);
            for (int r = 0; r < count; ++r) {
                std::array<std::string, 3> row { std::to_string(1 + pick(7)),
                    std::to_string(1 + pick(7)),
                    values[std::size_t(pick(int(values.size()) - 1))] };
                if (pick(150) == 0)
                    row[std::size_t(pick(2))] = bad[std::size_t(pick(int(bad.size()) - 1))];
                rows.push_back(row);
            }
            const CellGrid grid = gridOf(rows);
            for (const HybridKind kind : { HybridKind::DoubleCross, HybridKind::ThreeWayCross }) {
                for (const Reciprocals reciprocals :
                    { Reciprocals::Distinct, Reciprocals::Either }) {
                    SCOPED_TRACE(testing::Message() << "seed " << seed << " kind " << int(kind)
                                                    << " reciprocals " << int(reciprocals));
                    RunSpec run { kind, "6", reciprocals, LookupMethod::LiteralScan, {}, 0 };
                    const Outcome scan = predict(grid, run);
                    run.method = LookupMethod::Indexed;
                    const Outcome indexed = predict(grid, run);
                    EXPECT_EQ(indexed.error, scan.error);
                    EXPECT_EQ(indexed.lines, scan.lines);
                    EXPECT_EQ(indexed.showsAfter, scan.showsAfter);
                    EXPECT_EQ(indexed.position, scan.position);
                    errors += !scan.error.empty();
                }
            }
        }
        EXPECT_GT(errors, 10); // some runs stop midway
        EXPECT_LT(errors, 200); // and most run to the end
    }

    TEST(PredictionCheck, RaisesWhatTheRunWouldRaiseAndWritesNothing)
    {
        class Messages : public MessageSink
        {
        public:
            void information(const std::string &message) override { received.push_back(message); }
            std::vector<std::string> received;
        };
        const CellGrid badCell = gridOf({ { "1", "3", "5" }, { "1", "4", "abc" } });
        const struct
        {
            const char *name;
            const CellGrid &grid;
            HybridKind kind;
            const char *field;
            std::string error;
        } checks[] = {
            { "good table", kFourLines, HybridKind::DoubleCross, "4", "" },
            { "too few lines", kFourLines, HybridKind::DoubleCross, "3", "" },
            { "bad field", kFourLines, HybridKind::ThreeWayCross, "x",
                "'x' is not a valid integer value" },
            { "progress maximum", kFourLines, HybridKind::DoubleCross, "2", kOverRange },
            { "bad cell", badCell, HybridKind::DoubleCross, "4",
                "'abc' is not a valid floating point value" },
            { "bad cell, three-way", badCell, HybridKind::ThreeWayCross, "4",
                "'abc' is not a valid floating point value" },
        };
        for (const auto &c : checks) {
            for (const LookupMethod method : { LookupMethod::Indexed, LookupMethod::LiteralScan }) {
                SCOPED_TRACE(c.name);
                const PredictionInput input { c.grid, c.field, Reciprocals::Either, {} };
                Messages messages;
                std::string error;
                try {
                    if (c.kind == HybridKind::DoubleCross)
                        checkDoubleCrosses(input, &messages, method);
                    else
                        checkThreeWayCrosses(input, &messages, method);
                } catch (const Error &raised) {
                    error = raised.message();
                }
                EXPECT_EQ(error, c.error);
                // The run raises the same.
                const Outcome run =
                    predict(c.grid, { c.kind, c.field, Reciprocals::Either, method, {}, 0 });
                EXPECT_EQ(run.error, c.error);
                const bool fewLines = std::string(c.field) == "3" || std::string(c.field) == "2";
                EXPECT_EQ(messages.received.size(), fewLines ? 1u : 0u);
            }
        }
    }

} // namespace
} // namespace koravel

namespace koravel {
namespace {

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

    TEST(CandidateStatistics, HandComputedValues)
    {
        const std::vector<double> hd { 5, 5.5, 4.75, 5.75 };
        const CandidateStatistics four = candidateStatistics(hd);
        EXPECT_FALSE(four.falso);
        EXPECT_EQ(four.mean, 5.25);
        EXPECT_NEAR(four.cv, 8.694009, 1e-6); // sqrt(0.625 / 3) / 5.25 * 100
        const std::vector<double> ht { 5, 6 };
        const CandidateStatistics two = candidateStatistics(ht);
        EXPECT_EQ(two.mean, 5.5);
        EXPECT_NEAR(two.cv, 12.856487, 1e-6); // sqrt(0.5) / 5.5 * 100
        const std::vector<double> negative { -5, -6 };
        EXPECT_NEAR(candidateStatistics(negative).cv, -12.856487, 1e-6);
        const std::vector<double> withZero { 5, -0.0, 4, 4 };
        const CandidateStatistics falso = candidateStatistics(withZero);
        EXPECT_TRUE(falso.falso);
        EXPECT_EQ(falso.mean, 0.0);
        EXPECT_EQ(falso.cv, 0.0);
    }

    TEST(CandidateStatistics, ErrorsAndExtremes)
    {
        auto message = [](std::vector<double> values) {
            try {
                candidateStatistics(values);
            } catch (const Error &error) {
                return error.message();
            }
            return std::string();
        };
        EXPECT_EQ(message({ 1, -1, 2, -2 }), "Floating point division by zero");
        EXPECT_EQ(message({ 3, -3 }), "Floating point division by zero");
        EXPECT_EQ(message({ 1, -1, 1e-320, 1e-320 }), "Floating point overflow");
        // Extended precision keeps the squares of tiny and huge values finite.
        const std::vector<double> tiny { 1e-200, 3e-200 };
        EXPECT_NEAR(candidateStatistics(tiny).cv, 70.710678, 1e-5); // sqrt(2e-400) / 2e-200
        const std::vector<double> huge { 1e300, 3e300, 1e300, 3e300 };
        EXPECT_NEAR(candidateStatistics(huge).cv, 57.735027, 1e-5); // sqrt(4 / 3) / 2 * 100
    }

} // namespace
} // namespace koravel

namespace koravel {
namespace {

    std::vector<std::string> tabFields(const std::string &line)
    {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        return fields;
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
                char text[40];
                std::snprintf(text, sizeof text, "%.17g", value);
                std::string cell = text;
                std::replace(cell.begin(), cell.end(), '.', ',');
                rows.push_back({ std::to_string(a), std::to_string(b), cell });
                values[{ a, b }] = roundToDouble(strToFloat(cell, settings));
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
            for (const HybridKind kind : { HybridKind::DoubleCross, HybridKind::ThreeWayCross }) {
                RunSpec run { kind, "6", Reciprocals::Distinct, LookupMethod::Indexed, settings,
                    0 };
                const Outcome out = predict(grid, run);
                ASSERT_EQ(out.error, "");
                for (std::size_t n = 7; n + 1 < out.lines.size(); ++n) {
                    const std::string &line = out.lines[n];
                    SCOPED_TRACE(line);
                    int i, j, k, l = 0;
                    std::vector<double> cross;
                    if (kind == HybridKind::DoubleCross) {
                        ASSERT_EQ(
                            std::sscanf(line.c_str(), "%*[^(](%dx%d)(%dx%d)", &i, &j, &k, &l), 4);
                        cross = { values[{ i, k }], values[{ i, l }], values[{ j, k }],
                            values[{ j, l }] };
                    } else {
                        ASSERT_EQ(std::sscanf(line.c_str(), "%*[^(](%dx%d) %d", &i, &j, &k), 3);
                        cross = { values[{ i, k }], values[{ j, k }] };
                    }
                    long double sum = cross[0];
                    for (std::size_t v = 1; v < cross.size(); ++v)
                        sum += cross[v];
                    const double mean = double(sum / static_cast<long double>(cross.size()));
                    const double cv = referenceCv(cross, mean);
                    const auto fields = tabFields(line);
                    EXPECT_EQ(fields[1], formatFloat(FixedPattern::ThreeDecimals, mean, settings));
                    EXPECT_EQ(fields[2], formatFloat(FixedPattern::OneDecimal, cv, settings));
                    const double scaled = std::fabs(cv) * 10;
                    aimed += std::fabs(scaled - std::floor(scaled) - 0.5) < 1e-9;
                }
            }
        }
        EXPECT_GE(aimed, 30);
    }

} // namespace
} // namespace koravel
