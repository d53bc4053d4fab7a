#include "render/TextLayout.h"

#include "render/PageRecorder.h"
#include "render/RunAdvances.h"
#include "shell/Checked.h"

#include <algorithm>
#include <optional>

namespace vorlix::render {

using namespace shell::checked;

namespace {

    // Groups nested deeper than this are drawn as plain characters: a pathological text must
    // not exhaust the stack.
    constexpr int maxMarkupDepth = 256;

    const QString escapable = QStringLiteral("^_#|!{}\\");

    // Mathematical letters drawn enlarged to the height of capitals, by class.
    const QString latinXHeight = QStringLiteral("acemnorstuvwxz");
    const QString latinDescenders = QStringLiteral("gpqy");
    const QString greekXHeight = QStringLiteral("αγεηικμνοπρστυω");
    const QString greekAscenders = QStringLiteral("βδζθλξ");
    const QString greekDescenders = QStringLiteral("φχψ");

    // A character outside the single-byte range takes two bytes and a full grid step.
    bool isDoubleByte(QChar ch)
    {
        return ch.unicode() > 255;
    }

}

// A variant of the font in use, selected while it lives; the font selected before it and the
// metrics in use come back when it ends, however the group ends.
class TextLayout::FontVariant {
public:
    FontVariant(TextLayout& layout, double hs, double ws, bool bold, bool italic)
        : m_layout(layout)
        , m_selected(layout.m_device.selectedFont())
        , m_font(layout.m_font)
    {
        LogFont variant = m_font;
        variant.lfHeight = rnd(variant.lfHeight * hs);
        variant.lfWidth = rnd(variant.lfWidth * ws);
        if (bold)
            variant.lfWeight = 700;
        if (italic)
            variant.lfItalic = true;
        m_layout.m_device.selectFont(variant);
        m_layout.m_font = variant;
    }
    ~FontVariant()
    {
        m_layout.m_device.selectFont(m_selected);
        m_layout.m_font = m_font;
    }
    FontVariant(const FontVariant&) = delete;
    FontVariant& operator=(const FontVariant&) = delete;

private:
    TextLayout& m_layout;
    LogFont m_selected;
    LogFont m_font;
};

TextLayout::TextLayout(
    PageRecorder& device, Point& point, TextDirection direction, const LogFont& font)
    : m_device(device)
    , m_point(point)
    , m_direction(direction)
    , m_font(font)
{
}

void TextLayout::LPK(const QString& text, std::optional<std::int32_t> lineWidth)
{
    if (!lineWidth) {
        OutText(text, -1);
        return;
    }
    m_lineWidth = *lineWidth;
    m_lineStart = m_point;
    m_remaining = *lineWidth;
    OutWrapped(text);
}

void TextLayout::PrintLn(const QString& text, std::optional<std::int32_t> lineWidth)
{
    m_lineWidth = lineWidth.value_or(-1);
    m_remaining = lineWidth.value_or(99999);
    m_lineStart = m_point;
    m_depth = 0;
    qsizetype pos = 0;
    OutMarkup(pos, text);
}

void TextLayout::alignedText(const QString& text, TextAlign align)
{
    const Point start = m_point;
    if (align != TextAlign::Start) {
        const std::int32_t width = m_device.textExtent(text).width();
        AdvanceText(-(align == TextAlign::End ? width : rnd(width * 0.5)), 0);
    }
    OutText(text, -1);
    m_point = start;
}

void TextLayout::AdvanceText(std::int32_t dx, std::int32_t dy)
{
    if (m_direction.orientation == 0) {
        m_point.x = add(m_point.x, dx);
        m_point.y = add(m_point.y, dy);
        return;
    }
    // dx runs along the baseline, dy across it, downwards for positive dy.
    m_point.x = add(m_point.x, rnd(dy * m_direction.sinA + dx * m_direction.cosA));
    m_point.y = sub(m_point.y, rnd(dx * m_direction.sinA - dy * m_direction.cosA));
}

void TextLayout::NewLine()
{
    m_point = m_lineStart;
    AdvanceText(0, rnd(m_font.lfHeight * 1.1));
}

void TextLayout::breakLine()
{
    NewLine();
    m_remaining = m_lineWidth;
    m_lineStart = m_point;
}

void TextLayout::OutText(const QString& text, int after)
{
    m_device.textOut(m_point.x, m_point.y, text);
    if (after == 0)
        AdvanceText(m_device.textExtent(text).width(), 0);
    else if (after == 1)
        NewLine();
}

void TextLayout::OutWrapped(const QString& text)
{
    if (m_lineWidth <= 0) {
        OutText(text, 0);
        return;
    }
    const RunAdvances advances(m_device, text);
    const qsizetype length = text.size();
    qsizetype start = 0;
    int width = advances.width(start, length);
    while (start < length && width >= m_remaining && width > 0) {
        const qsizetype g = fittingLength(advances, start, length - start, width);
        OutText(text.mid(start, g), 1);
        start += g;
        width = advances.width(start, length);
        m_remaining = m_lineWidth;
        m_lineStart = m_point;
    }
    m_remaining = sub(m_remaining, width);
    OutText(start == 0 ? text : text.mid(start), 0);
}

qsizetype TextLayout::fittingLength(
    const RunAdvances& advances, qsizetype start, qsizetype length, int width) const
{
    // The longest prefix that fits: a guess from the proportion, then halving between the known
    // bounds. Breaks fall on any character.
    qsizetype g = rnd(static_cast<double>(m_remaining) / width * length);
    g = std::clamp<qsizetype>(g, 1, length);
    qsizetype lower = 1;
    qsizetype upper = length;
    for (;;) {
        const int prefix = advances.width(start, start + g);
        if (prefix == m_remaining)
            break;
        if (prefix > m_remaining)
            upper = g;
        else
            lower = g;
        const qsizetype middle = (lower + upper) / 2;
        if (middle == lower || middle == upper) {
            g = middle;
            break;
        }
        g = middle;
    }
    // A character outside the basic plane is never cut in half.
    if (g < length && advances.text()[start + g - 1].isHighSurrogate())
        g = g > 1 ? g - 1 : g + 1;
    return g;
}

void TextLayout::OutGridChar(QChar ch)
{
    m_device.textOut(m_point.x, m_point.y, QString(ch));
    const std::int32_t w = m_font.lfWidth;
    const std::int32_t step = isDoubleByte(ch) ? mul(2, w) : w;
    if (m_lineWidth <= 0) {
        AdvanceText(step, 0);
        return;
    }
    m_remaining = sub(m_remaining, step);
    if (m_remaining > 0)
        AdvanceText(step, 0);
    else
        breakLine();
}

void TextLayout::OutLetter(QChar ch)
{
    struct Enlarged {
        double hs;
        double raise;
        bool greek;
    };
    std::optional<Enlarged> kind;
    if (latinXHeight.contains(ch))
        kind = Enlarged { 1.45, 0.25, false };
    else if (latinDescenders.contains(ch))
        kind = Enlarged { 1.1, 0.2, false };
    else if (greekXHeight.contains(ch))
        kind = Enlarged { 1.4, 0.25, true };
    else if (greekDescenders.contains(ch))
        kind = Enlarged { 1.1, 0.2, true };

    if (kind) {
        const FontVariant variant(*this, kind->hs, 1.0, false, false);
        const std::int32_t hs = m_font.lfHeight;
        const std::int32_t ws = m_font.lfWidth;
        const std::int32_t u = rnd(hs * kind->raise);
        const std::int32_t d = kind->greek ? rnd(ws * 0.45) : 0;
        const std::int32_t advance = kind->greek ? sub(mul(2, ws), d) : ws;
        AdvanceText(-d, -u);
        m_device.textOut(m_point.x, m_point.y, QString(ch));
        m_remaining = sub(m_remaining, advance);
        AdvanceText(advance, u);
    } else if (greekAscenders.contains(ch)) {
        const std::int32_t w = m_font.lfWidth;
        const std::int32_t d = rnd(w * 0.45);
        const std::int32_t advance = sub(mul(2, w), d);
        AdvanceText(-d, 0);
        m_device.textOut(m_point.x, m_point.y, QString(ch));
        m_remaining = sub(m_remaining, advance);
        AdvanceText(advance, 0);
    } else {
        OutGridChar(ch);
    }
    if (m_lineWidth > 0 && m_remaining <= 0)
        breakLine();
}

void TextLayout::OutMarkup(qsizetype& pos, const QString& text)
{
    const int depth = ++m_depth;
    qsizetype segStart = pos;
    const auto flush = [&] {
        if (segStart < pos)
            OutWrapped(text.mid(segStart, pos - segStart));
    };
    // A raised, lowered, bold or italic group or single character in a variant of the font.
    const auto variantGroup = [&](double hs, bool bold, bool italic, std::int32_t shift) {
        const QChar n = pos + 1 < text.size() ? text[pos + 1] : QChar();
        flush();
        pos += 2;
        {
            const FontVariant variant(*this, hs, hs, bold, italic);
            AdvanceText(0, -shift);
            if (n == u'{' && depth < maxMarkupDepth)
                OutMarkup(pos, text);
            else if (!n.isNull())
                OutGridChar(n);
            AdvanceText(0, shift);
        }
        segStart = pos;
    };

    for (;;) {
        if (pos >= text.size()) {
            flush();
            break;
        }
        const QChar c = text[pos];
        const QChar n = pos + 1 < text.size() ? text[pos + 1] : QChar();
        const std::int32_t h = m_font.lfHeight;
        if (c == u'^') {
            variantGroup(0.7, false, false, h / 4);
        } else if (c == u'_') {
            variantGroup(0.7, false, false, -(h / 2));
        } else if (c == u'!') {
            variantGroup(1.0, true, false, 0);
        } else if (c == u'|') {
            variantGroup(1.0, false, true, 0);
        } else if (c == u'#') {
            flush();
            pos += 2;
            if (!n.isNull())
                OutLetter(n);
            segStart = pos;
        } else if (c == u'\r' || c == u'\n') {
            flush();
            breakLine();
            pos += (c == u'\r' && n == u'\n') ? 2 : 1;
            segStart = pos;
        } else if (c == u'\\') {
            if (!n.isNull() && escapable.contains(n)) {
                // The escaped character joins the pending run.
                OutWrapped(text.mid(segStart, pos - segStart) + n);
                pos += 2;
            } else {
                flush();
                breakLine();
                pos += n == u'n' ? 2 : 1;
            }
            segStart = pos;
        } else if (c == u'}') {
            flush();
            pos += 1;
            break;
        } else if (c == u'{' && depth < maxMarkupDepth) {
            flush();
            pos += 1;
            OutMarkup(pos, text);
            segStart = pos;
        } else {
            pos += 1;
        }
    }
    --m_depth;
}

}
