// The viridis colour map, sampled at ten even steps and interpolated in between.
#include "colour_scale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace koravel {

namespace {

    constexpr std::array<QRgb, 10> kStops { 0x440154, 0x482878, 0x3E4A89, 0x31688E, 0x26828E,
        0x1F9E89, 0x35B779, 0x6DCD59, 0xB4DE2C, 0xFDE725 };

    int mix(int from, int to, double f)
    {
        return int(std::lround(from + (to - from) * f));
    }

} // namespace

QColor scaleColour(double t)
{
    if (!(t > 0)) // NaN too
        t = 0;
    t = std::min(t, 1.0);
    const double position = t * double(kStops.size() - 1);
    const auto low = std::min<std::size_t>(std::size_t(position), kStops.size() - 2);
    const double f = position - double(low);
    const QRgb a = kStops[low];
    const QRgb b = kStops[low + 1];
    return QColor(
        mix(qRed(a), qRed(b), f), mix(qGreen(a), qGreen(b), f), mix(qBlue(a), qBlue(b), f));
}

QColor textColourOn(const QColor &background)
{
    const double luminance =
        0.2126 * background.red() + 0.7152 * background.green() + 0.0722 * background.blue();
    return luminance < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace koravel
