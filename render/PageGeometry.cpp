#include "render/PageGeometry.h"

#include "render/GdiTypes.h"

#include <QPointF>
#include <cmath>
#include <numbers>

namespace vorlix::render::PageGeometry {

namespace {

    // Angle of a point seen from the centre, counter-clockwise on the page, in degrees.
    double rayAngle(const QPointF& centre, double x, double y)
    {
        return std::atan2(centre.y() - y, x - centre.x()) * 180.0 / std::numbers::pi;
    }

}

std::vector<double> penPattern(std::int32_t style)
{
    switch (static_cast<PenStyle>(style)) {
    case PenStyle::Dash:
        return { 18, 6 };
    case PenStyle::Dot:
        return { 3, 3 };
    case PenStyle::DashDot:
        return { 9, 6, 3, 6 };
    case PenStyle::DashDotDot:
        return { 9, 3, 3, 3, 3, 3 };
    default:
        return {};
    }
}

QRectF box(int left, int top, int right, int bottom)
{
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

ArcSweep arcSweep(const QRectF& box, int xStart, int yStart, int xEnd, int yEnd)
{
    const QPointF centre = box.center();
    const double start = rayAngle(centre, xStart, yStart);
    const double end = rayAngle(centre, xEnd, yEnd);
    double span = std::fmod(end - start, 360.0);
    if (span <= 0.0)
        span += 360.0;
    return { static_cast<int>(std::lround(start * 16.0)),
        static_cast<int>(std::lround(span * 16.0)) };
}

}
