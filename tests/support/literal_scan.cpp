// The literal scan as a source of single crosses.
#include "literal_scan.h"

#include <limits>

#include "numtext/error.h"

namespace koravel::reference {

LiteralScan::LiteralScan(
    const CellGrid &grid, Reciprocals reciprocals, const FormatSettings &settings)
    : m_grid(grid)
    , m_reciprocals(reciprocals)
    , m_settings(settings)
    , m_texts(4)
{
}

SingleCrossValue LiteralScan::find(std::int32_t a, std::int32_t b)
{
    const double value = ExisteHS(a, b, m_grid, m_reciprocals, m_settings)
        ? ValorHS(a, b, m_grid, m_reciprocals, m_settings)
        : 0.0;
    // A candidate holds at most four texts at once; each find() reuses the oldest.
    std::string &text = m_texts[m_next];
    m_next = (m_next + 1) % m_texts.size();
    text = floatToStr(value, m_settings);
    double printed = std::numeric_limits<double>::quiet_NaN();
    try {
        printed = roundToDouble(strToFloat(text, m_settings));
    } catch (const Error &) {
    }
    return { value, text, printed };
}

} // namespace koravel::reference
