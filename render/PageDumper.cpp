#include "render/PageDumper.h"

#include <QImage>

namespace vorlix::render {

using Op = PageRecord::Op;

namespace {

    QString colorText(ColorRef c)
    {
        return QStringLiteral("#%1%2%3")
            .arg(redOf(c), 2, 16, QLatin1Char('0'))
            .arg(greenOf(c), 2, 16, QLatin1Char('0'))
            .arg(blueOf(c), 2, 16, QLatin1Char('0'));
    }

    // Six significant digits: enough for a module of a thousandth of a device unit.
    QString decimal(double value)
    {
        return QString::number(value, 'g', 6);
    }

    // Quotes a text so that the dump stays one line per call.
    QString quoted(const QString& text)
    {
        QString out = QStringLiteral("\"");
        for (const QChar ch : text) {
            if (ch == u'"' || ch == u'\\')
                out += u'\\';
            if (ch.unicode() < 0x20)
                out += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += ch;
        }
        return out + u'"';
    }

}

PageDumper::PageDumper(const PageRecord& page)
{
    const DeviceRect& frame = page.frame();
    m_text = QStringLiteral("page dpi=%1 frame=%2x%3 size=%4x%5\n")
                 .arg(page.dpi())
                 .arg(frame.right - frame.left)
                 .arg(frame.bottom - frame.top)
                 .arg(page.deviceSize().width())
                 .arg(page.deviceSize().height());
}

QString& PageDumper::begin(Op op, std::initializer_list<int> numbers)
{
    m_text += PageRecord::name(op);
    for (const int number : numbers) {
        m_text += u' ';
        m_text += QString::number(number);
    }
    return m_text;
}

void PageDumper::moveTo(int x, int y)
{
    begin(Op::MoveTo, { x, y }) += u'\n';
}

void PageDumper::lineTo(int x, int y)
{
    begin(Op::LineTo, { x, y }) += u'\n';
}

void PageDumper::rectangle(int left, int top, int right, int bottom)
{
    begin(Op::Rectangle, { left, top, right, bottom }) += u'\n';
}

void PageDumper::fillRect(int left, int top, int right, int bottom, ColorRef color)
{
    begin(Op::FillRect, { left, top, right, bottom }) += u' ' + colorText(color) + u'\n';
}

void PageDumper::ellipse(int left, int top, int right, int bottom)
{
    begin(Op::Ellipse, { left, top, right, bottom }) += u'\n';
}

void PageDumper::arc(
    int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    begin(Op::Arc, { left, top, right, bottom, xStart, yStart, xEnd, yEnd }) += u'\n';
}

void PageDumper::textOut(int x, int y, const QString& text)
{
    begin(Op::TextOut, { x, y }) += u' ' + quoted(text) + u'\n';
}

void PageDumper::selectFont(const LogFont& f)
{
    begin(Op::SelectFont)
        += QStringLiteral(" h=%1 w=%2 esc=%3 weight=%4 italic=%5 underline=%6 strikeOut=%7 face=%8")
               .arg(f.lfHeight)
               .arg(f.lfWidth)
               .arg(f.lfEscapement)
               .arg(f.lfWeight)
               .arg(f.lfItalic ? 1 : 0)
               .arg(f.lfUnderline ? 1 : 0)
               .arg(f.lfStrikeOut ? 1 : 0)
               .arg(quoted(f.lfFaceName))
        + u'\n';
}

void PageDumper::selectPen(const PenDesc& pen)
{
    begin(Op::SelectPen) += QStringLiteral(" style=%1 width=%2 color=%3")
                                .arg(pen.style)
                                .arg(pen.width)
                                .arg(colorText(pen.color))
        + u'\n';
}

void PageDumper::selectBrush(const BrushDesc& brush)
{
    begin(Op::SelectBrush) += (brush.hollow ? QStringLiteral(" hollow")
                                            : QStringLiteral(" solid ") + colorText(brush.color))
        + u'\n';
}

void PageDumper::selectInitialFont()
{
    begin(Op::InitialFont) += u'\n';
}

void PageDumper::selectInitialPen()
{
    begin(Op::InitialPen) += u'\n';
}

void PageDumper::setClip(const DeviceRect& r)
{
    begin(Op::SetClip, { r.left, r.top, r.right, r.bottom }) += u'\n';
}

void PageDumper::clearClip()
{
    begin(Op::ClearClip) += u'\n';
}

void PageDumper::stretchImage(
    int x, int y, int width, int height, const QImage& image, int srcWidth, int srcHeight)
{
    begin(Op::StretchImage, { x, y, width, height }) += QStringLiteral(" src=%1x%2 image=%3x%4")
                                                            .arg(srcWidth)
                                                            .arg(srcHeight)
                                                            .arg(image.width())
                                                            .arg(image.height())
        + u'\n';
}

void PageDumper::fillBars(const BarPattern& bars)
{
    QString& line = begin(Op::FillBars);
    line += QStringLiteral(" %1,%2 module=%3x%4 grid=%5 %6 n=%7")
                .arg(decimal(bars.origin.x()), decimal(bars.origin.y()), decimal(bars.moduleWidth),
                    decimal(bars.moduleHeight),
                    bars.squareModules ? QStringLiteral("square") : QStringLiteral("bars"),
                    colorText(bars.color))
                .arg(bars.size());
    for (qsizetype i = 0; i < bars.size(); ++i) {
        const QRectF& bar = (*bars.bars)[static_cast<std::size_t>(i)];
        line += QStringLiteral(" %1,%2,%3,%4")
                    .arg(decimal(bar.x()), decimal(bar.y()), decimal(bar.width()),
                        decimal(bar.height()));
    }
    line += u'\n';
}

}
