// The lookups of a single cross by its parents: the literal scan and the index, held to the same
// answers, tie-break and errors on hand-made tables.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "cell_grid.h"
#include "error.h"
#include "lookup.h"
#include "single_cross_index.h"

namespace koravel {
namespace {

    struct Row
    {
        std::string a, b, value;
    };

    CellGrid gridOf(const std::vector<Row> &rows)
    {
        CellGrid grid;
        grid.setRowCount(int(rows.size()) + 1);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            grid.setCell(1, int(r) + 1, rows[r].a);
            grid.setCell(2, int(r) + 1, rows[r].b);
            grid.setCell(3, int(r) + 1, rows[r].value);
        }
        return grid;
    }

    // What a call gives: its answer, or the message of the error it raises.
    struct Outcome
    {
        std::string existsError;
        bool exists = false;
        std::string valueError;
        double value = 0.0;
    };

    enum class Method { Scan, Index };

    Outcome ask(Method method, const CellGrid &grid, Reciprocals reciprocals, int a, int b,
        FormatSettings settings = {})
    {
        Outcome out;
        SingleCrossIndex index(grid, reciprocals, settings);
        try {
            out.exists = method == Method::Scan ? ExisteHS(a, b, grid, reciprocals, settings)
                                                : index.exists(a, b);
        } catch (const Error &error) {
            out.existsError = error.message();
        }
        try {
            out.value = method == Method::Scan ? ValorHS(a, b, grid, reciprocals, settings)
                                               : index.value(a, b);
        } catch (const Error &error) {
            out.valueError = error.message();
        }
        return out;
    }

    struct Case
    {
        const char *name;
        std::vector<Row> rows;
        Reciprocals reciprocals;
        int a, b;
        Outcome expected;
    };

    const std::vector<Row> kTiedRows {
        { "1", "1", "1" },
        { "1", "4", "2" },
        { "2", "5", "7.5" },
        { "3", "3", "3" },
        { "3", "4", "3" },
        { "4", "4", "3" },
        { "4", "1", "3" },
        { "6", "6", "3" },
        { "5", "2", "8" },
    };

    const std::string kEmptyInteger = "'' is not a valid integer value";

