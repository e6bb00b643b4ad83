// The session: the decimal choice, and which report is the last one when a run stops.
#include "session.h"

#include "error_of.h"
#include "fixtures.h"
#include "progress.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace koravel {
namespace {

    struct Recorder : ReportSink, MessageSink, ProgressBar
    {
        std::vector<std::string> lines;
        void clear() override { lines.clear(); }
        void appendLine(std::string_view line) override { lines.emplace_back(line); }
        void information(const std::string &) override { }
    };

    TEST(Session, DecimalChoiceGivesTheSeparator)
    {
        const std::tuple<DecimalChoice, char, char> rows[] = {
            { DecimalChoice::Regional, ',', ',' }, { DecimalChoice::Regional, '.', '.' },
            { DecimalChoice::Point, ',', '.' }, { DecimalChoice::Comma, '.', ',' }
        };
        for (const auto &[choice, regional, expected] : rows) {
            SCOPED_TRACE(int(choice) * 256 + regional);
            Session session('?');
            session.setDecimalChoice(choice);
            session.setRegionalSeparator(regional); // a change of the system's settings
            EXPECT_EQ(session.formatSettings().decimalSeparator, expected);
            EXPECT_EQ(session.predictionInput().settings.decimalSeparator, expected);
        }
    }

    // The table has 1 x 3 and 3 x 2: the three-way (1x2) 3 needs 2 x 3, found only when
    // reciprocals are one cross.
    Session sessionWithTable(const char *value13)
    {
        Session session(',');
        session.grid() = test::gridOf({ { "1", "3", value13 }, { "3", "2", "4" } });
        session.setLines("3");
        return session;
    }

    TEST(Session, ARunReadsTheTableTheFieldTheOptionAndTheSeparator)
    {
        const std::tuple<Reciprocals, DecimalChoice, const char *, const char *> rows[] = {
            { Reciprocals::Either, DecimalChoice::Regional, "5,5",
                "HT (1x2) 3 =>\t4,750\t22,3\t5,5\t4" },
            { Reciprocals::Either, DecimalChoice::Point, "5.5",
                "HT (1x2) 3 =>\t4.750\t22.3\t5.5\t4" },
            { Reciprocals::Distinct, DecimalChoice::Regional, "5,5",
                "FALSO HT (1x2) 3 =>\t0,000\t0,0\t5,5\t0" },
        };
        for (const auto &[reciprocals, choice, value13, line7] : rows) {
            SCOPED_TRACE(line7);
            Session session = sessionWithTable(value13);
            session.setReciprocals(reciprocals);
            session.setDecimalChoice(choice);
            Recorder run;
            session.predict(HybridKind::ThreeWayCross, run, run, run);
            ASSERT_EQ(run.lines.size(), 8u + 3u); // header, (1x2)3 (1x3)2 (2x3)1, rule
            EXPECT_EQ(run.lines[7], line7);
        }
    }

    // A second run after a double-cross report with commas: the last report is the second's
    // (a point) only when the second cleared the report.
    TEST(Session, TheLastReportIsTheOneARunCleared)
    {
        const std::tuple<HybridKind, const char *, const char *, bool> rows[] = {
            { HybridKind::ThreeWayCross, "3", "no error", true },
            // A bad field is refused before clearing.
            { HybridKind::ThreeWayCross, "x", "'x' is not a valid integer value", false },
            // Too few lines: cleared, then refused by the progress bar.
            { HybridKind::DoubleCross, "2", "TProgressBar property out of range", true },
        };
        for (const auto &[kind, lines, error, secondOwnsReport] : rows) {
            SCOPED_TRACE(lines);
            Session session = sessionWithTable("5");
            Recorder run;
            session.predict(HybridKind::DoubleCross, run, run, run);
            session.setDecimalChoice(DecimalChoice::Point);
            session.setLines(lines);
            EXPECT_EQ(errorOf([&] { session.predict(kind, run, run, run); }), error);
            EXPECT_EQ(
                session.lastReport()->kind, secondOwnsReport ? kind : HybridKind::DoubleCross);
            EXPECT_EQ(
                session.lastReport()->settings.decimalSeparator, secondOwnsReport ? '.' : ',');
        }
    }

} // namespace
} // namespace koravel
