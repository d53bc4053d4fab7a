#include "render/FakeTextMetrics.h"

#include "shell/Convert.h"

#include <cstdlib>

namespace vorlix::render {

namespace {

    QSize measureFixed(int height, int halfWidth, const QString& text)
    {
        int width = 0;
        for (const QChar ch : text) {
            // A surrogate pair is one character, counted at its second half.
            if (ch.isHighSurrogate())
                continue;
            width += ch.unicode() > 255 ? 2 * halfWidth : halfWidth;
        }
        return { width, height };
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