    std::vector<Case> cases()
    {
        constexpr auto D = Reciprocals::Distinct;
        constexpr auto E = Reciprocals::Either;
        return {
            { "no data rows", {}, E, 1, 2, { "", false, "", 0.0 } },
            { "order matters with Sim", { { "5", "2", "3.5" } }, D, 2, 5, { "", false, "", 0.0 } },
            { "given order with Sim", { { "5", "2", "3.5" } }, D, 5, 2, { "", true, "", 3.5 } },
            { "reciprocal with Nao", { { "5", "2", "3.5" } }, E, 2, 5, { "", true, "", 3.5 } },
            { "given order with Nao", { { "5", "2", "3.5" } }, E, 5, 2, { "", true, "", 3.5 } },
            { "Nao: the lower row wins for (2,5)", kTiedRows, E, 2, 5, { "", true, "", 8.0 } },
            { "Nao: the lower row wins for (5,2)", kTiedRows, E, 5, 2, { "", true, "", 8.0 } },
            { "Sim: (2,5) is its own row", kTiedRows, D, 2, 5, { "", true, "", 7.5 } },
            { "Sim: (5,2) is its own row", kTiedRows, D, 5, 2, { "", true, "", 8.0 } },
            { "duplicate rows: the last wins", { { "1", "3", "4" }, { "1", "3", "6" } }, D, 1, 3,
                { "", true, "", 6.0 } },
            { "present with 0", { { "1", "3", "0" } }, D, 1, 3, { "", true, "", 0.0 } },
            { "parents compare as integers", { { "07", "+2", "1.5" } }, D, 7, 2,
                { "", true, "", 1.5 } },
            { "hexadecimal parent", { { "$A", "0x3", "2" } }, E, 3, 10, { "", true, "", 2.0 } },
            { "empty parent A below a match fails every call",
                { { "1", "2", "4" }, { "", "2", "5" } }, D, 1, 2,
                { kEmptyInteger, false, kEmptyInteger, 0.0 } },
            { "empty parent A fails an absent pair too", { { "1", "2", "4" }, { "", "2", "5" } }, E,
                8, 9, { kEmptyInteger, false, kEmptyInteger, 0.0 } },
            { "bad value: Sim, matching pair", { { "4", "7", "abc" } }, D, 4, 7,
                { "", true, "'abc' is not a valid floating point value", 0.0 } },
            { "bad value: Sim, reversed pair never converts it", { { "4", "7", "abc" } }, D, 7, 4,
                { "", false, "", 0.0 } },
            { "bad value: Nao, reversed pair converts it", { { "4", "7", "abc" } }, E, 7, 4,
                { "", true, "'abc' is not a valid floating point value", 0.0 } },
            { "value beyond the double range", { { "1", "2", "1e400" } }, D, 1, 2,
                { "", true, "Floating point overflow", 0.0 } },
            { "value below the double range", { { "1", "2", "1e-400" } }, D, 1, 2,
                { "", true, "", 0.0 } },
            { "bad parent B of another parent A is never read", { { "3", "x", "1" } }, D, 5, 3,
                { "", false, "", 0.0 } },
            { "Nao reads parent B when parent A is b", { { "3", "x", "1" } }, E, 5, 3,
                { "'x' is not a valid integer value", false, "'x' is not a valid integer value",
                    0.0 } },
            { "a trailing blank in parent B", { { "1", "2 ", "1" } }, D, 1, 2,
                { "'2 ' is not a valid integer value", false, "'2 ' is not a valid integer value",
                    0.0 } },
            { "the first failing row gives the message", { { "1", "y", "1" }, { "", "1", "1" } }, D,
                1, 5,
                { "'y' is not a valid integer value", false, "'y' is not a valid integer value",
                    0.0 } },
            { "ValorHS meets the value before the later parent B",
                { { "1", "2", "abc" }, { "1", "zz", "1" } }, D, 1, 2,
                { "'zz' is not a valid integer value", false,
                    "'abc' is not a valid floating point value", 0.0 } },
            { "a value that is never matched is never read",
                { { "1", "2", "abc" }, { "2", "1", "6" } }, D, 2, 1, { "", true, "", 6.0 } },
        };
    }

    class LookupCases : public testing::TestWithParam<Method>
    {
    };

    TEST_P(LookupCases, AnswersAndErrorsOfTheScan)
    {
        for (const Case &c : cases()) {
            SCOPED_TRACE(c.name);
            const CellGrid grid = gridOf(c.rows);
            const Outcome got = ask(GetParam(), grid, c.reciprocals, c.a, c.b);
            EXPECT_EQ(got.existsError, c.expected.existsError);
            if (c.expected.existsError.empty()) {
                EXPECT_EQ(got.exists, c.expected.exists);
            }
            EXPECT_EQ(got.valueError, c.expected.valueError);
            if (c.expected.valueError.empty()) {
                EXPECT_EQ(got.value, c.expected.value);
            }
        }
    }

    TEST_P(LookupCases, ValuesFollowTheDecimalSeparator)
    {
        const CellGrid grid = gridOf({ { "1", "2", "2,5" } });
        const Outcome comma = ask(GetParam(), grid, Reciprocals::Distinct, 1, 2, { ',' });
        EXPECT_EQ(comma.value, 2.5);
        const Outcome point = ask(GetParam(), grid, Reciprocals::Distinct, 1, 2, { '.' });
        EXPECT_TRUE(point.exists);
        EXPECT_EQ(point.valueError, "'2,5' is not a valid floating point value");
    }

    TEST_P(LookupCases, ReadsTheValueColumnOutsideTheShownColumns)
    {
        // A two-field file narrows the table, but column 3 keeps the text an earlier import left.
        CellGrid grid = gridOf({ { "1", "2", "9.25" } });
        grid.setColumnCount(3);
        EXPECT_EQ(ask(GetParam(), grid, Reciprocals::Distinct, 1, 2).value, 9.25);
    }

