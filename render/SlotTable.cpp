#include "render/SlotTable.h"

#include "render/PageRecorder.h"
#include "render/TextMetrics.h"
#include "shell/Checked.h"
#include "shell/CodePage.h"
#include "shell/RunError.h"

#include <algorithm>
#include <cmath>

namespace vorlix::render {

using namespace shell::checked;

namespace {

    constexpr double pi = 3.14159265358979;
    const QString defaultFace = QStringLiteral("ＭＳ 明朝");

    void checkSlot(std::int32_t n, std::int32_t last)
    {
        if (n < 0 || n > last)
            throw shell::RunError::subscriptOutOfRange();
    }

    // Marks a slot as being defined on demand for as long as the definition runs, also when it
    // fails.
    class Defining {
    public:
        explicit Defining(bool& flag)
            : m_flag(flag)
        {
            m_flag = true;
        }
        ~Defining() { m_flag = false; }
        Defining(const Defining&) = delete;
        Defining& operator=(const Defining&) = delete;

    private:
        bool& m_flag;
    };

    // A slot about to be selected: an empty one is defined with the default first, without the
    // definition selecting it by itself.
    template <typename Slot, typename DefineDefault>
    Slot& readyToSelect(Slot& slot, DefineDefault defineDefault)
    {
        if (!slot.inUse) {
            const Defining defining(slot.defining);
            defineDefault();
        }
        return slot;
    }

    // The width in device units a pen of width w (already scaled) prints at.
    std::int32_t printedWidth(double w)
    {
        return w < 0.3 ? 0 : (w < 1.5 ? 1 : rnd(w));
    }

