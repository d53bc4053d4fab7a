#pragma once

#include "render/TextMetrics.h"

namespace vorlix::render {

// Fixed metrics for tests, so that positions are exact without any font:
// - a font given by description has a cell height of lfHeight; a half-width character (code
//   up to 255) is lfWidth wide, or lfHeight / 2 (truncated) when lfWidth is 0; any other
//   character (a surrogate pair counts as one, at its second half) is full-width, twice that;
// - a font given by points has a cell height of rnd(pointSize x dpi / 72) and the same widths
//   with lfWidth 0.
// Example: EMF emf(std::make_shared<FakeTextMetrics>()); at 400 dpi the default font (9 points)
// gets lfHeight 50 and lfWidth 25, so "○" is 50 x 50 and "AB" is 50 wide.
class FakeTextMetrics final : public TextMetrics {
public:
    [[nodiscard]] QSize extent(const LogFont& font, const QString& text, int dpi) const override;
    [[nodiscard]] QSize pointExtent(const QString& faceName, double pointSize, bool bold,
        bool italic, const QString& text, int dpi) const override;
};

}
