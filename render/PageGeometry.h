#pragma once

#include <QRectF>
#include <cstdint>
#include <vector>

namespace vorlix::render {

// The geometry every device that plays page records shares, so that the painter and the PDF
// writer draw a pen, a box or an arc alike.
namespace PageGeometry {

    // The platform's styled-pen patterns in 1/96 inch (dash 18-6, dot 3-3, ...); empty for solid
    // and null pens.
    [[nodiscard]] std::vector<double> penPattern(std::int32_t style);

    // The rectangle between two corners given in any order.
    [[nodiscard]] QRectF box(int left, int top, int right, int bottom);

    // A counter-clockwise arc of the ellipse in a box, from the ray through the start point to the
    // ray through the end point: where it starts and how far it sweeps, in whole sixteenths of a
    // degree as the painter takes them; the sweep is more than 0 and at most a full turn.
    struct ArcSweep {
        int start = 0;
        int span = 0;
    };
    [[nodiscard]] ArcSweep arcSweep(const QRectF& box, int xStart, int yStart, int xEnd, int yEnd);

}

}
