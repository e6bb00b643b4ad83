// The session: the decimal choice, and which report is the last one when a run stops.
#include "session.h"

#include "error_of.h"
#include "fixtures.h"
#include "progress.h"

#include <gtest/gtest.h>

#include <string>
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
        struct Row
        {
            DecimalChoice choice;
            char regional;
            char expected;
        };
        for (const Row row : std::vector<Row> { { DecimalChoice::Regional, ',', ',' },
                 { DecimalChoice::Regional, '.', '.' }, { DecimalChoice::Point, ',', '.' },
                 { DecimalChoice::Comma, '.', ',' } }) {
            SCOPED_TRACE(int(row.choice) * 256 + row.regional);
            Session session('?');
            session.setDecimalChoice(row.choice);
            session.setRegionalSeparator(row.regional); // a change of the system's settings
            EXPECT_EQ(session.formatSettings().decimalSeparator, row.expected);
            EXPECT_EQ(session.predictionInput().settings.decimalSeparator, row.expected);
        }
    }

    TEST(Session, StartsAsTheMainWindowShowsIt)
    {
        const Session session(',');
        EXPECT_EQ(session.grid().cell(3, 0), "PRODU\xC7\xC3O");
        EXPECT_EQ(session.grid().rowCount(), 2);
        EXPECT_EQ(session.lines().text(), "0");
        EXPECT_EQ(session.reciprocals(), Reciprocals::Distinct);
        EXPECT_FALSE(session.lastReport());
    }

    // The table has 1 x 3 and 3 x 2: the three-way (1x2) 3 needs 2 x 3, found only when
    // reciprocals are one cross.
    Session sessionWithTable(const char *value13 = "5,5")
    {
        Session session(',');
        session.grid() = test::gridOf({ { "1", "3", value13 }, { "3", "2", "4" } });
        return session;
    }

    TEST(Session, ARunReadsTheTableTheFieldTheOptionAndTheSeparator)
    {
        struct Row
        {
            Reciprocals reciprocals;
            DecimalChoice choice;
            const char *value13;
            const char *line7;
        };
        for (const Row row : std::vector<Row> {
                 { Reciprocals::Either, DecimalChoice::Regional, "5,5",
                     "HT (1x2) 3 =>\t4,750\t22,3\t5,5\t4" },
                 { Reciprocals::Either, DecimalChoice::Point, "5.5",
                     "HT (1x2) 3 =>\t4.750\t22.3\t5.5\t4" },
                 { Reciprocals::Distinct, DecimalChoice::Regional, "5,5",
                     "FALSO HT (1x2) 3 =>\t0,000\t0,0\t5,5\t0" },
             }) {
            SCOPED_TRACE(row.line7);
            Session session = sessionWithTable(row.value13);
            session.setLines("3");
            session.setReciprocals(row.reciprocals);
            session.setDecimalChoice(row.choice);
            Recorder run;
            session.predict(HybridKind::ThreeWayCross, run, run, run);
            ASSERT_EQ(run.lines.size(), 8u + 3u); // header, (1x2)3 (1x3)2 (2x3)1, rule
            EXPECT_EQ(run.lines[7], row.line7);
        }
    }

    TEST(Session, TheLastReportIsTheOneARunCleared)
    {
        struct Row
        {
            const char *name;
            HybridKind kind;
            const char *lines;
            const char *error; // of the second run
            bool secondOwnsReport;
        };
        for (const Row row : std::vector<Row> {
                 { "written", HybridKind::ThreeWayCross, "3", "no error", true },
                 { "bad field, refused before clearing", HybridKind::ThreeWayCross, "x",
                     "'x' is not a valid integer value", false },
                 { "too few lines, cleared, then refused by the progress bar",
                     HybridKind::DoubleCross, "2", "TProgressBar property out of range", true },
             }) {
            SCOPED_TRACE(row.name);
            Session session = sessionWithTable("5");
            session.setLines("3");
            Recorder run;
            session.predict(HybridKind::DoubleCross, run, run, run);
            ASSERT_EQ(session.lastReport()->kind, HybridKind::DoubleCross);
            ASSERT_EQ(session.lastReport()->settings.decimalSeparator, ',');

            session.setDecimalChoice(DecimalChoice::Point);
            session.setLines(row.lines);
            EXPECT_EQ(errorOf([&] { session.predict(row.kind, run, run, run); }), row.error);
            const HybridKind kind = row.secondOwnsReport ? row.kind : HybridKind::DoubleCross;
            const char separator = row.secondOwnsReport ? '.' : ',';
            EXPECT_EQ(session.lastReport()->kind, kind);
            EXPECT_EQ(session.lastReport()->settings.decimalSeparator, separator);
        }
    }

} // namespace
} // namespace koravel
