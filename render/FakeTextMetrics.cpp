#include "render/FakeTextMetrics.h"

#include "shell/Convert.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace vorlix::render {

namespace {

    QSize measureFixed(int height, int halfWidth, const QString& text)
    {
        // Summed wide: a huge font's text is wider than an int holds, and is cut to the most.
        std::int64_t width = 0;
        for (const QChar ch : text) {
            // A surrogate pair is one character, counted at its second half.
            if (ch.isHighSurrogate())
                continue;
            width += ch.unicode() > 255 ? 2 * std::int64_t { halfWidth } : halfWidth;
        }
        return { static_cast<int>(std::min<std::int64_t>(width, std::numeric_limits<int>::max())),
            height };
    }

}

QSize FakeTextMetrics::extent(const LogFont& font, const QString& text, int) const
{
    const int height = std::abs(font.lfHeight);
    const int halfWidth = font.lfWidth != 0 ? std::abs(font.lfWidth) : height / 2;
    return measureFixed(height, halfWidth, text);
}

QSize FakeTextMetrics::pointExtent(
    const QString&, double pointSize, bool, bool, const QString& text, int dpi) const
{
    const int height = shell::toInt32(pointSize * dpi / 72.0);
    return measureFixed(height, height / 2, text);
}

}
