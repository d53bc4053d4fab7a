#include "render/EMF.h"

#include "render/Checked.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"
#include "render/PageSink.h"
#include "render/QtTextMetrics.h"

#include <array>
#include <cmath>

namespace vorlix::render {

using checked::add;
using checked::rnd;
using checked::sub;

namespace {

    // Screen of the preview: 15 twips per pixel, so 96 pixels per inch.
    constexpr double screenTwipsPerPixel = 15.0;

    struct MarkGlyph {
        char16_t glyph;
        enum Offset { Centred, Right, Left, Up, Down } offset;
    };

    // Mark kinds 1..16: centred shapes, then arrows that put their tip on the point.
    constexpr std::array<MarkGlyph, 16> markGlyphs = { {
        { u'○', MarkGlyph::Centred },
        { u'●', MarkGlyph::Centred },
        { u'□', MarkGlyph::Centred },
        { u'■', MarkGlyph::Centred },
        { u'◇', MarkGlyph::Centred },
        { u'◆', MarkGlyph::Centred },
        { u'△', MarkGlyph::Centred },
        { u'▲', MarkGlyph::Centred },
        { u'▽', MarkGlyph::Centred },
        { u'▼', MarkGlyph::Centred },
        { u'☆', MarkGlyph::Centred },
        { u'★', MarkGlyph::Centred },
        { u'→', MarkGlyph::Right },
        { u'←', MarkGlyph::Left },
        { u'↑', MarkGlyph::Up },
        { u'↓', MarkGlyph::Down },
    } };

