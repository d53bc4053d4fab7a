#pragma once

#include "render/GdiTypes.h"
#include "render/TextLayout.h"

#include <QString>
#include <array>
#include <cstdint>
#include <utility>

namespace vorlix::render {

class PageRecorder;
class TextMetrics;

// What the slots are defined and selected with: the page's device (selection and measurement),
// the target's text metrics at the reference resolution, and the binding's scale factors.
struct SlotContext {
    PageRecorder& device;
    const TextMetrics& metrics;
    int dpi = 400;
    double fontScale = 1.0;
    double penScale = 1.0;
    bool preview = false;
};

// The numbered font and pen slots a face program defines and selects: 0..16 each, slot 16 the
// blank template that is never defined in normal use. Slots live for one page (release). Font
// descriptions 0..15 also carry the metrics of the slot's last selection: lfHeight = H the height
// and lfWidth = W half the width of a full-width glyph. Slot numbers out of range raise RunError
// 9; an orientation whose tenths do not fit raises RunError 6.
class SlotTable {
public:
    // The widest patterned pen drawn as one-pixel strokes side by side; a wider one is drawn as
    // one stroke of its width, so that the strokes of a line never outnumber this.
    static constexpr std::int32_t MaxPatternStrokes = 64;

    // One font slot: the definition as passed, its direction and the font to select.
    struct FontSlot {
        bool inUse = false;
        // Being defined on demand by a selection (which then selects it itself).
        bool defining = false;
        QString faceName;
        double size = 0.0;
        // Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out.
        std::int32_t flags = 0;
        // Whole degrees, counter-clockwise.
        std::int32_t orientation = 0;
        double sinA = 0.0;
        double cosA = 1.0;
        LogFont font;
    };
    // One pen slot.
    struct PenSlot {
        bool inUse = false;
        bool defining = false;
        std::int32_t width = 0; // effective, in device units after scaling and thresholds
        ColorRef color = 0;
        std::int32_t style = 0; // as passed
        // The offsets of the one-pixel strokes a patterned thick pen is drawn with; 0 and 0
        // for a single stroke.
        std::int32_t strokeFrom = 0;
        std::int32_t strokeTo = 0;
        PenDesc pen;
    };

    SlotTable();

    // setFontType: defines font slot n (face, size in points, style bits, direction) measured on
    // the target, and selects it unless it is being defined on demand. A slot that is selected is
    // deselected first.
    void setFontType(std::int32_t n, const QString& faceName, double size, std::int32_t flags,
        std::int32_t orientation, const SlotContext& context);
    // FontNo: selects font slot n, defining it with the default font ("ＭＳ 明朝" 9 points) when
    // empty, and measures its metrics; selecting the current slot does nothing.
    void FontNo(std::int32_t n, const SlotContext& context);
    [[nodiscard]] std::int32_t FontNo() const { return m_curFont; }
    [[nodiscard]] const FontSlot& currentFont() const;

    // setPenType: defines pen slot n (width in face units scaled to the device, colour 0..15 from
    // the palette, style) and selects it unless it is being defined on demand.
    void setPenType(std::int32_t n, std::int32_t width, std::int32_t color, std::int32_t style,
        const SlotContext& context);
    // PenNo: selects pen slot n, defining it as a 1-unit black solid pen when empty.
    void PenNo(std::int32_t n, const SlotContext& context);
    [[nodiscard]] std::int32_t PenNo() const { return m_curPen; }
    [[nodiscard]] const PenSlot& currentPen() const;
    // Stroke offsets of the current pen (0, 0 when none is selected).
    [[nodiscard]] std::pair<std::int32_t, std::int32_t> strokes() const;

    // The description text is laid out with: the current slot's, else that of the last slot
    // selected.
    [[nodiscard]] const LogFont& currentDescription() const;
    [[nodiscard]] TextDirection direction() const;
    // Font description n (0..15).
    [[nodiscard]] const LogFont& description(std::int32_t n) const;

    // The page ends: every slot is blank again and nothing is selected, so that the next page
    // defines and selects its fonts and pens afresh. Descriptions are kept.
    void release();

    // The effective pen of a definition: width thresholds of the target (a preview shows the
    // printed width scaled by penScale, never thinner than a pixel when it prints), palette colour
    // and the strokes of a patterned thick pen up to MaxPatternStrokes wide.
    [[nodiscard]] static PenSlot definePen(
        std::int32_t width, std::int32_t color, std::int32_t style, double penScale, bool preview);

private:
    [[nodiscard]] FontSlot& fontSlot(std::int32_t n);
    [[nodiscard]] PenSlot& penSlot(std::int32_t n);
    [[nodiscard]] LogFont& descriptionOf(std::int32_t n);

    std::array<FontSlot, 17> m_fonts;
    std::array<LogFont, 16> m_descriptions;
    std::array<PenSlot, 17> m_pens;
    std::int32_t m_curFont = -1;
    std::int32_t m_curPen = -1;
    LogFont m_lastSelected;
};

}
