// Differential fuzz target for the lookups: on any table, under either reciprocal option and
// either decimal separator, SingleCrossIndex gives the answers of the literal scan (ExisteHS,
// ValorHS): the same booleans, the same values bit for bit, and the same error at the same call.
//
// Input, read from the front: the separator, the option, up to 16 rows of three cells, each
// cell from a list of telling texts or arbitrary bytes, then up to 32 calls.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "numtext/error.h"
#include "prediction/lookup.h"
#include "prediction/single_cross_index.h"
#include "table/cell_grid.h"

using namespace koravel;
using namespace koravel::fuzz;

namespace {

const std::vector<std::string> kParentTexts { "1", "2", "3", "4", "07", "$3", "0x2", " 1", "+2",
    "-1", "0", "", "x", "1 ", "2147483647", "-2147483648", "2147483648", "$FFFFFFFF", "1.0",
    "-$80000000", "\t1", "1025" };
const std::vector<std::string> kValueTexts { "5", "0", "-0", "2.5", "2,5", "-3.25", ".5", ",5", ".",
    ",", "1e400", "-1e400", "1e-400", "1e4932", "1e-4960", "4.75", "abc", "", "1E", "7 ", "  8",
    "1.7976931348623157e308", "1.7976931348623159e308", "4.9e-324", "2e-324", "1,000.5", "1e5000",
    "0.1", "0,1", "+.5e-3", "-,5E+2" };
const char *const kKinds[] = { "exists", "value", "lookup" };
const std::vector<std::int32_t> kParents { 0, -1, 5, 7, 17, 1025, 2000, INT_MAX, INT_MIN };

// The input's bytes in order; zeros once they are used up.
struct Input
{
    const std::uint8_t *data;
    std::size_t size;
    std::size_t at = 0;

    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    int range(int low, int high) { return low + byte() % (high - low + 1); }
    template <class T> const T &pick(const std::vector<T> &list)
    {
        return list[byte() % list.size()];
    }
    std::string cell(const std::vector<std::string> &telling)
    {
        if (range(0, 9) < 8)
            return pick(telling);
        std::string out(byte() % 13, '\0');
        for (char &c : out)
            c = char(byte());
        return out;
    }
    std::int32_t parent()
    {
        const int choice = range(0, 9);
        if (choice < 9)
            return choice < 7 ? range(1, 4) : pick(kParents);
        return std::int32_t(byte() | byte() << 8 | byte() << 16 | unsigned(byte()) << 24);
    }
};

std::string bits(double value)
{
    std::uint64_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    char text[64];
    std::snprintf(text, sizeof text, "%.17g (0x%016llx)", value, (unsigned long long)raw);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Input in { data, size };
    const FormatSettings settings { (in.byte() & 1) != 0 ? ',' : '.' };
    const Reciprocals reciprocals =
        (in.byte() & 1) != 0 ? Reciprocals::Either : Reciprocals::Distinct;

    CellGrid grid;
    const int rows = in.range(0, 16);
    grid.setRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid.setCell(1, r, in.cell(kParentTexts));
        grid.setCell(2, r, in.cell(kParentTexts));
        grid.setCell(3, r, in.cell(kValueTexts));
    }
    // The value column is read even when the table shows fewer columns; rows below the row
    // count are never read, and rows within it that were never written read as empty cells.
    const int resize = in.range(0, 15);
    if (resize == 0)
        grid.setColumnCount(3);
    else if (resize == 1)
        grid.setRowCount(in.range(0, rows + 3));

    const SingleCrossIndex index(grid, reciprocals, settings);
    const auto existe = [&](std::int32_t a, std::int32_t b) {
        return ExisteHS(a, b, grid, reciprocals, settings);
    };
    const auto valor = [&](std::int32_t a, std::int32_t b) {
        return ValorHS(a, b, grid, reciprocals, settings);
    };
    for (int call = 0, calls = in.range(1, 32); call < calls; ++call) {
        const int kind = in.range(0, 2);
        const std::int32_t a = in.parent();
        const std::int32_t b = in.parent();
        const std::string what = std::string(kKinds[kind]) + "(" + std::to_string(a) + ", "
            + std::to_string(b) + ") at call " + std::to_string(call)
            + (reciprocals == Reciprocals::Either ? ", Either" : ", Distinct") + ", separator "
            + settings.decimalSeparator;
        if (kind == 0)
            expectEqual(what, outcome([&] { return std::to_string(index.exists(a, b)); }),
                outcome([&] { return std::to_string(existe(a, b)); }));
        else if (kind == 1)
            expectEqual(what, outcome([&] { return bits(index.value(a, b)); }),
                outcome([&] { return bits(valor(a, b)); }));
        else // what a prediction does: ExisteHS, then ValorHS only after a true answer
            expectEqual(what, outcome([&] {
                const SingleCrossValue found = index.lookup(a, b);
                return bits(found.value) + " \"" + std::string(found.text) + "\"";
            }),
                outcome([&] {
                    const double value = existe(a, b) ? valor(a, b) : 0.0;
                    return bits(value) + " \"" + floatToStr(value, settings) + "\"";
                }));
    }
    return 0;
}
