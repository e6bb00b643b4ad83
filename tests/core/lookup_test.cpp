// The lookups of a single cross by its parents: the literal scan and the index, held to the same
// answers, tie-break and errors on hand-made tables.
#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "fixtures.h"
#include "numtext/error.h"
#include "prediction/lookup.h"
#include "prediction/single_cross_index.h"
#include "table/cell_grid.h"

namespace koravel {
namespace {

    using namespace test;

    // A call's answer as the standard library prints it ("1", "3.5", "-0"), or its error message.
    template <class Call> std::string answer(Call call)
    {
        try {
            std::ostringstream out;
            out.precision(17);
            out << call();
            return out.str();
        } catch (const Error &error) {
            return error.message();
        }
    }

    const std::vector<Row> kTiedRows { { "1", "1", "1" }, { "1", "4", "2" }, { "2", "5", "7.5" },
        { "3", "3", "3" }, { "4", "1", "3" }, { "5", "2", "8" } };
    const std::string kEmpty = "'' is not a valid integer value";
    const std::string kBadX = "'x' is not a valid integer value";
    const std::string kBadAbc = "'abc' is not a valid floating point value";
    const std::string kBad2Comma5 = "'2,5' is not a valid floating point value";
    const std::string kOverflow = "Floating point overflow";

    // What ExisteHS and ValorHS answer, and the index in their place.
    std::array<std::string, 4> ask(
        const CellGrid &grid, Reciprocals reciprocals, int a, int b, FormatSettings settings = {})
    {
        const SingleCrossIndex index(grid, reciprocals, settings);
        return { answer([&] { return ExisteHS(a, b, grid, reciprocals, settings); }),
            answer([&] { return ValorHS(a, b, grid, reciprocals, settings); }),
            answer([&] { return index.exists(a, b); }), answer([&] { return index.value(a, b); }) };
    }

    TEST(Lookups, AnswersTieBreakAndErrorsOfTheScanAndTheIndex)
    {
        constexpr auto D = Reciprocals::Distinct;
        constexpr auto E = Reciprocals::Either;
        const struct
        {
            const char *name;
            std::vector<Row> rows;
            Reciprocals reciprocals;
            int a, b;
            std::string exists, value;
            char separator = '.';
        } cases[] = {
            { "no data rows", {}, E, 1, 2, "0", "0" },
            { "order matters, Sim", { { "5", "2", "3.5" } }, D, 2, 5, "0", "0" },
            { "reciprocal, Nao", { { "5", "2", "3.5" } }, E, 2, 5, "1", "3.5" },
            { "Nao: the lower row wins", kTiedRows, E, 2, 5, "1", "8" },
            { "Sim: (2,5) is its own row", kTiedRows, D, 2, 5, "1", "7.5" },
            { "the last duplicate wins", { { "1", "3", "4" }, { "1", "3", "6" } }, D, 1, 3, "1",
                "6" },
            { "present with -0", { { "1", "2", "-0" } }, E, 2, 1, "1", "-0" },
            { "parents as integers", { { "07", "+2", "1.5" } }, D, 7, 2, "1", "1.5" },
            { "comma", { { "1", "2", "2,5" } }, D, 1, 2, "1", "2.5", ',' },
            { "comma, point separator", { { "1", "2", "2,5" } }, D, 1, 2, "1", kBad2Comma5 },
            { "empty A below a match", { { "1", "2", "4" }, { "", "2", "5" } }, D, 1, 2, kEmpty,
                kEmpty },
            { "empty A, absent pair", { { "1", "2", "4" }, { "", "2", "5" } }, E, 8, 9, kEmpty,
                kEmpty },
            { "bad value, Sim, match", { { "4", "7", "abc" } }, D, 4, 7, "1", kBadAbc },
            { "bad value, Sim, reversed", { { "4", "7", "abc" } }, D, 7, 4, "0", "0" },
            { "bad value, Nao, reversed", { { "4", "7", "abc" } }, E, 7, 4, "1", kBadAbc },
            { "beyond the double range", { { "1", "2", "1e400" } }, D, 1, 2, "1", kOverflow },
            { "B of another A unread", { { "3", "x", "1" } }, D, 5, 3, "0", "0" },
            { "Nao reads B when A is b", { { "3", "x", "1" } }, E, 5, 3, kBadX, kBadX },
            { "the first failing row", { { "1", "x", "1" }, { "", "1", "1" } }, D, 1, 5, kBadX,
                kBadX },
            { "value before a later B", { { "1", "2", "abc" }, { "1", "x", "1" } }, D, 1, 2, kBadX,
                kBadAbc },
            { "unmatched value unread", { { "1", "2", "abc" }, { "2", "1", "6" } }, D, 2, 1, "1",
                "6" },
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(ask(gridOf(c.rows), c.reciprocals, c.a, c.b, { c.separator }),
                (std::array<std::string, 4> { c.exists, c.value, c.exists, c.value }));
        }
        // A two-field file narrows the table, but column 3 keeps the text an earlier import left.
        CellGrid narrowed = gridOf({ { "1", "2", "9.25" } });
        narrowed.setColumnCount(3);
        EXPECT_EQ(
            ask(narrowed, D, 1, 2), (std::array<std::string, 4> { "1", "9.25", "1", "9.25" }));
    }

    TEST(RoundToDouble, OverflowAndUnderflowBoundaries)
    {
        const long double max = DBL_MAX;
        const std::pair<long double, std::string> cases[] = {
            { max, "1.7976931348623157e+308" },
            { max + std::ldexp(1.0L, 969), "1.7976931348623157e+308" }, // a quarter unit above
            { max + std::ldexp(1.0L, 970), kOverflow }, // half a unit above
            { -1e400L, kOverflow },
            { 1e-400L, "0" },
            { std::ldexp(1.0L, -1075), "0" }, // half the smallest denormal ties to zero
            { 3 * std::ldexp(1.0L, -1076), "4.9406564584124654e-324" },
        };
        for (const auto &[input, expected] : cases)
            EXPECT_EQ(answer([&] { return roundToDouble(input); }), expected) << input;
    }

} // namespace
} // namespace koravel
