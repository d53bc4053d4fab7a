#include "render/SurfaceMapping.h"

#include "shell/Checked.h"

#include <cmath>

namespace vorlix::render {

using namespace shell::checked;

namespace {

    // Screen of the preview: 15 twips per pixel, so 96 pixels per inch.
    constexpr double screenTwipsPerPixel = 15.0;

}

void SurfaceMapping::bind(bool preview, std::int32_t dpi, double ratio, std::int32_t width,
    std::int32_t height, std::int32_t marginX, std::int32_t marginY)
{
    m_preview = preview;
    m_pageWidth = width;
    m_pageHeight = height;
    m_dpi = dpi;
    m_ratio = ratio;
    m_axesNormal = true;
    if (!preview) {
        m_penScale = ratio;
        m_fontScale = ratio;
        m_marginX = 0;
        m_marginY = 0;
    } else {
        m_fontScale = 1.0;
        // Pens show at their printed width: dots of the DPI become screen pixels at the zoom.
        m_penScale = divide(1440.0 / screenTwipsPerPixel, dpi) * ratio;
        m_marginX = marginX;
        m_marginY = marginY;
    }
    m_frame = { 0, 0, rnd(width * ratio * 10.0), rnd(height * ratio * 10.0) };
}

int SurfaceMapping::referenceDpi() const
{
    return m_preview ? static_cast<int>(1440.0 / screenTwipsPerPixel) : m_dpi;
}

void SurfaceMapping::openPage(double boxTwips)
{
    const double perFaceUnit = referenceDpi() / 254.0 * m_ratio;
    m_devWidth = rnd(std::abs(m_pageWidth * perFaceUnit));
    m_devHeight = rnd(std::abs(m_pageHeight * perFaceUnit));
    if (m_preview) {
        const double screenRatio
            = boxTwips > 0.0 ? m_devWidth / boxTwips * screenTwipsPerPixel : 1.0;
        m_fontScale = screenRatio * m_ratio;
    }
    clearShift();
}

void SurfaceMapping::setLag(std::int32_t x, std::int32_t y)
{
    m_lagX = x;
    m_lagY = y;
}

void SurfaceMapping::home(std::int32_t mode, std::int32_t x, std::int32_t y)
{
    m_axesNormal = mode <= 3;
    m_scaleX = divide(m_devWidth, m_pageWidth);
    m_scaleY = divide(m_devHeight, m_pageHeight);
    if (m_preview) {
        m_originX = rnd(x * m_scaleX);
        m_originY = rnd(y * m_scaleY);
    } else {
        // The printer position correction moves printed output only, never the preview.
        m_originX = rnd(add(x, m_lagX) * m_scaleX);
        m_originY = rnd(add(y, m_lagY) * m_scaleY);
    }
    m_mode = mode;
    if (mode == 1 || mode == 6 || mode == 3 || mode == 7)
        m_scaleX = -m_scaleX;
    if (mode == 2 || mode == 5 || mode == 3 || mode == 7)
        m_scaleY = -m_scaleY;
}

void SurfaceMapping::shift(std::int32_t dx, std::int32_t dy)
{
    const std::int32_t x = add(m_shiftX, dx);
    m_shiftY = add(m_shiftY, dy);
    m_shiftX = x;
}

std::int32_t SurfaceMapping::MapX(std::int32_t x) const
{
    const double face = static_cast<double>(x) + m_shiftX;
    return m_axesNormal ? rnd(face * m_scaleX + m_originX) : rnd(face * m_scaleY + m_originY);
}

std::int32_t SurfaceMapping::MapY(std::int32_t y) const
{
    const double face = static_cast<double>(y) + m_shiftY;
    return m_axesNormal ? rnd(face * m_scaleY + m_originY) : rnd(face * m_scaleX + m_originX);
}

std::int32_t SurfaceMapping::LenX(std::int32_t w) const
{
    return m_axesNormal ? rnd(w * m_scaleX) : rnd(w * m_scaleY);
}

std::int32_t SurfaceMapping::LenY(std::int32_t h) const
{
    return m_axesNormal ? rnd(h * m_scaleY) : rnd(h * m_scaleX);
}

void SurfaceMapping::MapPoint(std::int32_t x, std::int32_t y, Point& device) const
{
    if (m_axesNormal) {
        device.x = MapX(x);
        device.y = MapY(y);
    } else {
        device.y = MapX(x);
        device.x = MapY(y);
    }
}

void SurfaceMapping::moveX(std::int32_t x, Point& device) const
{
    (m_axesNormal ? device.x : device.y) = MapX(x);
}

void SurfaceMapping::moveY(std::int32_t y, Point& device) const
{
    (m_axesNormal ? device.y : device.x) = MapY(y);
}

QRect SurfaceMapping::playbackRect() const
{
    // The frame (0.01 mm) in pixels of the target: 0.567 twips per 0.01 mm.
    const double twipsPerPixel = m_preview ? screenTwipsPerPixel : 1440.0 / m_dpi;
    return { 0, 0, rnd(m_frame.right / twipsPerPixel * 0.567),
        rnd(m_frame.bottom / twipsPerPixel * 0.567) };
}

}
