#pragma once

#include <QString>

namespace vorlix::render {

// A face name that begins with "@" names the vertical variant of the face without it, as stored
// forms name the faces of envelopes, postcards and address labels ("@ＭＳ 明朝").
namespace VerticalFace {

    [[nodiscard]] inline bool isVertical(const QString& faceName)
    {
        return faceName.startsWith(u'@');
    }

    // The face to look the font up by: the name without its "@".
    [[nodiscard]] inline QString familyOf(const QString& faceName)
    {
        return isVertical(faceName) ? faceName.mid(1) : faceName;
    }

    // Whether a character stands upright in a vertical line: the full-width ones, those the code
    // page writes in two bytes (above U+00FF, but for the half-width forms). Half-width
    // characters lie on their side along the line.
    [[nodiscard]] inline bool standsUpright(char32_t c)
    {
        const bool halfWidthForm = (c >= 0xFF61 && c <= 0xFFDC) || (c >= 0xFFE8 && c <= 0xFFEE);
        return c > 0xFF && !halfWidthForm;
    }

}

}