    TEST_P(LookupCases, NegativeZeroKeepsItsSign)
    {
        const Outcome got =
            ask(GetParam(), gridOf({ { "1", "2", "-0" } }), Reciprocals::Either, 2, 1);
        EXPECT_TRUE(got.exists);
        EXPECT_EQ(got.value, 0.0);
        EXPECT_TRUE(std::signbit(got.value));
    }

    INSTANTIATE_TEST_SUITE_P(BothMethods, LookupCases, testing::Values(Method::Scan, Method::Index),
        [](const testing::TestParamInfo<Method> &param) {
            return param.param == Method::Scan ? std::string("Scan") : std::string("Index");
        });

    TEST(SingleCrossIndexLookup, GivesTheValueAndItsGeneralText)
    {
        const CellGrid grid =
            gridOf({ { "1", "3", "5.50" }, { "2", "3", "0" }, { "4", "5", "x" } });
        const SingleCrossIndex index(grid, Reciprocals::Distinct, {});
        const auto present = index.lookup(1, 3);
        EXPECT_EQ(present.value, 5.5);
        EXPECT_EQ(present.text, "5.5");
        const auto zero = index.lookup(2, 3);
        EXPECT_EQ(zero.value, 0.0);
        EXPECT_EQ(zero.text, "0");
        const auto absent = index.lookup(3, 9);
        EXPECT_EQ(absent.value, 0.0);
        EXPECT_EQ(absent.text, "0");
        EXPECT_EQ(index.lookup(1, 3).text.data(), present.text.data()); // written once
        try {
            index.lookup(4, 5);
            ADD_FAILURE() << "the bad value was not reported";
        } catch (const Error &error) {
            EXPECT_EQ(error.message(), "'x' is not a valid floating point value");
        }
    }

    TEST(SingleCrossIndexLookup, LargeAndNegativeParentsGoThroughTheSameRules)
    {
        const CellGrid grid = gridOf({ { "2147483647", "-2147483648", "1" }, { "5000", "3", "2" },
            { "-2147483648", "2147483647", "3" } });
        const SingleCrossIndex index(grid, Reciprocals::Either, {});
        EXPECT_EQ(index.value(INT32_MAX, INT32_MIN), 3.0);
        EXPECT_EQ(index.value(3, 5000), 2.0);
        EXPECT_FALSE(index.exists(5000, 5000));
        // Growing the table of answers keeps those already worked out.
        EXPECT_EQ(index.value(300, 1), 0.0);
        EXPECT_EQ(index.value(3, 5000), 2.0);
    }

    struct RoundCase
    {
        const char *name;
        long double input;
        double expected; // ignored when overflow
        bool overflow;
    };

    TEST(RoundToDouble, OverflowAndUnderflowBoundaries)
    {
        const long double max = DBL_MAX;
        const RoundCase roundCases[] = {
            { "ordinary", 2.5L, 2.5, false },
            { "largest double", max, DBL_MAX, false },
            { "a quarter unit above the largest rounds down", max + std::ldexp(1.0L, 969), DBL_MAX,
                false },
            { "half a unit above the largest rounds to infinity", max + std::ldexp(1.0L, 970), 0.0,
                true },
            { "1e400", 1e400L, 0.0, true },
            { "-1e400", -1e400L, 0.0, true },
            { "1e-400 goes to zero", 1e-400L, 0.0, false },
            { "half the smallest denormal ties to zero", std::ldexp(1.0L, -1075), 0.0, false },
            { "three halves of it round to the smallest", 3 * std::ldexp(1.0L, -1076),
                std::ldexp(1.0, -1074), false },
        };
        for (const RoundCase &c : roundCases) {
            SCOPED_TRACE(c.name);
            if (c.overflow) {
                try {
                    roundToDouble(c.input);
                    ADD_FAILURE() << "no overflow";
                } catch (const Error &error) {
                    EXPECT_EQ(error.message(), "Floating point overflow");
                }
            } else {
                EXPECT_EQ(roundToDouble(c.input), c.expected);
            }
        }
    }

} // namespace
} // namespace koravel
