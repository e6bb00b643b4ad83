// The counts of possible hybrids shown under the number of lines.
#include "prediction/counts.h"

#include <cmath>

#include "numtext/error.h"

namespace koravel {

namespace {

    // A count beyond the extended range is a floating-point overflow, never the text "INF".
    std::string formatCount(long double count, const FormatSettings &settings)
    {
        if (!std::isfinite(count))
            throw Error(std::string(kFloatingPointOverflow));
        return formatFloat(FixedPattern::NoDecimals, count, settings);
    }

} // namespace

HybridCounts hybridCounts(const LinesField &lines, const FormatSettings &settings)
{
    const long double n = lines.real(settings);
    // The grouping is fixed, left to right, in extended precision: the same products give the
    // same rounding for every n.
    const long double doubleCrosses = ((((n - 1) * n) * (n - 2)) * (n - 3)) / 8;
    const long double threeWayCrosses = (((n - 1) * n) * (n - 2)) / 2;
    return { formatCount(doubleCrosses, settings), formatCount(threeWayCrosses, settings) };
}

} // namespace koravel
