// The index against the literal scan over many seeded random tables: duplicates, reciprocals,
// zeros, bad cells and values beyond the double range, under both reciprocal options.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "table/cell_grid.h"
#include "numtext/error.h"
#include "prediction/lookup.h"
#include "prediction/single_cross_index.h"

namespace koravel {
namespace {

    // Parents of the tables and of the calls: small ones that repeat, and some that only the calls
    // use or that lie outside the index's square table.
    const std::vector<std::int32_t> kParents { 1, 2, 3, 4, 5, 6, 0, -1, 40, 2000, INT_MAX,
        INT_MIN };
    const std::vector<std::string> kBadIntegers { "", "x", "1 ", " ", "+", "2147483648", "1.0",
        "\t1", "- 1", "0x" };
    const std::vector<std::string> kValues { "5", "0", "-0", "2.5", "-3.25", "1e-400", "1e300", "7",
        ".5", "4.75" };
    const std::vector<std::string> kBadValues { "abc", "1,5", "", "1e400", "-1e400", "INF",
        "1.2.3" };

    // Tables of up to 25 rows, and the parents of the calls, from one seed.
    class TableMaker
    {
    public:
        explicit TableMaker(unsigned seed)
            : m_random(seed)
        {
        }

        CellGrid make()
        {
            CellGrid grid;
            const int rows = pick(25);
            grid.setRowCount(rows + 1);
            for (int r = 1; r <= rows; ++r) {
                grid.setCell(1, r, pick(99) < 3 ? oneOf(kBadIntegers) : parentText());
                grid.setCell(2, r, pick(99) < 6 ? oneOf(kBadIntegers) : parentText());
                grid.setCell(3, r, pick(99) < 12 ? oneOf(kBadValues) : oneOf(kValues));
            }
            if (pick(99) < 10)
                grid.setColumnCount(3); // the value column is still read
            return grid;
        }

        // Mostly small parents, so that pairs repeat and meet their reciprocals.
        std::int32_t parent()
        {
            return pick(99) < 80 ? kParents[std::size_t(pick(3))] : oneOf(kParents);
        }

        int pick(int high) { return std::uniform_int_distribution<int>(0, high)(m_random); }

    private:
        template <class T> const T &oneOf(const std::vector<T> &items)
        {
            return items[std::size_t(pick(int(items.size()) - 1))];
        }

        // The parent written plainly, or after a blank, a zero or a plus sign.
        std::string parentText()
        {
            const std::int32_t p = parent();
            const std::string prefix =
                oneOf(std::vector<std::string> { " ", "0", "+", "", "", "" });
            return (p < 0 && prefix != " " ? "" : prefix) + std::to_string(p);
        }

        std::mt19937 m_random;
    };

    // A call's answer as bits, or its error message.
    struct Result
    {
        std::string error;
        std::uint64_t bits = 0;
        bool operator==(const Result &) const = default;
    };

    template <class Call> Result run(Call call)
    {
        try {
            return { "", std::bit_cast<std::uint64_t>(double(call())) };
        } catch (const Error &error) {
            return { error.message(), 0 };
        }
    }

    TEST(LookupDifferential, IndexAnswersAsTheScanOnRandomTables)
    {
        const FormatSettings settings;
        int errors = 0, present = 0, absent = 0, zeros = 0;
        for (unsigned seed = 1; seed <= 400; ++seed) {
            TableMaker maker(seed);
            const CellGrid grid = maker.make();
            for (const Reciprocals reciprocals : { Reciprocals::Distinct, Reciprocals::Either }) {
                const SingleCrossIndex index(grid, reciprocals, settings);
                for (int call = 0; call < 60; ++call) {
                    const std::int32_t a = maker.parent();
                    const std::int32_t b = maker.parent();
                    SCOPED_TRACE(testing::Message()
                        << "seed " << seed << " pair (" << a << ", " << b << ")"
                        << (reciprocals == Reciprocals::Either ? " Nao" : " Sim"));
                    const Result scanExists =
                        run([&] { return ExisteHS(a, b, grid, reciprocals, settings); });
                    const Result scanValue =
                        run([&] { return ValorHS(a, b, grid, reciprocals, settings); });
                    // What a prediction takes: ExisteHS, then ValorHS only after a true answer.
                    const Result scanLookup = !scanExists.error.empty()
                        ? scanExists
                        : (scanExists.bits != 0 ? scanValue : Result { "", 0 });

                    // The index answers whatever it is asked first; ask in a varying order.
                    Result indexExists, indexValue, indexLookup;
                    std::string lookupText;
                    const int order = maker.pick(2);
                    for (int step = 0; step < 3; ++step) {
                        const int which = (order + step) % 3;
                        if (which == 0)
                            indexExists = run([&] { return index.exists(a, b); });
                        else if (which == 1)
                            indexValue = run([&] { return index.value(a, b); });
                        else
                            indexLookup = run([&] {
                                const auto found = index.lookup(a, b);
                                lookupText = std::string(found.text);
                                return found.value;
                            });
                    }
                    EXPECT_EQ(indexExists, scanExists);
                    EXPECT_EQ(indexValue, scanValue);
                    EXPECT_EQ(indexLookup, scanLookup);
                    if (!scanLookup.error.empty()) {
                        ++errors;
                        continue;
                    }
                    EXPECT_EQ(
                        lookupText, floatToStr(std::bit_cast<double>(scanLookup.bits), settings));
                    ++(scanExists.bits != 0 ? present : absent);
                    zeros += scanExists.bits != 0 && std::bit_cast<double>(scanValue.bits) == 0.0;
                }
            }
        }
        // The tables must reach every kind of answer, or the comparison proves little.
        EXPECT_GT(errors, 2000);
        EXPECT_GT(present, 2000);
        EXPECT_GT(absent, 2000);
        EXPECT_GT(zeros, 200);
    }

} // namespace
} // namespace koravel
