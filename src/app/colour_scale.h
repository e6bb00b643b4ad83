// The colour scale of the diallel matrix: perceptually even, dark for low values, light for
// high ones, and readable by most colour-blind users (the "viridis" map).
#pragma once

#include <QColor>

namespace koravel {

// t from 0 (the smallest value) to 1 (the largest); outside that range it is clamped.
//   scaleColour(0)   -> #440154 (dark violet)
//   scaleColour(0.5) -> between #26828E and #1F9E89 (teal)
//   scaleColour(1)   -> #FDE725 (yellow)
// The luminance grows with t, so a grey print keeps the order.
QColor scaleColour(double t);

// Black or white, whichever reads better on the background.
QColor textColourOn(const QColor &background);

} // namespace koravel
