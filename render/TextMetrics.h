#pragma once

#include "render/GdiTypes.h"

#include <QSize>
#include <QString>

namespace vorlix::render {

// Text measurement on a reference device of a given resolution (dots per inch). The surface
// measures through this so that layout is exact on the device the page is meant for, and so that
// tests can use fixed metrics.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;

    // Cell size of the text in a font given by description, in device units of a device of the
    // resolution dpi (GetTextExtentPoint32 on the recording device).
    [[nodiscard]] virtual QSize extent(const LogFont& font, const QString& text, int dpi) const = 0;

    // Cell size of the text in a font given by face, point size and style, on a device of the
    // resolution dpi (measuring with the target's own font object).
    [[nodiscard]] virtual QSize pointExtent(const QString& faceName, double pointSize, bool bold,
        bool italic, const QString& text, int dpi) const = 0;

    // The advance of the text along its line before rounding to whole device units: what the
    // cell's width is rounded from. Metrics in whole units answer with the cell's width.
    [[nodiscard]] virtual double advance(const LogFont& font, const QString& text, int dpi) const
    {
        return extent(font, text, dpi).width();
    }
};

}
