#include "render/PageRecord.h"

#include "render/PagePainter.h"

#include <QStringList>
#include <algorithm>

namespace vorlix::render {

PageRecord::PageRecord(
    int dpi, const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls)
    : m_dpi(dpi)
    , m_frame(frame)
    , m_deviceSize(deviceSize)
{
    m_calls.reserve(expectedCalls);
}

void PageRecord::add(Op op, std::initializer_list<std::int32_t> values, std::int32_t index)
{
    Call& call = m_calls.emplace_back();
    call.op = op;
    std::copy(values.begin(), values.end(), call.v);
    call.index = index;
}

void PageRecord::addText(int x, int y, const QString& text)
{
    m_texts.push_back(text);
    add(Op::TextOut, { x, y }, static_cast<std::int32_t>(m_texts.size() - 1));
}

void PageRecord::addFont(const LogFont& font)
{
    // Pages select the same few fonts over and over: keep one copy of each.
    std::int32_t index = -1;
    for (std::size_t i = m_fonts.size(); i-- > 0;) {
        if (m_fonts[i] == font) {
            index = static_cast<std::int32_t>(i);
            break;
        }
    }
    if (index < 0) {
        m_fonts.push_back(font);
        index = static_cast<std::int32_t>(m_fonts.size() - 1);
    }
    add(Op::SelectFont, {}, index);
}

void PageRecord::addPen(const PenDesc& pen)
{
    add(Op::SelectPen, { pen.style, pen.width, pen.color });
}

void PageRecord::addBrush(const BrushDesc& brush)
{
    add(Op::SelectBrush, { brush.hollow ? 1 : 0, brush.color });
}

void PageRecord::addImage(int x, int y, int w, int h, const QImage& image, int srcW, int srcH)
{
    m_images.push_back(image);
    add(Op::StretchImage, { x, y, w, h, srcW, srcH },
        static_cast<std::int32_t>(m_images.size() - 1));
}

}

namespace vorlix::render {

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

    QString numbers(const PageRecord::Call& call, int count)
    {
        QStringList parts;
        for (int i = 0; i < count; ++i)
            parts << QString::number(call.v[i]);
        return parts.join(u' ');
    }

}

QString PageRecord::dump() const
{
    QStringList lines;
    lines << QStringLiteral("page dpi=%1 frame=%2x%3 size=%4x%5")
                 .arg(m_dpi)
                 .arg(m_frame.right - m_frame.left)
                 .arg(m_frame.bottom - m_frame.top)
                 .arg(m_deviceSize.width())
                 .arg(m_deviceSize.height());
    for (const Call& call : m_calls) {
        switch (call.op) {
        case Op::MoveTo:
            lines << QStringLiteral("moveTo ") + numbers(call, 2);
            break;
        case Op::LineTo:
            lines << QStringLiteral("lineTo ") + numbers(call, 2);
            break;
        case Op::Rectangle:
            lines << QStringLiteral("rectangle ") + numbers(call, 4);
            break;
        case Op::FillRect:
            lines << QStringLiteral("fillRect ") + numbers(call, 4) + u' ' + colorText(call.v[4]);
            break;
        case Op::Ellipse:
            lines << QStringLiteral("ellipse ") + numbers(call, 4);
            break;
        case Op::Arc:
            lines << QStringLiteral("arc ") + numbers(call, 8);
            break;
        case Op::TextOut:
            lines << QStringLiteral("textOut ") + numbers(call, 2) + u' '
                    + quoted(text(call.index));
            break;
        case Op::SelectFont: {
            const LogFont& f = font(call.index);
            lines << QStringLiteral("selectFont h=%1 w=%2 esc=%3 weight=%4 italic=%5 underline=%6 "
                                    "strikeOut=%7 face=%8")
                         .arg(f.lfHeight)
                         .arg(f.lfWidth)
                         .arg(f.lfEscapement)
                         .arg(f.lfWeight)
                         .arg(f.lfItalic ? 1 : 0)
                         .arg(f.lfUnderline ? 1 : 0)
                         .arg(f.lfStrikeOut ? 1 : 0)
                         .arg(quoted(f.lfFaceName));
            break;
        }
        case Op::SelectPen:
            lines << QStringLiteral("selectPen style=%1 width=%2 color=%3")
                         .arg(call.v[0])
                         .arg(call.v[1])
                         .arg(colorText(call.v[2]));
            break;
        case Op::SelectBrush:
            lines << (call.v[0] != 0 ? QStringLiteral("selectBrush hollow")
                                     : QStringLiteral("selectBrush solid ") + colorText(call.v[1]));
            break;
        case Op::InitialFont:
            lines << QStringLiteral("initialFont");
            break;
        case Op::InitialPen:
            lines << QStringLiteral("initialPen");
            break;
        case Op::SetClip:
            lines << QStringLiteral("setClip ") + numbers(call, 4);
            break;
        case Op::ClearClip:
            lines << QStringLiteral("clearClip");
            break;
        case Op::StretchImage: {
            const QImage& picture = image(call.index);
            lines << QStringLiteral("stretchImage %1 src=%2x%3 image=%4x%5")
                         .arg(numbers(call, 4))
                         .arg(call.v[4])
                         .arg(call.v[5])
                         .arg(picture.width())
                         .arg(picture.height());
            break;
        }
        }
    }
    return lines.join(u'\n') + u'\n';
}

void PageRecord::play(QPainter& painter, const QRectF& target) const
{
    PagePainter(painter, *this).play(target);
}

}
