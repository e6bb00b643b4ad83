// The reference the table's index is checked against: every single cross looked up by the
// literal scan of ExisteHS and ValorHS, row by row, for every candidate.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "numtext/error.h"
#include "prediction/prediction.h"

namespace koravel::reference {

class LiteralScan final : public CrossSource
{
public:
    LiteralScan(const CellGrid &grid, Reciprocals reciprocals, const FormatSettings &settings)
        : m_grid(grid)
        , m_reciprocals(reciprocals)
        , m_settings(settings)
    {
    }

    SingleCrossValue find(std::int32_t a, std::int32_t b) override
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

private:
    const CellGrid &m_grid;
    Reciprocals m_reciprocals;
    FormatSettings m_settings;
    std::vector<std::string> m_texts = std::vector<std::string>(4);
    std::size_t m_next = 0;
};

} // namespace koravel::reference
