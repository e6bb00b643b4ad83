// The reference the table's index is checked against: every single cross looked up by the
// literal scan of ExisteHS and ValorHS, row by row, for every candidate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "prediction/prediction.h"

namespace koravel::reference {

class LiteralScan final : public CrossSource
{
public:
    LiteralScan(const CellGrid &grid, Reciprocals reciprocals, const FormatSettings &settings);
    SingleCrossValue find(std::int32_t a, std::int32_t b) override;

private:
    const CellGrid &m_grid;
    Reciprocals m_reciprocals;
    FormatSettings m_settings;
    std::vector<std::string> m_texts; // the last texts handed out, as many as a candidate holds
    std::size_t m_next = 0;
};

} // namespace koravel::reference
