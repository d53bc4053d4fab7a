#include "render/PagePainter.h"

#include "render/PageRecorder.h"

#include <QPainter>
#include <QVector>
#include <cmath>

namespace vorlix::render {

using Op = PageRecord::Op;

namespace {

    QColor toColor(ColorRef c)
    {
        return QColor(redOf(c), greenOf(c), blueOf(c));
    }

    // The platform's styled-pen patterns in 1/96 inch (dash 18-6, dot 3-3, ...), kept at the
    // same physical length on every resolution so that print and preview look alike.
    QVector<qreal> dashPattern(std::int32_t style, double unit)
    {
        QVector<qreal> pattern;
        switch (static_cast<PenStyle>(style)) {
        case PenStyle::Dash:
            pattern = { 18, 6 };
            break;
        case PenStyle::Dot:
            pattern = { 3, 3 };
            break;
        case PenStyle::DashDot:
            pattern = { 9, 6, 3, 6 };
            break;
        case PenStyle::DashDotDot:
            pattern = { 9, 3, 3, 3, 3, 3 };
            break;
        default:
            break;
        }
        for (qreal& length : pattern)
            length *= unit;
        return pattern;
    }

    // Angle of a point seen from the centre, counter-clockwise on the page, in degrees.
    double rayAngle(const QPointF& centre, double x, double y)
    {
        return std::atan2(centre.y() - y, x - centre.x()) * 180.0 / M_PI;
    }

}

PagePainter::PagePainter(QPainter& painter, const PageRecord& page)
    : m_painter(painter)
    , m_page(page)
    , m_font(PageRecorder::initialFont())
{
}

QRectF PagePainter::box(int left, int top, int right, int bottom)
{
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

void PagePainter::play(const QRectF& target)
{
    const DeviceRect& frame = m_page.frame();
    // The frame (0.01 mm) in the page's device units: playback maps it onto the target.
    double frameWidth = (frame.right - frame.left) * m_page.dpi() / 2540.0;
    double frameHeight = (frame.bottom - frame.top) * m_page.dpi() / 2540.0;
    if (frameWidth <= 0.0 || frameHeight <= 0.0) {
        frameWidth = std::max(m_page.deviceSize().width(), 1);
        frameHeight = std::max(m_page.deviceSize().height(), 1);
    }
    m_painter.save();
    m_painter.translate(target.topLeft());
    m_painter.scale(target.width() / frameWidth, target.height() / frameHeight);
    m_painter.setClipping(false);
    setPen({ 0, 1, 0 });
    m_brush = QBrush(Qt::white);
    m_painter.setBrush(m_brush);
    for (const PageRecord::Call& call : m_page.calls())
        playCall(call);
    m_painter.restore();
}

void PagePainter::setPen(const PenDesc& desc)
{
    if (desc.style == static_cast<std::int32_t>(PenStyle::Null)) {
        m_pen = QPen(Qt::NoPen);
    } else {
        // Width 0 or 1 is one device pixel; thicker pens end and join round.
        const double width = std::max(desc.width, 1);
        m_pen = QPen(toColor(desc.color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        const QVector<qreal> pattern = dashPattern(desc.style, m_page.dpi() / 96.0 / width);
        if (!pattern.isEmpty()) {
            m_pen.setCapStyle(Qt::FlatCap);
            m_pen.setDashPattern(pattern);
        }
    }
    m_painter.setPen(m_pen);
}

void PagePainter::playCall(const PageRecord::Call& call)
{
    const auto* v = call.v;
    switch (call.op) {
    case Op::MoveTo:
        m_current = QPointF(v[0], v[1]);
        break;
    case Op::LineTo: {
        const QPointF end(v[0], v[1]);
        if (m_pen.style() != Qt::NoPen)
            m_painter.drawLine(m_current, end);
        m_current = end;
        break;
    }
    case Op::Rectangle:
        m_painter.drawRect(box(v[0], v[1], v[2], v[3]));
        break;
    case Op::FillRect:
        m_painter.fillRect(box(v[0], v[1], v[2], v[3]), toColor(v[4]));
        break;
    case Op::Ellipse:
        m_painter.drawEllipse(box(v[0], v[1], v[2], v[3]));
        break;
    case Op::Arc:
        drawArc(call);
        break;
    case Op::TextOut:
        drawText(v[0], v[1], m_page.text(call.index));
        break;
    case Op::SelectFont:
        m_font = m_page.font(call.index);
        break;
    case Op::SelectPen:
        setPen({ v[0], v[1], v[2] });
        break;
    case Op::SelectBrush:
        m_brush = v[0] != 0 ? QBrush(Qt::NoBrush) : QBrush(toColor(v[1]));
        m_painter.setBrush(m_brush);
        break;
    case Op::InitialFont:
        m_font = PageRecorder::initialFont();
        break;
    case Op::InitialPen:
        setPen({ 0, 1, 0 });
        break;
    case Op::SetClip:
        m_painter.setClipRect(box(v[0], v[1], v[2], v[3]), Qt::ReplaceClip);
        break;
    case Op::ClearClip:
        m_painter.setClipping(false);
        break;
    case Op::StretchImage:
        drawImage(call);
        break;
    }
}

void PagePainter::drawText(int x, int y, const QString& text)
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
    if (m_font.lfEscapement == 0) {
        m_painter.drawText(QPointF(x, y + entry.metrics.ascent()), text);
    } else {
        m_painter.save();
        m_painter.translate(x, y);
        m_painter.rotate(-m_font.lfEscapement / 10.0);
        m_painter.drawText(QPointF(0.0, entry.metrics.ascent()), text);
        m_painter.restore();
    }
    if (!penDrawsBlack)
        m_painter.setPen(m_pen);
}

void PagePainter::drawArc(const PageRecord::Call& call)
{
    const auto* v = call.v;
    const QRectF rect = box(v[0], v[1], v[2], v[3]);
    const QPointF centre = rect.center();
    const double start = rayAngle(centre, v[4], v[5]);
    const double end = rayAngle(centre, v[6], v[7]);
    double span = std::fmod(end - start, 360.0);
    if (span <= 0.0)
        span += 360.0;
    m_painter.drawArc(rect, static_cast<int>(std::lround(start * 16.0)),
        static_cast<int>(std::lround(span * 16.0)));
}

void PagePainter::drawImage(const PageRecord::Call& call)
{
    const auto* v = call.v;
    const QImage& image = m_page.image(call.index);
    if (v[2] == 0 || v[3] == 0 || image.isNull())
        return;
    m_painter.save();
    m_painter.translate(v[0], v[1]);
    // A negative size mirrors the picture.
    m_painter.scale(v[2] < 0 ? -1.0 : 1.0, v[3] < 0 ? -1.0 : 1.0);
    m_painter.drawImage(
        QRectF(0, 0, std::abs(v[2]), std::abs(v[3])), image, QRectF(0, 0, v[4], v[5]));
    m_painter.restore();
}

}
