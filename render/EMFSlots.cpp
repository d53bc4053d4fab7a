#include "render/EMF.h"

#include "render/Checked.h"
#include "render/PageRecorder.h"
#include "render/TextMetrics.h"
#include "shell/CodePage.h"
#include "shell/RunError.h"

#include <cmath>

namespace vorlix::render {

using checked::rnd;

namespace {

    constexpr double pi = 3.14159265358979;
    const QString defaultFace = QStringLiteral("ＭＳ 明朝");

    void checkSlot(std::int32_t n)
    {
        if (n < 0 || n > 16)
            throw shell::RunError::subscriptOutOfRange();
    }

    // Resets a flag when the definition ends, also when it fails.
    class DefiningGuard {
    public:
        explicit DefiningGuard(bool& flag)
            : m_flag(flag)
        {
            m_flag = true;
        }
        ~DefiningGuard() { m_flag = false; }
        DefiningGuard(const DefiningGuard&) = delete;
        DefiningGuard& operator=(const DefiningGuard&) = delete;

    private:
        bool& m_flag;
    };

}

EMF::FontSlot& EMF::fontSlot(std::int32_t n)
{
    checkSlot(n);
    return m_fontSlots[static_cast<std::size_t>(n)];
}

EMF::PenSlot& EMF::penSlot(std::int32_t n)
{
    checkSlot(n);
    return m_penSlots[static_cast<std::size_t>(n)];
}

const EMF::FontSlot* EMF::currentFontSlot() const
{
    if (m_curFont < 0 || m_curFont > 16)
        return nullptr;
    return &m_fontSlots[static_cast<std::size_t>(m_curFont)];
}

const EMF::PenSlot* EMF::currentPenSlot() const
{
    if (m_curPen < 0 || m_curPen > 16)
        return nullptr;
    return &m_penSlots[static_cast<std::size_t>(m_curPen)];
}

const LogFont& EMF::currentDescription() const
{
    if (m_curFont >= 0 && m_curFont <= 15)
        return m_fontDesc[static_cast<std::size_t>(m_curFont)];
    return m_activeFont;
}

const LogFont& EMF::fontDescription(int n) const
{
    if (n < 0 || n > 15)
        throw shell::RunError::subscriptOutOfRange();
    return m_fontDesc[static_cast<std::size_t>(n)];
}

std::pair<std::int32_t, std::int32_t> EMF::penStrokes(int n) const
{
    if (n < 0 || n > 16)
        throw shell::RunError::subscriptOutOfRange();
    const PenSlot& slot = m_penSlots[static_cast<std::size_t>(n)];
    return { slot.strokeFrom, slot.strokeTo };
}

void EMF::selectDeviceFont(const LogFont& font)
{
    m_selectedFont = font;
    if (m_emfDC)
        m_emfDC->selectFont(font);
}

QSize EMF::measure(const QString& text)
{
    if (m_emfDC)
        return m_emfDC->textExtent(text);
    return m_metrics->extent(m_selectedFont, text, referenceDpi());
}

void EMF::setFontType(
    std::int32_t n, QString& faceName, double size, std::int32_t flags, std::int32_t orientation)
{
    FontSlot& slot = fontSlot(n);
    if (slot.inUse && n == m_curFont) {
        m_selectedFont = PageRecorder::initialFont();
        if (m_emfDC)
            m_emfDC->selectInitialFont();
        m_curFont = -1;
    }
    slot.inUse = false;
    slot.faceName = faceName;
    slot.size = size;
    slot.flags = flags;
    slot.orientation = orientation;
    const std::int32_t escapement = checked::mul(orientation, 10);
    slot.sinA = std::sin(orientation * pi / 180.0);
    slot.cosA = std::cos(orientation * pi / 180.0);

    // The cell height comes from the target's own font object at the point size.
    const QSize cell = m_metrics->pointExtent(faceName, size * m_fontScale, (flags & 1) != 0,
        (flags & 2) != 0, QStringLiteral("A"), referenceDpi());
    if (n > 15)
        throw shell::RunError::subscriptOutOfRange();

    LogFont& desc = m_fontDesc[static_cast<std::size_t>(n)];
    desc = LogFont {};
    desc.lfHeight = cell.height();
    desc.lfWidth = 0;
    desc.lfEscapement = escapement;
    desc.lfOrientation = escapement;
    desc.lfWeight = (flags & 1) != 0 ? 700 : 400;
    desc.lfItalic = (flags & 2) != 0;
    desc.lfUnderline = (flags & 4) != 0;
    desc.lfStrikeOut = (flags & 8) != 0;
    desc.lfCharSet = 128;
    if (shell::toCp932(faceName).size() > 31)
        throw shell::RunError::subscriptOutOfRange();
    desc.lfFaceName = faceName;

    slot.font = desc;
    slot.inUse = true;
    if (!slot.defining)
        FontNo(n);
}

void EMF::FontNo(std::int32_t n)
{
    if (n == m_curFont)
        return;
    FontSlot& slot = fontSlot(n);
    if (!slot.inUse) {
        const DefiningGuard guard(slot.defining);
        QString face = defaultFace;
        setFontType(n, face, 9.0, 0, 0);
    }
    selectDeviceFont(slot.font);
    m_savedFont = true;
    // The slot's metrics: H the height and W half the width of a full-width glyph.
    m_extent = measure(QStringLiteral("○"));
    if (n > 15)
        throw shell::RunError::subscriptOutOfRange();
    LogFont& desc = m_fontDesc[static_cast<std::size_t>(n)];
    desc.lfHeight = m_extent.height();
    desc.lfWidth = m_extent.width() / 2;
    m_activeFont = desc;
    m_curFont = n;
}

std::int32_t EMF::FontSize() const
{
    const FontSlot* slot = currentFontSlot();
    if (!slot)
        throw shell::RunError::subscriptOutOfRange();
    return rnd(slot->size);
}

std::int32_t EMF::FontStyle() const
{
    const FontSlot* slot = currentFontSlot();
    if (!slot)
        throw shell::RunError::subscriptOutOfRange();
    return slot->flags;
}

std::int32_t EMF::FontHeight()
{
    m_extent = measure(QStringLiteral("H"));
    return m_extent.height();
}

double EMF::FontOrientation() const
{
    return fontDescription(m_curFont).lfEscapement / 10.0;
}

QString EMF::FontName() const
{
    const FontSlot* slot = currentFontSlot();
    if (!slot)
        throw shell::RunError::subscriptOutOfRange();
    return slot->faceName;
}

void EMF::setPenType(std::int32_t n, std::int32_t width, std::int32_t color, std::int32_t style)
{
    PenSlot& slot = penSlot(n);
    if (slot.inUse && n == m_curPen) {
        if (m_emfDC)
            m_emfDC->selectInitialPen();
        m_curPen = -1;
    }
    slot.inUse = false;
    slot.strokeFrom = 0;
    slot.strokeTo = 0;

    const double w = width * m_penScale;
    std::int32_t effective = 0;
    if (!m_isPreview) {
        effective = w < 0.3 ? 0 : (w < 1.5 ? 1 : rnd(w));
    } else if (w > 0.4) {
        // The preview thins lines by how far the screen is from the print resolution.
        double shown = width;
        if (m_penScale < 1.4)
            shown = std::max(w / 4.0, 1.0);
        else if (m_penScale < 2.0)
            shown = std::max(w / 2.0, 1.0);
        effective = rnd(shown);
    }
    slot.width = effective;
    slot.color = paletteOrRgb(color);
    slot.style = style;

    if (effective == 0) {
        slot.pen = { static_cast<std::int32_t>(PenStyle::Null), 1, slot.color };
    } else if (effective <= 1 || style <= 0) {
        slot.pen = { style, effective, slot.color };
    } else {
        // A patterned thick pen: width + 1 one-pixel patterned strokes side by side.
        slot.strokeFrom = rnd(-effective / 2.0);
        slot.strokeTo = checked::add(slot.strokeFrom, effective);
        slot.pen = { style, 1, slot.color };
    }
    slot.inUse = true;
    if (!slot.defining)
        PenNo(n);
}

void EMF::PenNo(std::int32_t n)
{
    if (n == m_curPen)
        return;
    PenSlot& slot = penSlot(n);
    if (!slot.inUse) {
        const DefiningGuard guard(slot.defining);
        setPenType(n, 1, 0, 0);
    }
    if (m_emfDC)
        m_emfDC->selectPen(slot.pen);
    m_savedPen = true;
    m_curPen = n;
}

std::int32_t EMF::PenWidth() const
{
    const PenSlot* slot = currentPenSlot();
    if (!slot)
        throw shell::RunError::subscriptOutOfRange();
    return slot->width;
}

std::int32_t EMF::PenColor() const
{
    const PenSlot* slot = currentPenSlot();
    if (!slot)
        throw shell::RunError::subscriptOutOfRange();
    return slot->color;
}

std::int32_t EMF::PenStyle() const
{
    const PenSlot* slot = currentPenSlot();
    if (!slot)
        throw shell::RunError::subscriptOutOfRange();
    return slot->style;
}

void EMF::ReleaseGdiObjects()
{
    // Slots live for one page: the next page defines and selects its fonts and pens afresh. The
    // blank template is a fresh record, so a definition of slot 16 never leaks into the others.
    m_savedBrush = false;
    m_savedFont = false;
    m_savedPen = false;
    for (FontSlot& slot : m_fontSlots)
        slot = FontSlot {};
    for (PenSlot& slot : m_penSlots)
        slot = PenSlot {};
    m_curFont = -1;
    m_curPen = -1;
    m_selectedFont = PageRecorder::initialFont();
}

}
