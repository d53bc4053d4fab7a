#include "render/PagePainter.h"

#include "render/PageGeometry.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"
#include "render/PixelBars.h"
#include "render/QtFontCache.h"
#include "render/VerticalLayout.h"

#include <QImage>
#include <QPainter>
#include <QVector>
#include <cmath>

namespace vorlix::render {

using PageGeometry::box;

namespace {

    QColor toColor(ColorRef c)
    {
        return QColor(redOf(c), greenOf(c), blueOf(c));
    }

    // A pen's pattern in units of its width, keeping the same physical length on every
    // resolution so that print and preview look alike.
    // Printers, pictures and the screen draw in dots; PDF and SVG writers take exact vectors.
    bool drawsInPixels(const QPaintDevice* device)
    {
        if (!device)
            return false;
        switch (device->devType()) {
        case QInternal::Widget:
        case QInternal::Pixmap:
        case QInternal::Image:
        case QInternal::Printer:
        case QInternal::OpenGL:
        case QInternal::FramebufferObject:
            return true;
        default:
            return false;
        }
    }

    QVector<qreal> dashPattern(std::int32_t style, double unit)
    {
        QVector<qreal> pattern;
        for (const double length : PageGeometry::penPattern(style))
            pattern.append(length * unit);
        return pattern;
    }

}

PagePainter::PagePainter(QPainter& painter, int dpi)
    : m_painter(painter)
    , m_dpi(dpi)
    , m_pixels(drawsInPixels(painter.device()))
    , m_font(PageRecorder::initialFont())
{
}

void PagePainter::play(const PageRecord& page, const QRectF& target)
{
    const DeviceRect& frame = page.frame();
    // The frame (0.01 mm) in the page's device units: playback maps it onto the target.
    double frameWidth = (frame.right - frame.left) * page.dpi() / 2540.0;
    double frameHeight = (frame.bottom - frame.top) * page.dpi() / 2540.0;
    if (frameWidth <= 0.0 || frameHeight <= 0.0) {
        frameWidth = std::max(page.deviceSize().width(), 1);
        frameHeight = std::max(page.deviceSize().height(), 1);
    }
    m_painter.save();
    m_painter.translate(target.topLeft());
    m_painter.scale(target.width() / frameWidth, target.height() / frameHeight);
    m_painter.setClipping(false);
    usePen({ 0, 1, 0 });
    m_brush = QBrush(Qt::white);
    m_painter.setBrush(m_brush);
    page.replay(*this);
    m_painter.restore();
}

void PagePainter::usePen(const PenDesc& desc)
{
    if (desc.style == static_cast<std::int32_t>(PenStyle::Null)) {
        m_pen = QPen(Qt::NoPen);
    } else {
        // Width 0 or 1 is one device pixel; thicker pens end and join round.
        const double width = std::max(desc.width, 1);
        m_pen = QPen(toColor(desc.color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        const QVector<qreal> pattern = dashPattern(desc.style, m_dpi / 96.0 / width);
        if (!pattern.isEmpty()) {
            m_pen.setCapStyle(Qt::FlatCap);
            m_pen.setDashPattern(pattern);
        }
    }
    m_painter.setPen(m_pen);
}

void PagePainter::moveTo(int x, int y)
{
    m_current = QPointF(x, y);
}

void PagePainter::lineTo(int x, int y)
{
    const QPointF end(x, y);
    if (m_pen.style() != Qt::NoPen)
        m_painter.drawLine(m_current, end);
    m_current = end;
}

void PagePainter::rectangle(int left, int top, int right, int bottom)
{
    m_painter.drawRect(box(left, top, right, bottom));
}

void PagePainter::fillRect(int left, int top, int right, int bottom, ColorRef color)
{
    m_painter.fillRect(box(left, top, right, bottom), toColor(color));
}

void PagePainter::ellipse(int left, int top, int right, int bottom)
{
    m_painter.drawEllipse(box(left, top, right, bottom));
}

void PagePainter::arc(
    int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    const QRectF rect = box(left, top, right, bottom);
    const PageGeometry::ArcSweep sweep = PageGeometry::arcSweep(rect, xStart, yStart, xEnd, yEnd);
    m_painter.drawArc(rect, sweep.start, sweep.span);
}

void PagePainter::textOut(int x, int y, const QString& text)
{
    const QtFontCache::Entry& entry = QtFontCache::shared().get(m_font);
    if (m_painterFont != m_font) {
        m_painter.setFont(entry.font);
        m_painterFont = m_font;
    }
    // Text is black whatever the pen (a black pen already draws it: no state change for the
    // common case); the cell's top left is the anchor, Qt draws from the baseline.
    const bool penDrawsBlack = m_pen.style() != Qt::NoPen && m_pen.color() == Qt::black;
    if (!penDrawsBlack)
        m_painter.setPen(Qt::black);
    if (!entry.vertical || !drawVertical(x, y, text, entry))
        drawPlain(x, y, text, entry);
    if (!penDrawsBlack)
        m_painter.setPen(m_pen);
}

void PagePainter::drawPlain(int x, int y, const QString& text, const QtFontCache::Entry& entry)
{
    if (m_font.lfEscapement == 0) {
        m_painter.drawText(QPointF(x, y + entry.metrics.ascent()), text);
        return;
    }
    m_painter.save();
    m_painter.translate(x, y);
    m_painter.rotate(-m_font.lfEscapement / 10.0);
    m_painter.drawText(QPointF(0.0, entry.metrics.ascent()), text);
    m_painter.restore();
}

bool PagePainter::drawVertical(int x, int y, const QString& text, const QtFontCache::Entry& entry)
{
    const VerticalLayout layout = VerticalLayout::layOut(entry.font, text);
    // Without an upright character the line is drawn as the face without "@" draws it.
    if (!layout.hasUpright())
        return false;
    m_painter.save();
    m_painter.translate(x, y);
    m_painter.rotate(-m_font.lfEscapement / 10.0);
    for (const VerticalLayout::Run& run : layout.runs) {
        if (!run.upright) {
            m_painter.drawGlyphRun(QPointF(), run.glyphs);
            continue;
        }
        m_painter.save();
        m_painter.setTransform(layout.uprightFrame(), true);
        m_painter.drawGlyphRun(QPointF(), run.glyphs);
        m_painter.restore();
    }
    const QFontMetricsF& metrics = entry.metrics;
    const double thickness = std::max(metrics.lineWidth(), 1.0);
    const auto rule = [&](double at) {
        m_painter.fillRect(QRectF(0.0, at, layout.advance, thickness), Qt::black);
    };
    if (m_font.lfUnderline)
        rule(metrics.ascent() + metrics.underlinePos());
    if (m_font.lfStrikeOut)
        rule(metrics.ascent() - metrics.strikeOutPos());
    m_painter.restore();
    return true;
}

void PagePainter::selectFont(const LogFont& font)
{
    m_font = font;
}

void PagePainter::selectPen(const PenDesc& pen)
{
    usePen(pen);
}

void PagePainter::selectBrush(const BrushDesc& brush)
{
    m_brush = brush.hollow ? QBrush(Qt::NoBrush) : QBrush(toColor(brush.color));
    m_painter.setBrush(m_brush);
}

void PagePainter::selectInitialFont()
{
    m_font = PageRecorder::initialFont();
}

void PagePainter::selectInitialPen()
{
    usePen({ 0, 1, 0 });
}

void PagePainter::setClip(const DeviceRect& r)
{
    m_painter.setClipRect(box(r.left, r.top, r.right, r.bottom), Qt::ReplaceClip);
}

void PagePainter::clearClip()
{
    m_painter.setClipping(false);
}

void PagePainter::stretchImage(
    int x, int y, int width, int height, const QImage& image, int srcWidth, int srcHeight)
{
    if (width == 0 || height == 0 || image.isNull())
        return;
    m_painter.save();
    m_painter.translate(x, y);
    // A negative size mirrors the picture.
    m_painter.scale(width < 0 ? -1.0 : 1.0, height < 0 ? -1.0 : 1.0);
    m_painter.drawImage(
        QRectF(0, 0, std::abs(width), std::abs(height)), image, QRectF(0, 0, srcWidth, srcHeight));
    m_painter.restore();
}

void PagePainter::fillBars(const BarPattern& bars)
{
    const QColor color = toColor(bars.color);
    // A turned, sheared or mirrored painter has no pixel grid the bars could follow.
    const QTransform toPixels = m_painter.combinedTransform();
    const bool upright
        = toPixels.type() <= QTransform::TxScale && toPixels.m11() > 0 && toPixels.m22() > 0;
    if (!m_pixels || !upright) {
        for (qsizetype i = 0; i < bars.size(); ++i)
            m_painter.fillRect(bars.exactBar(i), color);
        return;
    }
    // The bars are laid in the device's own pixels; the clip stays where it was set.
    const std::vector<QRect> pixels = PixelBars::snap(bars, toPixels);
    m_painter.save();
    m_painter.resetTransform();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    for (const QRect& bar : pixels)
        m_painter.fillRect(bar, color);
    m_painter.restore();
}

}
