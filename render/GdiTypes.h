#pragma once

#include <QString>
#include <cstdint>

// The small value types the drawing surface hands to its device: a font description in the shape
// of the platform's LOGFONT, a pen and a brush. Colours are kept as the program's Long colour
// values, 0x00BBGGRR, so that a colour written back to a face program reads the same as ever.
namespace vorlix::render {

using ColorRef = std::int32_t;

// Pen styles as the face program numbers them (the platform's own pen styles).
enum class PenStyle : std::int32_t {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3, // dash, dot
    DashDotDot = 4, // dash, dot, dot
    Null = 5, // draws nothing
    InsideFrame = 6, // drawn as a solid pen
};

// A font description in the shape of the platform's LOGFONT.
struct LogFont {
    std::int32_t lfHeight = 0; // cell height in device units
    std::int32_t lfWidth = 0; // half-width character width; 0 for the face's own proportion
    std::int32_t lfEscapement = 0; // direction, tenths of a degree counter-clockwise
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400; // 400 normal, 700 bold
    bool lfItalic = false;
    bool lfUnderline = false;
    bool lfStrikeOut = false;
    std::int32_t lfCharSet = 128; // 128 Shift_JIS, 0 the platform's own
    QString lfFaceName;

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// A pen as CreatePen takes it: style, width in device units, colour.
struct PenDesc {
    std::int32_t style = 0;
    std::int32_t width = 1;
    ColorRef color = 0;

    friend bool operator==(const PenDesc&, const PenDesc&) = default;
};

// A brush: hollow, or solid in one colour.
struct BrushDesc {
    bool hollow = true;
    ColorRef color = 0;

    friend bool operator==(const BrushDesc&, const BrushDesc&) = default;
};

// Entry n (0..15) of the standard 16-colour palette as a colour value (QBColor).
[[nodiscard]] ColorRef qbColor(int n);

// A colour number of a face program: 0..15 pick the palette, anything else is a colour value.
[[nodiscard]] ColorRef paletteOrRgb(std::int32_t color);

// A rectangle as GDI gives it: left, top, right, bottom (right and bottom exclusive).
struct DeviceRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // The same rectangle with left <= right and top <= bottom.
    [[nodiscard]] DeviceRect normalized() const;
    friend bool operator==(const DeviceRect&, const DeviceRect&) = default;
};

// A point, in face or device units (the platform's POINT).
struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

// Red, green and blue of a colour value.
[[nodiscard]] constexpr int redOf(ColorRef c)
{
    return c & 0xff;
}
[[nodiscard]] constexpr int greenOf(ColorRef c)
{
    return (c >> 8) & 0xff;
}
[[nodiscard]] constexpr int blueOf(ColorRef c)
{
    return (c >> 16) & 0xff;
}
[[nodiscard]] constexpr ColorRef rgb(int r, int g, int b)
{
    return (r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16);
}

}
