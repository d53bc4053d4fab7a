#include "render/QtTextMetrics.h"

#include "shell/Convert.h"

#include <QFontMetricsF>
#include <algorithm>

namespace vorlix::render {

namespace {

    int toDevice(double value)
    {
        return static_cast<int>(shell::roundHalfEven(value));
    }

}

QtTextMetrics::QtTextMetrics() = default;

QSize QtTextMetrics::extent(const LogFont& font, const QString& text, int) const
{
    return QtFontCache::shared().extent(font, text);
}

double QtTextMetrics::advance(const LogFont& font, const QString& text, int) const
{
    return QtFontCache::shared().advance(font, text);
}

QSize QtTextMetrics::pointExtent(const QString& faceName, double pointSize, bool bold, bool italic,
    const QString& text, int dpi) const
{
    if (pointSize <= 0.0)
        return { 0, 0 };
    PointKey key { faceName, pointSize, bold, italic, text, dpi };
    for (const auto& [known, size] : m_pointExtents) {
        if (known == key)
            return size;
    }
    const QFont font = QtFontCache::pointFont(faceName, pointSize, bold, italic);
    const QFontMetricsF metrics(font, &referenceDevice(dpi));
    const QSize size(toDevice(metrics.horizontalAdvance(text)), toDevice(metrics.height()));
    if (m_pointExtents.size() >= 64)
        m_pointExtents.clear();
    m_pointExtents.emplace_back(std::move(key), size);
    return size;
}

const QImage& QtTextMetrics::referenceDevice(int dpi) const
{
    auto found = m_devices.find(dpi);
    if (found == m_devices.end()) {
        QImage device(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = toDevice(std::max(dpi, 1) / 0.0254);
        device.setDotsPerMeterX(dotsPerMetre);
        device.setDotsPerMeterY(dotsPerMetre);
        found = m_devices.emplace(dpi, device).first;
    }
    return found->second;
}

}
