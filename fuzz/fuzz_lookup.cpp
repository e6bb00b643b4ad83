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
const std::vector<std::int32_t> kParents { 0, -1, 5, 7, 17, 1025, 2000, INT_MAX, INT_MIN };

// The input's bytes in order; zeros once they are used up.
class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    int range(int low, int high) { return low + byte() % (high - low + 1); }
    bool flag() { return (byte() & 1) != 0; }
    template <class T> const T &pick(const std::vector<T> &list)
    {
        return list[byte() % list.size()];
    }
    std::int32_t int32()
    {
        return std::int32_t(byte() | byte() << 8 | byte() << 16 | unsigned(byte()) << 24);
    }
    std::string text(std::size_t most)
    {
        std::string out(byte() % (most + 1), '\0');
        for (char &c : out)
            c = char(byte());
        return out;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

std::string cellText(Input &in, const std::vector<std::string> &telling)
{
    return in.range(0, 9) < 8 ? in.pick(telling) : in.text(12);
}

std::int32_t parent(Input &in)
{
    const int choice = in.range(0, 9);
    return choice < 7 ? in.range(1, 4) : choice < 9 ? in.pick(kParents) : in.int32();
}

std::string bits(double value)
{
    std::uint64_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    char text[64];
    std::snprintf(
        text, sizeof text, "%.17g (0x%016llx)", value, static_cast<unsigned long long>(raw));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Input in(data, size);
    const FormatSettings settings { in.flag() ? ',' : '.' };
    const Reciprocals reciprocals = in.flag() ? Reciprocals::Either : Reciprocals::Distinct;

    CellGrid grid;
    const int rows = in.range(0, 16);
    grid.setRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid.setCell(1, r, cellText(in, kParentTexts));
        grid.setCell(2, r, cellText(in, kParentTexts));
        grid.setCell(3, r, cellText(in, kValueTexts));
    }
    // The value column is read even when the table shows fewer columns; rows below the row
    // count are never read, and rows within it that were never written read as empty cells.
    const int resize = in.range(0, 15);
    if (resize == 0)
        grid.setColumnCount(3);
    else if (resize == 1)
        grid.setRowCount(in.range(0, rows + 3));

    const SingleCrossIndex index(grid, reciprocals, settings);
    const int calls = in.range(1, 32);
    for (int call = 0; call < calls; ++call) {
        const int kind = in.range(0, 2);
        const std::int32_t a = parent(in);
        const std::int32_t b = parent(in);
        const std::string what = std::string(kind == 0 ? "exists"
                                         : kind == 1   ? "value"
                                                       : "lookup")
            + "(" + std::to_string(a) + ", " + std::to_string(b) + ") at call "
            + std::to_string(call)
            + (reciprocals == Reciprocals::Either ? ", Either" : ", Distinct") + ", separator "
            + settings.decimalSeparator;
        std::string got;
        std::string expected;
        if (kind == 0) {
            got = outcome([&] { return std::string(index.exists(a, b) ? "true" : "false"); });
            expected = outcome([&] {
                return std::string(ExisteHS(a, b, grid, reciprocals, settings) ? "true" : "false");
            });
        } else if (kind == 1) {
            got = outcome([&] { return bits(index.value(a, b)); });
            expected = outcome([&] { return bits(ValorHS(a, b, grid, reciprocals, settings)); });
        } else {
            // What a prediction does: ExisteHS, then ValorHS only after a true answer.
            got = outcome([&] {
                const SingleCrossValue found = index.lookup(a, b);
                return bits(found.value) + " \"" + std::string(found.text) + "\"";
            });
            expected = outcome([&] {
                const double value = ExisteHS(a, b, grid, reciprocals, settings)
                    ? ValorHS(a, b, grid, reciprocals, settings)
                    : 0.0;
                return bits(value) + " \"" + floatToStr(value, settings) + "\"";
            });
        }
        expectEqual(what, got, expected);
    }
    return 0;
}