    // A picture's size in 0.01 mm: from its own resolution, else 96 dots per inch.
    double pictureHimetric(int pixels, int dotsPerMetre)
    {
        if (dotsPerMetre > 0)
            return shell::roundHalfEven(pixels * 100000.0 / dotsPerMetre);
        return shell::roundHalfEven(pixels * 2540.0 / 96.0);
    }

}

EMF::EMF(std::shared_ptr<const TextMetrics> metrics)
    : m_metrics(metrics ? std::move(metrics) : std::make_shared<QtTextMetrics>())
{
    m_activeFont = PageRecorder::initialFont();
    m_selectedFont = m_activeFont;
}

EMF::~EMF()
{
    try {
        KillDoc();
    } catch (...) {
        // Ending the surface never fails towards its owner.
    }
}

void EMF::SetObject(PageSink& target, std::int32_t dc, std::int32_t dpi, double ratio,
    std::int32_t width, std::int32_t height, std::int32_t marginX, std::int32_t marginY)
{
    m_target = &target;
    m_isPreview = !target.isPrinter();
    m_targetDC = dc;
    m_pageWidth = width;
    m_pageHeight = height;
    m_dpi = dpi;
    m_ratio = ratio;
    m_screenRatio = 1.0;
    m_axesNormal = true;
    if (!m_isPreview) {
        m_penScale = ratio;
        m_fontScale = ratio;
        m_marginX = 0;
        m_marginY = 0;
    } else {
        m_fontScale = 1.0;
        m_penScale = checked::div(2880.0 / (screenTwipsPerPixel + screenTwipsPerPixel), dpi);
        m_marginX = marginX;
        m_marginY = marginY;
    }
    m_frameRect = { 0, 0, rnd(width * ratio * 10.0), rnd(height * ratio * 10.0) };
    m_initialised = true;
    m_docOpen = false;
    m_pageDone = false;
    m_docClosed = false;
    shell::WriteLog(QString::number(target.technology()));
}

void EMF::setRatio(double ratio)
{
    if (!m_target)
        return;
    SetObject(*m_target, m_targetDC, m_dpi, ratio, m_pageWidth, m_pageHeight, m_marginX, m_marginY);
}

void EMF::setLag(std::int32_t x, std::int32_t y)
{
    m_lagX = x;
    m_lagY = y;
    Home(0, 0, 0);
}

void EMF::getLtoP(double& sx, double& sy) const
{
    sx = m_scaleX;
    sy = m_scaleY;
}

Device* EMF::hDC()
{
    return m_emfDC.get();
}

int EMF::referenceDpi() const
{
    return m_isPreview ? static_cast<int>(1440.0 / screenTwipsPerPixel) : m_dpi;
}

void EMF::computeDeviceSize()
{
    const double perFaceUnit = referenceDpi() / 254.0 * m_ratio;
    m_devWidth = rnd(std::abs(m_pageWidth * perFaceUnit));
    m_devHeight = rnd(std::abs(m_pageHeight * perFaceUnit));
    if (m_isPreview && m_target) {
        const double boxTwips = m_target->widthTwips();
        m_screenRatio = boxTwips > 0.0 ? m_devWidth / boxTwips * screenTwipsPerPixel : 1.0;
        m_fontScale = m_screenRatio * m_ratio;
    }
}

void EMF::Home(std::int32_t mode, std::int32_t x, std::int32_t y)
{
    m_axesNormal = mode <= 3;
    m_scaleX = checked::div(m_devWidth, m_pageWidth);
    m_scaleY = checked::div(m_devHeight, m_pageHeight);
    if (m_isPreview) {
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

void EMF::MapPoint(std::int32_t x, std::int32_t y)
{
    if (m_axesNormal) {
        m_devX = rnd(x * m_scaleX + m_originX);
        m_devY = rnd(y * m_scaleY + m_originY);
    } else {
        m_devY = rnd(x * m_scaleY + m_originY);
        m_devX = rnd(y * m_scaleX + m_originX);
    }
}

std::int32_t EMF::MapX(std::int32_t x) const
{
    return m_axesNormal ? rnd(x * m_scaleX + m_originX) : rnd(x * m_scaleY + m_originY);
}

std::int32_t EMF::MapY(std::int32_t y) const
{
    return m_axesNormal ? rnd(y * m_scaleY + m_originY) : rnd(y * m_scaleX + m_originX);
}

std::int32_t EMF::LenX(std::int32_t w) const
{
    return m_axesNormal ? rnd(w * m_scaleX) : rnd(w * m_scaleY);
}

std::int32_t EMF::LenY(std::int32_t h) const
{
    return m_axesNormal ? rnd(h * m_scaleY) : rnd(h * m_scaleX);
}

void EMF::moveDevice()
{
    if (m_emfDC)
        m_emfDC->moveTo(m_devX, m_devY);
}

void EMF::XY(std::int32_t x, std::int32_t y)
{
    m_curX = x;
    m_curY = y;
    MapPoint(x, y);
    moveDevice();
}

void EMF::X(std::int32_t x)
{
    m_curX = x;
    if (m_axesNormal)
        m_devX = rnd(x * m_scaleX + m_originX);
    else
        m_devY = rnd(x * m_scaleY + m_originY);
    moveDevice();
}

void EMF::Y(std::int32_t y)
{
    m_curY = y;
    if (m_axesNormal)
        m_devY = rnd(y * m_scaleY + m_originY);
    else
        m_devX = rnd(y * m_scaleX + m_originX);
    moveDevice();
}

bool EMF::Clip(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h)
{
    if (m_clipRegion)
        DelClip();
    // The rectangle is spanned by the device images of its corners, so that it lands where the
    // drawing does in the swapped axis modes too.
    if (m_axesNormal)
        m_clipRect = { MapX(x), MapY(y), add(MapX(x), LenX(w)), add(MapY(y), LenY(h)) };
    else
        m_clipRect = { MapY(y), MapX(x), add(MapY(y), LenY(h)), add(MapX(x), LenX(w)) };
    if (!m_emfDC)
        return false;
    m_emfDC->setClip(m_clipRect);
    m_clipRegion = true;
    return true;
}

void EMF::DelClip()
{
    if (!m_clipRegion)
        return;
    if (m_emfDC)
        m_emfDC->clearClip();
    m_clipRegion = false;
}

void EMF::Dxy(std::int32_t x, std::int32_t y)
{
    const std::int32_t x0 = m_devX;
    const std::int32_t y0 = m_devY;
    MapPoint(x, y);
    const std::int32_t x1 = m_devX;
    const std::int32_t y1 = m_devY;
    const PenSlot* pen = currentPenSlot();
    const std::int32_t from = pen ? pen->strokeFrom : 0;
    const std::int32_t to = pen ? pen->strokeTo : 0;
    if (!m_emfDC)
        return;
    // A patterned thick pen is drawn as one-pixel strokes side by side, across the line.
    const bool horizontal = std::abs(std::int64_t { x1 } - x0) > std::abs(std::int64_t { y1 } - y0);
    for (std::int32_t k = from; k <= to; ++k) {
        if (horizontal) {
            m_emfDC->moveTo(x0, add(y0, k));
            m_emfDC->lineTo(x1, add(y1, k));
        } else {
            m_emfDC->moveTo(add(x0, k), y0);
            m_emfDC->lineTo(add(x1, k), y1);
        }
    }
}

void EMF::DDxy(std::int32_t dx, std::int32_t dy)
{
    // Relative offsets start from the last XY point, not from the end of the previous line.
    Dxy(add(m_curX, dx), add(m_curY, dy));
}

void EMF::HDxy(std::int32_t x, std::int32_t y, std::int32_t w)
{
    XY(x, y);
    DDxy(w, 0);
}

void EMF::VDxy(std::int32_t x, std::int32_t y, std::int32_t h)
{
    XY(x, y);
    DDxy(0, h);
}

void EMF::MDxy(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    XY(x1, y1);
    Dxy(x2, y2);
}

void EMF::DMDxy(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy)
{
    XY(x, y);
    DDxy(dx, dy);
}

void EMF::Box(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t& color)
{
    MapPoint(x, y);
    const std::int32_t right = add(m_devX, LenX(w));
    const std::int32_t bottom = add(m_devY, LenY(h));
    if (color == -1) {
        if (m_emfDC)
            m_emfDC->rectangle(m_devX, m_devY, right, bottom);
        return;
    }
    color = paletteOrRgb(color);
    if (m_emfDC)
        m_emfDC->fillRect(m_devX, m_devY, right, bottom, color);
}

void EMF::Circ(std::int32_t x, std::int32_t y, std::int32_t r, std::int32_t color)
{
    MapPoint(x, y);
    const std::int32_t a = std::abs(LenX(r));
    const std::int32_t b = std::abs(LenY(r));
    const std::int32_t left = sub(m_devX, a);
    const std::int32_t top = add(m_devY, b);
    const std::int32_t right = add(m_devX, a);
    const std::int32_t bottom = sub(m_devY, b);
    if (!m_emfDC)
        return;
    if (color == -1) {
        m_emfDC->ellipse(left, top, right, bottom);
        return;
    }
    m_emfDC->selectBrush({ false, paletteOrRgb(color) });
    m_emfDC->ellipse(left, top, right, bottom);
    m_emfDC->selectBrush({ true, 0 });
}

void EMF::hCirc(std::int32_t x, std::int32_t y, std::int32_t r)
{
    MapPoint(x, y);
    const std::int32_t px = m_devX;
    const std::int32_t py = m_devY;
    const std::int32_t a = LenX(r);
    const std::int32_t b = LenY(r);
    if (!m_emfDC)
        return;
    switch (m_mode) {
    case 1:
    case 2:
        m_emfDC->arc(
            sub(px, a), sub(py, b), add(px, a), add(py, b), add(px, a), py, sub(px, a), py);
        break;
    case 0:
    case 3:
        m_emfDC->arc(
            sub(px, a), sub(py, b), add(px, a), add(py, b), sub(px, a), py, add(px, a), py);
        break;
    case 4:
    case 7:
        m_emfDC->arc(
            sub(px, b), sub(py, a), add(px, b), add(py, a), px, add(py, a), px, sub(py, a));
        break;
    case 5:
    case 6:
        m_emfDC->arc(
            sub(px, b), sub(py, a), add(px, b), add(py, a), px, sub(py, a), px, add(py, a));
        break;
    default:
        break;
    }
}

void EMF::MarkOut(std::int32_t x, std::int32_t y, std::int32_t kind)
{
    if (kind < 1 || kind > static_cast<std::int32_t>(markGlyphs.size()))
        return;
    const MarkGlyph& mark = markGlyphs[static_cast<std::size_t>(kind - 1)];
    const LogFont& metrics = currentDescription();
    const std::int32_t h = metrics.lfHeight;
    const std::int32_t w = metrics.lfWidth;
    std::int32_t ox = 0;
    std::int32_t oy = 0;
    switch (mark.offset) {
    case MarkGlyph::Centred:
        ox = rnd(h * 0.5 - 1);
        oy = sub(w, 1);
        break;
    case MarkGlyph::Right:
        ox = h;
        oy = w;
        break;
    case MarkGlyph::Left:
        oy = w;
        break;
    case MarkGlyph::Up:
        ox = rnd(h * 0.5);
        break;
    case MarkGlyph::Down:
        ox = rnd(h * 0.5);
        oy = checked::mul(2, w);
        break;
    }
    XY(x, y);
    if (m_emfDC)
        m_emfDC->textOut(sub(m_devX, ox), sub(m_devY, oy), QString(QChar(mark.glyph)));
}

void EMF::LoadImage(const QImage& picture, std::int32_t w, std::int32_t h)
{
    if (picture.isNull())
        return;
    const double himetricWidth = pictureHimetric(picture.width(), picture.dotsPerMeterX());
    const double himetricHeight = pictureHimetric(picture.height(), picture.dotsPerMeterY());
    const std::int32_t pw = rnd(himetricWidth * 0.567 / screenTwipsPerPixel);
    const std::int32_t ph = rnd(himetricHeight * 0.567 / screenTwipsPerPixel);
    if (w != 0 && h == 0) {
        h = rnd(checked::div(checked::mul(w, ph), pw));
    } else if (w == 0 && h == 0) {
        w = rnd(himetricWidth / 10.0);
        h = rnd(himetricHeight / 10.0);
    }
    // A negative size mirrors the picture within the same box; the device point stays moved.
    if (w < 0)
        m_devX = sub(m_devX, LenX(w));
    if (h < 0)
        m_devY = sub(m_devY, LenY(h));
    // The whole bitmap is the source: a picture with a resolution above the screen's is scaled
    // into the box rather than cut to its screen-size corner.
    if (m_emfDC)
        m_emfDC->stretchImage(
            m_devX, m_devY, LenX(w), LenY(h), picture, picture.width(), picture.height());
}

}
