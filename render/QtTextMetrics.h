#pragma once

#include "render/QtFontCache.h"
#include "render/TextMetrics.h"

#include <QImage>
#include <map>
#include <utility>
#include <vector>

namespace vorlix::render {

// Text metrics of the installed fonts on a reference device of the page's resolution: point
// sizes are turned into pixels at that resolution (never measured at the screen's and scaled).
class QtTextMetrics final : public TextMetrics {
public:
    QtTextMetrics();

    [[nodiscard]] QSize extent(const LogFont& font, const QString& text, int dpi) const override;
    [[nodiscard]] QSize pointExtent(const QString& faceName, double pointSize, bool bold,
        bool italic, const QString& text, int dpi) const override;
    [[nodiscard]] double advance(const LogFont& font, const QString& text, int dpi) const override;

private:
    [[nodiscard]] const QImage& referenceDevice(int dpi) const;

    struct PointKey {
        QString faceName;
        double pointSize;
        bool bold;
        bool italic;
        QString text;
        int dpi;
        friend bool operator==(const PointKey&, const PointKey&) = default;
    };

    mutable std::map<int, QImage> m_devices;
    // Faces are defined on every page with the same few arguments.
    mutable std::vector<std::pair<PointKey, QSize>> m_pointExtents;
};

}
