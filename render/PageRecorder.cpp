#include "render/PageRecorder.h"

#include "render/TextMetrics.h"

namespace vorlix::render {

using Op = PageRecord::Op;

PageRecorder::PageRecorder(std::shared_ptr<const TextMetrics> metrics, int dpi,
    const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls)
    : m_metrics(std::move(metrics))
    , m_record(dpi, frame, deviceSize, expectedCalls)
    , m_font(initialFont())
{
}

PageRecord PageRecorder::take()
{
    PageRecord page = std::move(m_record);
    m_record = PageRecord(page.dpi(), page.frame(), page.deviceSize());
    return page;
}

LogFont PageRecorder::initialFont()
{
    LogFont font;
    font.lfHeight = 16;
    font.lfWeight = 700;
    font.lfCharSet = 0;
    font.lfFaceName = QStringLiteral("System");
    return font;
}

void PageRecorder::moveTo(int x, int y)
{
    m_record.add(Op::MoveTo, { x, y });
}

void PageRecorder::lineTo(int x, int y)
{
    m_record.add(Op::LineTo, { x, y });
}

void PageRecorder::rectangle(int left, int top, int right, int bottom)
{
    m_record.add(Op::Rectangle, { left, top, right, bottom });
}

void PageRecorder::fillRect(int left, int top, int right, int bottom, ColorRef color)
{
    m_record.add(Op::FillRect, { left, top, right, bottom, color });
}

void PageRecorder::ellipse(int left, int top, int right, int bottom)
{
    m_record.add(Op::Ellipse, { left, top, right, bottom });
}

void PageRecorder::arc(
    int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    m_record.add(Op::Arc, { left, top, right, bottom, xStart, yStart, xEnd, yEnd });
}

void PageRecorder::textOut(int x, int y, const QString& text)
{
    // Drawing no characters leaves no trace on the page.
    if (!text.isEmpty())
        m_record.addText(x, y, text);
}

QSize PageRecorder::textExtent(const QString& text)
{
    return m_metrics->extent(m_font, text, m_record.dpi());
}

void PageRecorder::selectFont(const LogFont& font)
{
    m_font = font;
    m_record.addFont(font);
}

void PageRecorder::selectPen(const PenDesc& pen)
{
    m_record.addPen(pen);
}

void PageRecorder::selectBrush(const BrushDesc& brush)
{
    m_record.addBrush(brush);
}

void PageRecorder::selectInitialFont()
{
    m_font = initialFont();
    m_record.add(Op::InitialFont, {});
}

void PageRecorder::selectInitialPen()
{
    m_record.add(Op::InitialPen, {});
}

void PageRecorder::setClip(const DeviceRect& rect)
{
    const DeviceRect r = rect.normalized();
    m_record.add(Op::SetClip, { r.left, r.top, r.right, r.bottom });
}

void PageRecorder::clearClip()
{
    m_record.add(Op::ClearClip, {});
}

void PageRecorder::stretchImage(
    int x, int y, int width, int height, const QImage& image, int srcWidth, int srcHeight)
{
    m_record.addImage(x, y, width, height, image, srcWidth, srcHeight);
}

}
