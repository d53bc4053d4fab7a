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

    // The numbers, each after a blank.
    QString spaced(std::initializer_list<int> values)
    {
        QString out;
        for (const int value : values)
            out += u' ' + QString::number(value);
        return out;
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

void PageDumper::add(Op op, const QString& rest)
{
    m_text += PageRecord::name(op) + rest + u'\n';
}

void PageDumper::moveTo(int x, int y)
{
    add(Op::MoveTo, spaced({ x, y }));
}

void PageDumper::lineTo(int x, int y)
{
    add(Op::LineTo, spaced({ x, y }));
}

void PageDumper::rectangle(int left, int top, int right, int bottom)
{
    add(Op::Rectangle, spaced({ left, top, right, bottom }));
}

void PageDumper::fillRect(int left, int top, int right, int bottom, ColorRef color)
{
    add(Op::FillRect, spaced({ left, top, right, bottom }) + u' ' + colorText(color));
}

void PageDumper::ellipse(int left, int top, int right, int bottom)
{
    add(Op::Ellipse, spaced({ left, top, right, bottom }));
}

void PageDumper::arc(
    int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    add(Op::Arc, spaced({ left, top, right, bottom, xStart, yStart, xEnd, yEnd }));
}

void PageDumper::textOut(int x, int y, const QString& text)
{
    add(Op::TextOut, spaced({ x, y }) + u' ' + quoted(text));
}

void PageDumper::selectFont(const LogFont& f)
{
    add(Op::SelectFont,
        QStringLiteral(" h=%1 w=%2 esc=%3 weight=%4 italic=%5 underline=%6 strikeOut=%7 face=%8")
            .arg(f.lfHeight)
            .arg(f.lfWidth)
            .arg(f.lfEscapement)
            .arg(f.lfWeight)
            .arg(f.lfItalic ? 1 : 0)
            .arg(f.lfUnderline ? 1 : 0)
            .arg(f.lfStrikeOut ? 1 : 0)
            .arg(quoted(f.lfFaceName)));
}

void PageDumper::selectPen(const PenDesc& pen)
{
    add(Op::SelectPen,
        QStringLiteral(" style=%1 width=%2 color=%3")
            .arg(pen.style)
            .arg(pen.width)
            .arg(colorText(pen.color)));
}

void PageDumper::selectBrush(const BrushDesc& brush)
{
    add(Op::SelectBrush,
        brush.hollow ? QStringLiteral(" hollow")
                     : QStringLiteral(" solid ") + colorText(brush.color));
}

void PageDumper::selectInitialFont()
{
    add(Op::InitialFont, {});
}

void PageDumper::selectInitialPen()
{
    add(Op::InitialPen, {});
}

void PageDumper::setClip(const DeviceRect& r)
{
    add(Op::SetClip, spaced({ r.left, r.top, r.right, r.bottom }));
}

void PageDumper::clearClip()
{
    add(Op::ClearClip, {});
}

void PageDumper::stretchImage(
    int x, int y, int width, int height, const QImage& image, int srcWidth, int srcHeight)
{
    add(Op::StretchImage,
        spaced({ x, y, width, height })
            + QStringLiteral(" src=%1x%2 image=%3x%4")
                  .arg(srcWidth)
                  .arg(srcHeight)
                  .arg(image.width())
                  .arg(image.height()));
}

}
