#pragma once

#include "render/BarPattern.h"

#include <QRect>
#include <QTransform>
#include <vector>

namespace vorlix::render {

// The bars of a pattern in whole pixels of a raster device (a printer, a picture, the screen):
// the grid's corner goes to the nearest pixel and one module becomes the nearest whole number of
// pixels (at least one), so every module of the symbol is as many dots wide as every other. Rows
// of square modules snap the same way; the bars of a linear symbol end at the pixel nearest to
// their height.
class PixelBars {
public:
    // toPixels maps the page's device units to the raster's pixels; it only moves and scales,
    // by positive factors.
    [[nodiscard]] static std::vector<QRect> snap(
        const BarPattern& pattern, const QTransform& toPixels);
};

}
