#pragma once

#include "render/GdiTypes.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace vorlix::render {

// The device the drawing surface talks to, shaped after the GDI calls it makes. All coordinates
// are device units of the page's reference device. Drawing uses the selected pen, brush and font
// the way GDI does: outlines with the pen, interiors with the brush, text anchored at the top
// left of its cell and turned by the font's escapement, transparent background.
class Device {
public:
    virtual ~Device() = default;

    virtual void moveTo(int x, int y) = 0;
    // Draws from the current point to (x, y), which becomes the current point.
    virtual void lineTo(int x, int y) = 0;
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    // Fills without outline, pen and brush untouched.
    virtual void fillRect(int left, int top, int right, int bottom, ColorRef color) = 0;
    virtual void ellipse(int left, int top, int right, int bottom) = 0;
    // Counter-clockwise arc of the ellipse in the box, from the start ray to the end ray.
    virtual void arc(
        int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
        = 0;
    virtual void textOut(int x, int y, const QString& text) = 0;
    // Size of the text's cell in the selected font, unrotated.
    [[nodiscard]] virtual QSize textExtent(const QString& text) = 0;

    virtual void selectFont(const LogFont& font) = 0;
    virtual void selectPen(const PenDesc& pen) = 0;
    virtual void selectBrush(const BrushDesc& brush) = 0;
    // The device's initial objects (what a fresh page starts with).
    virtual void selectInitialFont() = 0;
    virtual void selectInitialPen() = 0;

    // Clips later drawing to the rectangle (normalised); an empty rectangle clips everything.
    virtual void setClip(const DeviceRect& rect) = 0;
    virtual void clearClip() = 0;

    // Draws the source part (0, 0, srcWidth, srcHeight) of the image stretched into the box at
    // (x, y) of the signed size (width, height); a negative size mirrors.
    virtual void stretchImage(
        int x, int y, int width, int height, const QImage& image, int srcWidth, int srcHeight)
        = 0;
};

}
