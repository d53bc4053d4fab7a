#pragma once

#include "render/GdiTypes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QSize>
#include <memory>
#include <vector>

namespace vorlix::render {

// Turns font descriptions into Qt fonts, the same way for measuring and for painting so that
// drawn text is exactly as wide as it was measured: a positive lfHeight is the cell height
// (ascent + descent) in device pixels, a negative one the em size; lfWidth, when set, stretches
// the face so that a half-width grid step is lfWidth wide. Hinting and kerning are off: the
// layout measures character by character without kerning, and must not depend on the device.
//
// Text is measured once per description and text: the same font and text always give the same
// cell, and a face measures the same few texts (the grid glyph of every selection) on every page.
class QtFontCache {
public:
    struct Entry {
        LogFont description;
        QFont font;
        QFontMetricsF metrics;
        // A vertical face: text is measured and drawn as VerticalLayout lays it out.
        bool vertical = false;
        // Advances measured in this font, by text, before rounding.
        QHash<QString, double> advances = {};
    };

    QtFontCache();

    // The calling thread's cache, shared by its measuring and painting.
    [[nodiscard]] static QtFontCache& shared();

    // The Qt font and its metrics for a description; the reference is valid until the next call.
    [[nodiscard]] const Entry& get(const LogFont& description);
    // The cell of the text in the font of a description, in whole device pixels (advance and
    // height).
    [[nodiscard]] QSize extent(const LogFont& description, const QString& text);
    // The text's advance in device pixels, unrounded (the cell's width is rounded from it).
    [[nodiscard]] double advance(const LogFont& description, const QString& text);
    // Number of texts whose cells are kept, over all fonts.
    [[nodiscard]] qsizetype measuredTexts() const;

    // A Qt font for a face at a point size, with the same rendering options.
    [[nodiscard]] static QFont pointFont(
        const QString& faceName, double pointSize, bool bold, bool italic);

private:
    [[nodiscard]] Entry& entryFor(const LogFont& description);
    void forgetMeasurements();
    [[nodiscard]] QFont makeFont(const LogFont& description);
    [[nodiscard]] double emPerCell(const QString& faceName);

    std::vector<std::unique_ptr<Entry>> m_entries;
    QHash<QString, double> m_emPerCell;
    Entry* m_last = nullptr;
    // Characters of the texts kept in the entries' extents: the bound that keeps a long job's
    // memory flat.
    qsizetype m_measuredCharacters = 0;
};

}
