#include "render/PixelBars.h"

#include <algorithm>
#include <cmath>

namespace vorlix::render {

namespace {

    // One axis of the grid in pixels: the corner, and the size of one module.
    struct Axis {
        double corner;
        double module;

        [[nodiscard]] int at(double modules) const
        {
            return static_cast<int>(std::lround(corner + modules * module));
        }
    };

    Axis gridAxis(double corner, double module, double scale, bool whole)
    {
        const double pixels = module * scale;
        return { std::round(corner), whole ? std::max(1.0, std::round(pixels)) : pixels };
    }

}

std::vector<QRect> PixelBars::snap(const BarPattern& pattern, const QTransform& toPixels)
{
    const QPointF corner = toPixels.map(pattern.origin);
    const Axis across = gridAxis(corner.x(), pattern.moduleWidth, toPixels.m11(), true);
    const Axis down
        = gridAxis(corner.y(), pattern.moduleHeight, toPixels.m22(), pattern.squareModules);
    std::vector<QRect> pixels;
    if (!pattern.bars)
        return pixels;
    pixels.reserve(pattern.bars->size());
    for (const QRectF& bar : *pattern.bars) {
        const int left = across.at(bar.left());
        const int top = down.at(bar.top());
        // A bar is never thinner than one pixel, whatever the rounding of its edges.
        const int right = std::max(left + 1, across.at(bar.right()));
        const int bottom = std::max(top + 1, down.at(bar.bottom()));
        pixels.emplace_back(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
    return pixels;
}

}
