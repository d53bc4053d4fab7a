#pragma once

#include "render/GdiTypes.h"

#include <QRect>
#include <QSize>
#include <cstdint>

namespace vorlix::render {

// How face units (tenths of a millimetre) become device units of the page's reference device:
// the binding (print target or preview, resolution, zoom ratio, page size), the page size in
// device units, the printer position correction, the axis mode with its scales and origin, and
// the factors pens and fonts are scaled by. Every conversion to an integer rounds half to even
// and raises RunError 6 when it does not fit.
//
// The eight axis modes (face x, face y run along): 0 +x, +y; 1 -x, +y; 2 +x, -y; 3 -x, -y;
// 4 +y, +x; 5 -y, +x; 6 +y, -x; 7 -y, -x (in device coordinates). Any other mode maps as 0, or
// as 4 when it is above 3.
class SurfaceMapping {
public:
    // Binds to a print target (preview false) or a preview box at the resolution dpi, the zoom
    // ratio and a page of width x height face units. A print target scales pens and fonts by the
    // ratio and ignores the margins; a preview scales pens by screen pixels per inch over dpi times
    // the ratio (a pen shows at its printed width) and keeps the margins for the caller. The device
    // size waits for the next page.
    void bind(bool preview, std::int32_t dpi, double ratio, std::int32_t width, std::int32_t height,
        std::int32_t marginX, std::int32_t marginY);
    // A page opens: its size in device units. A preview box narrower or wider than the page
    // (boxTwips, 15 twips per screen pixel; 0 for the page's own size) scales fonts with it.
    void openPage(double boxTwips);
    // The printer position correction in face units; it moves printed output only.
    void setLag(std::int32_t x, std::int32_t y);
    // Home: axis mode and origin (face units); scales from the page size.
    void home(std::int32_t mode, std::int32_t x, std::int32_t y);
    // Moves everything mapped from now on by (dx, dy) face units, along face x and y, on top of
    // the origin and of the shifts before; a new page starts without any. RunError 6 when the sum
    // does not fit.
    void shift(std::int32_t dx, std::int32_t dy);
    // The page's own corner again: no shift.
    void clearShift()
    {
        m_shiftX = 0;
        m_shiftY = 0;
    }

    // MapX / MapY: the device coordinate one face coordinate maps to (along device y for face x
    // in the swapped modes 4..7).
    [[nodiscard]] std::int32_t MapX(std::int32_t x) const;
    [[nodiscard]] std::int32_t MapY(std::int32_t y) const;
    // LenX / LenY: a device length for a face length along face x or y, signed by the mode.
    [[nodiscard]] std::int32_t LenX(std::int32_t w) const;
    [[nodiscard]] std::int32_t LenY(std::int32_t h) const;
    // MapPoint: the device point of a face point, set one coordinate at a time (an overflow in
    // the second leaves the first moved).
    void MapPoint(std::int32_t x, std::int32_t y, Point& device) const;
    // Moves only the device coordinate that face x (moveX) or face y (moveY) maps to.
    void moveX(std::int32_t x, Point& device) const;
    void moveY(std::int32_t y, Point& device) const;

    // The device rectangle a finished page is played into on its target.
    [[nodiscard]] QRect playbackRect() const;

    [[nodiscard]] bool isPreview() const { return m_preview; }
    // Resolution of the reference device: the DPI for a print target, 96 for a preview.
    [[nodiscard]] int referenceDpi() const;
    [[nodiscard]] std::int32_t dpi() const { return m_dpi; }
    [[nodiscard]] double ratio() const { return m_ratio; }
    [[nodiscard]] std::int32_t pageWidth() const { return m_pageWidth; }
    [[nodiscard]] std::int32_t pageHeight() const { return m_pageHeight; }
    [[nodiscard]] std::int32_t marginX() const { return m_marginX; }
    [[nodiscard]] std::int32_t marginY() const { return m_marginY; }
    // Metafile frame in 0.01 mm.
    [[nodiscard]] const DeviceRect& frame() const { return m_frame; }
    [[nodiscard]] QSize deviceSize() const { return { m_devWidth, m_devHeight }; }
    [[nodiscard]] double penScale() const { return m_penScale; }
    [[nodiscard]] double fontScale() const { return m_fontScale; }
    [[nodiscard]] std::int32_t mode() const { return m_mode; }
    // Face x runs along device x (the last Home chose a mode up to 3, or none since binding).
    [[nodiscard]] bool axesNormal() const { return m_axesNormal; }
    // Device units per face unit along device x and y, signed by the axis mode (getLtoP).
    [[nodiscard]] double scaleX() const { return m_scaleX; }
    [[nodiscard]] double scaleY() const { return m_scaleY; }

private:
    // The binding.
    bool m_preview = false;
    std::int32_t m_dpi = 400;
    double m_ratio = 1.0;
    std::int32_t m_pageWidth = 2100;
    std::int32_t m_pageHeight = 2970;
    std::int32_t m_marginX = 0;
    std::int32_t m_marginY = 0;
    DeviceRect m_frame;
    // The open page: its size in device units and the scale factors of pens and fonts.
    std::int32_t m_devWidth = 0;
    std::int32_t m_devHeight = 0;
    double m_penScale = 1.0;
    double m_fontScale = 1.0;
    // The printer position correction and the axis mode with its scales and origin.
    std::int32_t m_lagX = 0;
    std::int32_t m_lagY = 0;
    std::int32_t m_mode = 0;
    bool m_axesNormal = true;
    double m_scaleX = 0.0;
    double m_scaleY = 0.0;
    std::int32_t m_originX = 0;
    std::int32_t m_originY = 0;
    // Face units added to every coordinate before it is mapped.
    std::int32_t m_shiftX = 0;
    std::int32_t m_shiftY = 0;
};

}
