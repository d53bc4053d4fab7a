#pragma once

#include <QString>
#include <cstdint>

namespace vorlix::window {

// The preview's rules that need no widget: zoom steps, scroll ranges and steps, the conversion
// between face units and twips, and the texts of the status slots.
class ViewRules {
public:
    static constexpr double TwipsPerFaceUnit = 5.67;
    static constexpr int ScrollStep = 210;
    static constexpr int ZoomStepPercent = 20;
    static constexpr double MinimumRatio = 0.4;
    static constexpr double MaximumRatio = 2.0;

    // The ratio a zoom percentage gives: index / 100, but 0.4 up to 39 and 2.0 from 201 on.
    [[nodiscard]] static double zoomRatio(int percent);
    // The percentage shown for a ratio (rounded half to even, as CInt does).
    [[nodiscard]] static int zoomPercent(double ratio);
    // The percentages the "－" and "＋" labels ask for.
    [[nodiscard]] static int zoomOutPercent(double ratio);
    [[nodiscard]] static int zoomInPercent(double ratio);

    // A scroll bar's maximum: how far the picture may move so that its far edge can be seen in a
    // pane of paneExtent (negative when the picture is larger, the picture then moves left or
    // up); the minimum is always 0.
    [[nodiscard]] static int scrollMaximum(int paneExtent, int pictureExtent);
    // A value kept between 0 and the maximum, whichever of the two is larger.
    [[nodiscard]] static int clampScroll(int value, int maximum);
    // One step of the arrow keys towards the maximum (+1) or the minimum (-1), clamped.
    [[nodiscard]] static int stepScroll(int value, int maximum, int direction);

    // Page units (0.1 mm) from a distance in pixels at a ratio, and back.
    [[nodiscard]] static double faceUnits(double pixels, double ratio);
    [[nodiscard]] static double pixels(double faceUnits, double ratio);

    // Status slot texts: the pointer "1200x455", the selection "100x200 ⇒ 350x120", the zoom
    // "倍率 100%" and the page "ページ 1/3".
    [[nodiscard]] static QString pointerText(std::int64_t x, std::int64_t y);
    [[nodiscard]] static QString selectionText(
        std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);
    [[nodiscard]] static QString zoomText(double ratio);
    [[nodiscard]] static QString pageText(std::int32_t page, std::int32_t count);
};

}