    // A font description as CreateFontIndirect takes it, from a slot's definition and the cell
    // height measured on the target.
    LogFont describe(
        const SlotTable::FontSlot& slot, std::int32_t escapement, std::int32_t cellHeight)
    {
        LogFont desc;
        desc.lfHeight = cellHeight;
        desc.lfWidth = 0;
        desc.lfEscapement = escapement;
        desc.lfOrientation = escapement;
        desc.lfWeight = (slot.flags & 1) != 0 ? 700 : 400;
        desc.lfItalic = (slot.flags & 2) != 0;
        desc.lfUnderline = (slot.flags & 4) != 0;
        desc.lfStrikeOut = (slot.flags & 8) != 0;
        desc.lfCharSet = 128;
        // The face name field holds 31 bytes of the code page and a terminating zero. A code-page
        // character takes at most two bytes, so a short name fits without converting it (faces
        // are defined on every page).
        if (slot.faceName.size() > 15 && shell::toCp932(slot.faceName).size() > 31)
            throw shell::RunError::subscriptOutOfRange();
        desc.lfFaceName = slot.faceName;
        return desc;
    }

}

SlotTable::SlotTable()
    : m_lastSelected(PageRecorder::initialFont())
{
}

SlotTable::FontSlot& SlotTable::fontSlot(std::int32_t n)
{
    checkSlot(n, 16);
    return m_fonts[static_cast<std::size_t>(n)];
}

SlotTable::PenSlot& SlotTable::penSlot(std::int32_t n)
{
    checkSlot(n, 16);
    return m_pens[static_cast<std::size_t>(n)];
}

LogFont& SlotTable::descriptionOf(std::int32_t n)
{
    checkSlot(n, 15);
    return m_descriptions[static_cast<std::size_t>(n)];
}

const LogFont& SlotTable::description(std::int32_t n) const
{
    checkSlot(n, 15);
    return m_descriptions[static_cast<std::size_t>(n)];
}

const SlotTable::FontSlot& SlotTable::currentFont() const
{
    checkSlot(m_curFont, 16);
    return m_fonts[static_cast<std::size_t>(m_curFont)];
}

const SlotTable::PenSlot& SlotTable::currentPen() const
{
    checkSlot(m_curPen, 16);
    return m_pens[static_cast<std::size_t>(m_curPen)];
}

const LogFont& SlotTable::currentDescription() const
{
    if (m_curFont >= 0 && m_curFont <= 15)
        return m_descriptions[static_cast<std::size_t>(m_curFont)];
    return m_lastSelected;
}

TextDirection SlotTable::direction() const
{
    if (m_curFont < 0)
        return {};
    const FontSlot& slot = currentFont();
    return { slot.orientation, slot.sinA, slot.cosA };
}

std::pair<std::int32_t, std::int32_t> SlotTable::strokes() const
{
    if (m_curPen < 0)
        return { 0, 0 };
    const PenSlot& slot = currentPen();
    return { slot.strokeFrom, slot.strokeTo };
}

void SlotTable::setFontType(std::int32_t n, const QString& faceName, double size,
    std::int32_t flags, std::int32_t orientation, const SlotContext& context)
{
    FontSlot& slot = fontSlot(n);
    if (slot.inUse && n == m_curFont) {
        context.device.selectInitialFont();
        m_curFont = -1;
    }
    slot.inUse = false;
    slot.faceName = faceName;
    slot.size = size;
    slot.flags = flags;
    slot.orientation = orientation;
    // Directions are kept in tenths of a degree.
    const std::int32_t escapement = mul(orientation, 10);
    slot.sinA = std::sin(orientation * pi / 180.0);
    slot.cosA = std::cos(orientation * pi / 180.0);

    // The cell height comes from the target's own font object at the point size.
    const QSize cell = context.metrics.pointExtent(faceName, size * context.fontScale,
        (flags & 1) != 0, (flags & 2) != 0, QStringLiteral("A"), context.dpi);
    LogFont& desc = descriptionOf(n);
    desc = describe(slot, escapement, cell.height());
    slot.font = desc;
    slot.inUse = true;
    if (!slot.defining)
        FontNo(n, context);
}

void SlotTable::FontNo(std::int32_t n, const SlotContext& context)
{
    if (n == m_curFont)
        return;
    const FontSlot& slot
        = readyToSelect(fontSlot(n), [&] { setFontType(n, defaultFace, 9.0, 0, 0, context); });
    context.device.selectFont(slot.font);
    // The slot's metrics: H the height and W half the width of a full-width glyph.
    const QSize extent = context.device.textExtent(QStringLiteral("○"));
    LogFont& desc = descriptionOf(n);
    desc.lfHeight = extent.height();
    desc.lfWidth = extent.width() / 2;
    m_lastSelected = desc;
    m_curFont = n;
}

SlotTable::PenSlot SlotTable::definePen(
    std::int32_t width, std::int32_t color, std::int32_t style, double penScale, bool preview)
{
    PenSlot slot;
    std::int32_t effective = 0;
    if (!preview) {
        effective = printedWidth(width * penScale);
    } else {
        // The preview is where a form is judged: a pen shows at the width it prints (at the
        // print target's own scale), and every pen that prints shows at least one pixel wide.
        const std::int32_t printed = printedWidth(width);
        effective = printed == 0 ? 0 : std::max(1, rnd(printed * penScale));
    }
    slot.width = effective;
    slot.color = paletteOrRgb(color);
    slot.style = style;
    if (effective == 0) {
        slot.pen = { static_cast<std::int32_t>(PenStyle::Null), 1, slot.color };
    } else if (effective <= 1 || style <= 0 || effective > MaxPatternStrokes) {
        // Solid pens of any width, and patterned pens too wide to draw stroke by stroke, are one
        // stroke of their width (a patterned one keeps the dash lengths of a one-pixel pen).
        slot.pen = { style, effective, slot.color };
    } else {
        // A patterned thick pen: width + 1 one-pixel patterned strokes side by side.
        slot.strokeFrom = rnd(-effective / 2.0);
        slot.strokeTo = add(slot.strokeFrom, effective);
        slot.pen = { style, 1, slot.color };
    }
    return slot;
}

void SlotTable::setPenType(std::int32_t n, std::int32_t width, std::int32_t color,
    std::int32_t style, const SlotContext& context)
{
    PenSlot& slot = penSlot(n);
    if (slot.inUse && n == m_curPen) {
        context.device.selectInitialPen();
        m_curPen = -1;
    }
    // A definition that fails leaves the slot empty.
    slot.inUse = false;
    PenSlot defined = definePen(width, color, style, context.penScale, context.preview);
    defined.inUse = true;
    defined.defining = slot.defining;
    slot = defined;
    if (!slot.defining)
        PenNo(n, context);
}

void SlotTable::PenNo(std::int32_t n, const SlotContext& context)
{
    if (n == m_curPen)
        return;
    const PenSlot& slot = readyToSelect(penSlot(n), [&] { setPenType(n, 1, 0, 0, context); });
    context.device.selectPen(slot.pen);
    m_curPen = n;
}

void SlotTable::release()
{
    // The blank template is a fresh record, so a definition of slot 16 never leaks into the
    // others.
    m_fonts.fill(FontSlot {});
    m_pens.fill(PenSlot {});
    m_curFont = -1;
    m_curPen = -1;
}

}
