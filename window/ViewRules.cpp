#include "window/ViewRules.h"

#include "window/Arrange.h"

#include <algorithm>
#include <cmath>

namespace vorlix::window {

double ViewRules::zoomRatio(int percent)
{
    if (percent <= 39)
        return MinimumRatio;
    if (percent >= 201)
        return MaximumRatio;
    return percent / 100.0;
}

int ViewRules::zoomPercent(double ratio)
{
    return static_cast<int>(std::nearbyint(ratio * 100.0));
}

int ViewRules::zoomOutPercent(double ratio)
{
    return static_cast<int>(std::nearbyint((ratio - ZoomStepPercent / 100.0) * 100.0));
}

int ViewRules::zoomInPercent(double ratio)
{
    return static_cast<int>(std::nearbyint((ratio + ZoomStepPercent / 100.0) * 100.0));
}

int ViewRules::scrollMaximum(int paneExtent, int pictureExtent)
{
    return paneExtent - pictureExtent;
}

int ViewRules::clampScroll(int value, int maximum)
{
    return std::clamp(value, std::min(0, maximum), std::max(0, maximum));
}

int ViewRules::stepScroll(int value, int maximum, int direction)
{
    // Towards the maximum means towards a negative number when the picture is larger.
    const int towardsMaximum = maximum < 0 ? -ScrollStep : ScrollStep;
    return clampScroll(value + (direction > 0 ? towardsMaximum : -towardsMaximum), maximum);
}

double ViewRules::faceUnits(double pixels, double ratio)
{
    return pixels * Arrange::TwipsPerPixel / (TwipsPerFaceUnit * ratio);
}

double ViewRules::pixels(double faceUnits, double ratio)
{
    return faceUnits * TwipsPerFaceUnit * ratio / Arrange::TwipsPerPixel;
}

QString ViewRules::pointerText(std::int64_t x, std::int64_t y)
{
    return QStringLiteral("%1x%2").arg(x).arg(y);
}

QString ViewRules::selectionText(
    std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height)
{
    return pointerText(x, y) + QStringLiteral(" ⇒ ") + pointerText(width, height);
}

QString ViewRules::zoomText(double ratio)
{
    return QStringLiteral("倍率 %1%").arg(zoomPercent(ratio));
}

QString ViewRules::pageText(std::int32_t page, std::int32_t count)
{
    return QStringLiteral("ページ %1/%2").arg(page).arg(count);
}

}
