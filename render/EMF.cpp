#include "render/EMF.h"

#include "render/Bitmap.h"
#include "render/PageOutput.h"
#include "render/PageRecorder.h"
#include "render/QtTextMetrics.h"
#include "shell/Checked.h"
#include "shell/Convert.h"

#include <QImage>
#include <array>
#include <cmath>

namespace vorlix::render {

using namespace shell::checked;

namespace {

    // Screen pixels of a picture's natural size: 15 twips per pixel.
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

    // Where a mark's glyph cell goes from the point, by the height and half width of a
    // full-width glyph of the font in use.
    Point markOffset(MarkGlyph::Offset offset, std::int32_t h, std::int32_t w)
    {
        switch (offset) {
        case MarkGlyph::Centred:
            return { rnd(h * 0.5 - 1), sub(w, 1) };
        case MarkGlyph::Right:
            return { h, w };
        case MarkGlyph::Left:
            return { 0, w };
        case MarkGlyph::Up:
            return { rnd(h * 0.5), 0 };
        case MarkGlyph::Down:
            return { rnd(h * 0.5), mul(2, w) };
        }
        return {};
    }

    // A picture's size in 0.01 mm: from its own resolution, else 96 dots per inch.
    double pictureHimetric(int pixels, int dotsPerMetre)
    {
        if (dotsPerMetre > 0)
            return shell::roundHalfEven(pixels * 100000.0 / dotsPerMetre);
        return shell::roundHalfEven(pixels * 2540.0 / 96.0);
    }

    // A brush selected for one filled shape; the hollow brush of the page comes back after it.
    class SolidBrush {
    public:
        SolidBrush(Device& device, ColorRef color)
            : m_device(device)
        {
            m_device.selectBrush({ false, color });
        }
        ~SolidBrush() { m_device.selectBrush({ true, 0 }); }
        SolidBrush(const SolidBrush&) = delete;
        SolidBrush& operator=(const SolidBrush&) = delete;

