#pragma once

#include "render/GdiTypes.h"
#include "render/PageRecord.h"
#include "render/QtFontCache.h"

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <optional>

class QPainter;

namespace vorlix::render {

// Replays a page record onto a QPainter with the device semantics the surface drew for: GDI
// pens (styles, widths in device pixels, round ends), hollow or solid brushes, text anchored at
// the top left of its cell and turned by the escapement, black text on a transparent
// background, counter-clockwise arcs, stretched and mirrored images.
class PagePainter {
public:
    PagePainter(QPainter& painter, const PageRecord& page);

    // Plays the page scaled from its frame into the target rectangle.
    void play(const QRectF& target);

private:
    void playCall(const PageRecord::Call& call);
    void setPen(const PenDesc& pen);
    void drawText(int x, int y, const QString& text);
    void drawArc(const PageRecord::Call& call);
    void drawImage(const PageRecord::Call& call);
    [[nodiscard]] static QRectF box(int left, int top, int right, int bottom);

    QPainter& m_painter;
    const PageRecord& m_page;
    LogFont m_font;
    // The font set on the painter, to set it only when it changes.
    std::optional<LogFont> m_painterFont;
    QPen m_pen;
    QBrush m_brush;
    QPointF m_current;
};

}
