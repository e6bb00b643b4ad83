// The numbers of possible double-cross and three-way hybrids for n lines.
#pragma once

#include <string>
#include <string_view>

#include "numtext/numtext.h"

namespace koravel {

struct HybridCounts
{
    std::string doubleCrosses; // ((((n-1)*n)*(n-2))*(n-3))/8 with the pattern "0"
    std::string threeWayCrosses; // (((n-1)*n)*(n-2))/2 with the pattern "0"
};

// n is read from the field's text as a real, in extended precision.
//   hybridCounts("5") -> {"15", "30"};  hybridCounts("2") -> {"0", "0"}
HybridCounts hybridCounts(std::string_view linesFieldText, const FormatSettings &settings);

} // namespace koravel