    private:
        Device& m_device;
    };

}

EMF::EMF(std::shared_ptr<const TextMetrics> metrics)
    : m_metrics(metrics ? std::move(metrics) : std::make_shared<QtTextMetrics>())
    , m_pages(m_metrics)
{
}

EMF::~EMF()
{
    try {
        KillDoc();
    } catch (...) {
        // Ending the surface never fails towards its owner.
    }
}

PageRecorder& EMF::dc()
{
    return m_pages.device();
}

Device* EMF::hDC()
{
    return m_pages.deviceRecording() ? &m_pages.device() : nullptr;
}

void EMF::SetObject(PageTarget target, std::int32_t, std::int32_t dpi, double ratio,
    std::int32_t width, std::int32_t height, std::int32_t marginX, std::int32_t marginY)
{
    m_mapping.bind(target.view() != nullptr, dpi, ratio, width, height, marginX, marginY);
    m_pages.bind(target, m_mapping.referenceDpi());
    // The reference device's technology: 2 a raster printer, 1 a display.
    shell::WriteLog(QString::number(target.output() ? target.output()->technology() : 1));
}

void EMF::setRatio(double ratio)
{
    if (!m_pages.target())
        return;
    SetObject(*m_pages.target(), 0, m_mapping.dpi(), ratio, m_mapping.pageWidth(),
        m_mapping.pageHeight(), m_mapping.marginX(), m_mapping.marginY());
}

void EMF::setLag(std::int32_t x, std::int32_t y)
{
    m_mapping.setLag(x, y);
    Home(0, 0, 0);
}

void EMF::getLtoP(double& sx, double& sy) const
{
    sx = m_mapping.scaleX();
    sy = m_mapping.scaleY();
}

void EMF::Home(std::int32_t mode, std::int32_t x, std::int32_t y)
{
    m_mapping.home(mode, x, y);
}

void EMF::Shift(std::int32_t dx, std::int32_t dy)
{
    m_mapping.shift(dx, dy);
}

void EMF::MapPoint(std::int32_t x, std::int32_t y)
{
    m_mapping.MapPoint(x, y, m_dev);
}

void EMF::moveDevice()
{
    dc().moveTo(m_dev.x, m_dev.y);
}

void EMF::resetPosition()
{
    m_cur = {};
    m_dev = {};
}

void EMF::XY(std::int32_t x, std::int32_t y)
{
    m_cur = { x, y };
    MapPoint(x, y);
    moveDevice();
}

void EMF::X(std::int32_t x)
{
    m_cur.x = x;
    m_mapping.moveX(x, m_dev);
    moveDevice();
}

void EMF::Y(std::int32_t y)
{
    m_cur.y = y;
    m_mapping.moveY(y, m_dev);
    moveDevice();
}

bool EMF::Clip(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h)
{
    if (m_clip)
        DelClip();
    // The rectangle is spanned by the device images of its corners, so that it lands where the
    // drawing does in the swapped axis modes too.
    const SurfaceMapping& m = m_mapping;
    const DeviceRect rect = m.axesNormal()
        ? DeviceRect { m.MapX(x), m.MapY(y), add(m.MapX(x), m.LenX(w)), add(m.MapY(y), m.LenY(h)) }
        : DeviceRect { m.MapY(y), m.MapX(x), add(m.MapY(y), m.LenY(h)), add(m.MapX(x), m.LenX(w)) };
    if (!hDC())
        return false;
    dc().setClip(rect);
    m_clip = rect;
    return true;
}

void EMF::DelClip()
{
    if (!m_clip)
        return;
    dc().clearClip();
    m_clip.reset();
}

void EMF::Dxy(std::int32_t x, std::int32_t y)
{
    const Point from = m_dev;
    MapPoint(x, y);
    const Point to = m_dev;
    const auto [first, last] = m_slots.strokes();
    if (!hDC())
        return;
    // A patterned thick pen is drawn as one-pixel strokes side by side, across the line.
    const bool horizontal
        = std::abs(std::int64_t { to.x } - from.x) > std::abs(std::int64_t { to.y } - from.y);
    for (std::int32_t k = first; k <= last; ++k) {
        if (horizontal) {
            dc().moveTo(from.x, add(from.y, k));
            dc().lineTo(to.x, add(to.y, k));
        } else {
            dc().moveTo(add(from.x, k), from.y);
            dc().lineTo(add(to.x, k), to.y);
        }
    }
}

void EMF::DDxy(std::int32_t dx, std::int32_t dy)
{
    // Relative offsets start from the last XY point, not from the end of the previous line.
    Dxy(add(m_cur.x, dx), add(m_cur.y, dy));
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
    const std::int32_t right = add(m_dev.x, m_mapping.LenX(w));
    const std::int32_t bottom = add(m_dev.y, m_mapping.LenY(h));
    if (color == -1) {
        dc().rectangle(m_dev.x, m_dev.y, right, bottom);
        return;
    }
    color = paletteOrRgb(color);
    dc().fillRect(m_dev.x, m_dev.y, right, bottom, color);
}

void EMF::Circ(std::int32_t x, std::int32_t y, std::int32_t r, std::int32_t color)
{
    MapPoint(x, y);
    const std::int32_t a = std::abs(m_mapping.LenX(r));
    const std::int32_t b = std::abs(m_mapping.LenY(r));
    const DeviceRect box { sub(m_dev.x, a), add(m_dev.y, b), add(m_dev.x, a), sub(m_dev.y, b) };
    if (color == -1) {
        dc().ellipse(box.left, box.top, box.right, box.bottom);
        return;
    }
    const SolidBrush brush(dc(), paletteOrRgb(color));
    dc().ellipse(box.left, box.top, box.right, box.bottom);
}

void EMF::hCirc(std::int32_t x, std::int32_t y, std::int32_t r)
{
    MapPoint(x, y);
    const std::int32_t px = m_dev.x;
    const std::int32_t py = m_dev.y;
    const std::int32_t a = m_mapping.LenX(r);
    const std::int32_t b = m_mapping.LenY(r);
    if (!hDC())
        return;
    // Arcs run counter-clockwise from the start to the end point; the box is the circle's in
    // modes 0..3, and has its sides exchanged in the swapped modes.
    switch (m_mapping.mode()) {
    case 1:
    case 2:
        dc().arc(sub(px, a), sub(py, b), add(px, a), add(py, b), add(px, a), py, sub(px, a), py);
        break;
    case 0:
    case 3:
        dc().arc(sub(px, a), sub(py, b), add(px, a), add(py, b), sub(px, a), py, add(px, a), py);
        break;
    case 4:
    case 7:
        dc().arc(sub(px, b), sub(py, a), add(px, b), add(py, a), px, add(py, a), px, sub(py, a));
        break;
    case 5:
    case 6:
        dc().arc(sub(px, b), sub(py, a), add(px, b), add(py, a), px, sub(py, a), px, add(py, a));
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
    const LogFont& metrics = m_slots.currentDescription();
    const Point offset = markOffset(mark.offset, metrics.lfHeight, metrics.lfWidth);
    XY(x, y);
    if (!hDC())
        return;
    dc().textOut(sub(m_dev.x, offset.x), sub(m_dev.y, offset.y), QString(QChar(mark.glyph)));
}

void EMF::LoadImage(const Bitmap& bitmap, std::int32_t w, std::int32_t h)
{
    if (bitmap.isNull())
        return;
    const QImage& picture = bitmap.image();
    const double himetricWidth = pictureHimetric(picture.width(), picture.dotsPerMeterX());
    const double himetricHeight = pictureHimetric(picture.height(), picture.dotsPerMeterY());
    const std::int32_t pw = rnd(himetricWidth * 0.567 / screenTwipsPerPixel);
    const std::int32_t ph = rnd(himetricHeight * 0.567 / screenTwipsPerPixel);
    if (w != 0 && h == 0) {
        h = rnd(divide(mul(w, ph), pw));
    } else if (w == 0 && h == 0) {
        w = rnd(himetricWidth / 10.0);
        h = rnd(himetricHeight / 10.0);
    }
    // A negative size mirrors the picture within the same box; the device point stays moved.
    if (w < 0)
        m_dev.x = sub(m_dev.x, m_mapping.LenX(w));
    if (h < 0)
        m_dev.y = sub(m_dev.y, m_mapping.LenY(h));
    if (!hDC())
        return;
    // The whole bitmap is the source: a picture with a resolution above the screen's is scaled
    // into the box rather than cut to its screen-size corner.
    dc().stretchImage(m_dev.x, m_dev.y, m_mapping.LenX(w), m_mapping.LenY(h), picture,
        picture.width(), picture.height());
}

}
