#pragma once

#include "render/GdiTypes.h"

#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vorlix::render {

class PdfFont;
class PdfFontRegistry;

// Lays text out the way the painter does (the same Qt font, fallback fonts included) and keeps
// the result per thread: forms print the same captions on every page, and shaping is the page
// workers' largest cost.
class PdfTextShaper {
public:
    // The glyphs of one font, positioned from the layout's left end of the baseline. A font
    // that cannot be embedded (no outline tables) comes as the glyphs' outlines instead.
    // Upright glyphs of a vertical face are in a font for vertical writing and positioned by
    // their vertical origins; they stand turned a quarter counter-clockwise against the line.
    struct Run {
        std::shared_ptr<const PdfFont> font;
        QPainterPath outline;
        double pixelSize = 0.0;
        double lineThickness = 0.0;
        std::vector<std::uint32_t> glyphs;
        std::vector<QPointF> positions;
        // Each glyph once, with the text it stands for (empty when no one character maps to it).
        std::vector<std::pair<std::uint32_t, QString>> texts;
        bool upright = false;
    };
    struct Shaped {
        std::vector<Run> runs;
        double width = 0.0;
    };

    // The text in the font; the reference stays valid until the thread shapes again.
    [[nodiscard]] static const Shaped& shape(
        PdfFontRegistry& fonts, const LogFont& font, const QString& text);
};

}
