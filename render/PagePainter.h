#pragma once

#include "render/Device.h"
#include "render/GdiTypes.h"
#include "render/QtFontCache.h"

#include <QBrush>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <optional>

class QPainter;

namespace vorlix::render {

class PageRecord;

// The device that paints a replayed page onto a QPainter with the semantics the surface drew
// for: GDI pens (styles, widths in device pixels, round ends), hollow or solid brushes, text
// anchored at the top left of its cell and turned by the escapement, black text on a transparent
// background, counter-clockwise arcs, stretched and mirrored images, and the bars of symbols on
// whole pixels of a raster device.
class PagePainter final : public Device {
public:
    // dpi is the resolution of the page's device units: dash patterns keep their length on it.
    PagePainter(QPainter& painter, int dpi);

    // Plays the page scaled from its frame into the target rectangle.
    void play(const PageRecord& page, const QRectF& target);

    VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_DECLARE_DEVICE_OPERATION)

private:
    void usePen(const PenDesc& pen);
    // Text turned by the escapement about its anchor.
    void drawPlain(int x, int y, const QString& text, const QtFontCache::Entry& entry);
    // A line of a vertical face with upright characters, turned by the escapement about its
    // anchor; false when it has none, to be drawn as the plain face draws it.
    bool drawVertical(int x, int y, const QString& text, const QtFontCache::Entry& entry);

    QPainter& m_painter;
    int m_dpi;
    // The painter's device draws in whole pixels (bars are snapped to them).
    bool m_pixels;
    LogFont m_font;
    // The font set on the painter, to set it only when it changes.
    std::optional<LogFont> m_painterFont;
    QPen m_pen;
    QBrush m_brush;
    QPointF m_current;
};

}
