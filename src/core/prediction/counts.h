// The numbers of possible double-cross and three-way hybrids for n lines.
#pragma once

#include <string>
#include <string_view>

#include "prediction/lines_field.h"

namespace koravel {

struct HybridCounts
{
    std::string doubleCrosses; // ((((n-1)*n)*(n-2))*(n-3))/8 with the pattern "0"
    std::string threeWayCrosses; // (((n-1)*n)*(n-2))/2 with the pattern "0"
};

// n is read from the field's text as a real, in extended precision.
//   hybridCounts(LinesField("5")) -> {"15", "30"};  LinesField("2") -> {"0", "0"}
HybridCounts hybridCounts(const LinesField &lines, const FormatSettings &settings);

} // namespace koravel
