#include "render/EMF.h"

#include "render/Checked.h"
#include "render/PageRecorder.h"

#include <algorithm>
#include <optional>

namespace vorlix::render {

using checked::add;
using checked::rnd;
using checked::sub;

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

void EMF::AdvanceText(std::int32_t dx, std::int32_t dy)
{
    const FontSlot* slot = currentFontSlot();
    if (!slot || slot->orientation == 0) {
        m_devX = add(m_devX, dx);
        m_devY = add(m_devY, dy);
        return;
    }
    // dx runs along the baseline, dy across it, downwards for positive dy.
    m_devX = add(m_devX, rnd(dy * slot->sinA + dx * slot->cosA));
    m_devY = sub(m_devY, rnd(dx * slot->sinA - dy * slot->cosA));
}

void EMF::NewLine()
{
    m_devX = m_lineStartX;
    m_devY = m_lineStartY;
    AdvanceText(0, rnd(m_activeFont.lfHeight * 1.1));
}

void EMF::OutText(const QString& text, int after)
{
    if (m_emfDC)
        m_emfDC->textOut(m_devX, m_devY, text);
    if (after == 0) {
        m_extent = measure(text);
        AdvanceText(m_extent.width(), 0);
    } else if (after == 1) {
        NewLine();
    }
}

void EMF::OutWrapped(const QString& whole)
{
    if (m_lineWidth <= 0) {
        OutText(whole, 0);
        return;
    }
    QString text = whole;
    m_extent = measure(text);
    while (!text.isEmpty() && m_extent.width() >= m_remaining && m_extent.width() > 0) {
        // The longest prefix that fits, by measurement: a guess from the proportion, then
        // halving between the known bounds. Breaks fall on any character.
        const qsizetype length = text.size();
        qsizetype g = rnd(static_cast<double>(m_remaining) / m_extent.width() * length);
        g = std::clamp<qsizetype>(g, 1, length);
        qsizetype lower = 1;
        qsizetype upper = length;
        for (;;) {
            const int width = measure(text.left(g)).width();
            if (width == m_remaining)
                break;
            if (width > m_remaining)
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
        if (g < length && text[g - 1].isHighSurrogate())
            g = g > 1 ? g - 1 : g + 1;
        OutText(text.left(g), 1);
        text = text.mid(g);
        m_extent = measure(text);
        m_remaining = m_lineWidth;
        m_lineStartX = m_devX;
        m_lineStartY = m_devY;
    }
    m_remaining = sub(m_remaining, m_extent.width());
    OutText(text, 0);
}

void EMF::LPK(QString& text, std::int32_t width)
{
    if (width < 1) {
        // Drawn where the point is; the point does not move.
        OutText(text, -1);
        return;
    }
    m_lineWidth = LenX(width);
    m_lineStartX = m_devX;
    m_lineStartY = m_devY;
    m_remaining = LenX(width);
    OutWrapped(text);
}

void EMF::PrintLn(QString& text, std::int32_t width)
{
    if (width < 1) {
        m_lineWidth = -1;
        m_remaining = 99999;
    } else {
        m_lineWidth = LenX(width);
        m_remaining = m_lineWidth;
    }
    m_lineStartX = m_devX;
    m_lineStartY = m_devY;
    m_activeFont = currentDescription();
    m_markupDepth = 0;
    qsizetype pos = 0;
    OutMarkup(pos, text);
}

EMF::FontState EMF::VariantFont(double hs, double ws, bool bold, bool italic)
{
    const FontState previous { m_selectedFont, m_activeFont };
    LogFont variant = m_activeFont;
    variant.lfHeight = rnd(variant.lfHeight * hs);
    variant.lfWidth = rnd(variant.lfWidth * ws);
    if (bold)
        variant.lfWeight = 700;
    if (italic)
        variant.lfItalic = true;
    selectDeviceFont(variant);
    m_activeFont = variant;
    return previous;
}

void EMF::RestoreFont(const FontState& previous)
{
    selectDeviceFont(previous.selected);
    m_activeFont = previous.active;
}

void EMF::OutGridChar(QChar ch)
{
    if (m_emfDC)
        m_emfDC->textOut(m_devX, m_devY, QString(ch));
    const std::int32_t w = m_activeFont.lfWidth;
    const std::int32_t step = isDoubleByte(ch) ? checked::mul(2, w) : w;
    if (m_lineWidth <= 0) {
        AdvanceText(step, 0);
        return;
    }
    m_remaining = sub(m_remaining, step);
    if (m_remaining > 0) {
        AdvanceText(step, 0);
        return;
    }
    NewLine();
    m_remaining = m_lineWidth;
    m_lineStartX = m_devX;
    m_lineStartY = m_devY;
}

void EMF::OutLetter(QChar ch)
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
        const FontState previous = VariantFont(kind->hs, 1.0, false, false);
        const std::int32_t hs = m_activeFont.lfHeight;
        const std::int32_t ws = m_activeFont.lfWidth;
        const std::int32_t u = rnd(hs * kind->raise);
        const std::int32_t d = kind->greek ? rnd(ws * 0.45) : 0;
        const std::int32_t advance = kind->greek ? sub(checked::mul(2, ws), d) : ws;
        AdvanceText(-d, -u);
        if (m_emfDC)
            m_emfDC->textOut(m_devX, m_devY, QString(ch));
        m_remaining = sub(m_remaining, advance);
        AdvanceText(advance, u);
        RestoreFont(previous);
    } else if (greekAscenders.contains(ch)) {
        const std::int32_t w = m_activeFont.lfWidth;
        const std::int32_t d = rnd(w * 0.45);
        const std::int32_t advance = sub(checked::mul(2, w), d);
        AdvanceText(-d, 0);
        if (m_emfDC)
            m_emfDC->textOut(m_devX, m_devY, QString(ch));
        m_remaining = sub(m_remaining, advance);
        AdvanceText(advance, 0);
    } else {
        OutGridChar(ch);
    }
    if (m_lineWidth > 0 && m_remaining <= 0) {
        NewLine();
        m_remaining = m_lineWidth;
        m_lineStartX = m_devX;
        m_lineStartY = m_devY;
    }
}

void EMF::OutMarkup(qsizetype& pos, const QString& text)
{
    const int depth = ++m_markupDepth;
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
        const FontState previous = VariantFont(hs, hs, bold, italic);
        AdvanceText(0, -shift);
        if (n == u'{' && depth < maxMarkupDepth)
            OutMarkup(pos, text);
        else if (!n.isNull())
            OutGridChar(n);
        AdvanceText(0, shift);
        RestoreFont(previous);
        segStart = pos;
    };
    const auto lineBreak = [&] {
        NewLine();
        m_remaining = m_lineWidth;
        m_lineStartX = m_devX;
        m_lineStartY = m_devY;
    };

    for (;;) {
        if (pos >= text.size()) {
            flush();
            break;
        }
        const QChar c = text[pos];
        const QChar n = pos + 1 < text.size() ? text[pos + 1] : QChar();
        const std::int32_t h = m_activeFont.lfHeight;
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
            lineBreak();
            pos += (c == u'\r' && n == u'\n') ? 2 : 1;
            segStart = pos;
        } else if (c == u'\\') {
            if (!n.isNull() && escapable.contains(n)) {
                // The escaped character joins the pending run.
                OutWrapped(text.mid(segStart, pos - segStart) + n);
                pos += 2;
            } else {
                flush();
                lineBreak();
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
    --m_markupDepth;
}

}
