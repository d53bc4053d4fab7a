#pragma once

#include "render/GdiTypes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <memory>
#include <vector>

namespace vorlix::render {

// Turns font descriptions into Qt fonts, the same way for measuring and for painting so that
// drawn text is exactly as wide as it was measured: a positive lfHeight is the cell height
// (ascent + descent) in device pixels, a negative one the em size; lfWidth, when set, stretches
// the face so that a half-width grid step is lfWidth wide. Hinting and kerning are off: the
// layout measures character by character without kerning, and must not depend on the device.
class QtFontCache {
public:
    struct Entry {
        LogFont description;
        QFont font;
        QFontMetricsF metrics;
    };

    QtFontCache();

    // The cache shared by measuring and painting (everything runs on the one GUI thread).
    [[nodiscard]] static QtFontCache& shared();

    // The Qt font and its metrics for a description; the reference is valid until the next call.
    [[nodiscard]] const Entry& get(const LogFont& description);

    // A Qt font for a face at a point size, with the same rendering options.
    [[nodiscard]] static QFont pointFont(
        const QString& faceName, double pointSize, bool bold, bool italic);

private:
    [[nodiscard]] QFont makeFont(const LogFont& description);
    [[nodiscard]] double emPerCell(const QString& faceName);

    std::vector<std::unique_ptr<Entry>> m_entries;
    QHash<QString, double> m_emPerCell;
    Entry* m_last = nullptr;
};

}
