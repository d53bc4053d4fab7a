#include "render/PdfPageDevice.h"

#include "render/PageGeometry.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"
#include "render/PdfFont.h"
#include "render/PdfFontRegistry.h"
#include "render/PdfTextShaper.h"
#include "render/QtFontCache.h"
#include "shell/Deflate.h"

#include <QCryptographicHash>
#include <QPageSize>
#include <algorithm>
#include <cmath>

namespace vorlix::render {

using PageGeometry::box;

namespace {

    constexpr double Pi = 3.14159265358979323846;
    // The bezier handle of a quarter ellipse.
    constexpr double Kappa = 0.5522847498307936;
    // Lean of a slanted face where the font has no italic, as Qt's PDF engine slants it.
    constexpr double SyntheticItalic = 0.3;

    // Colour as PDF operands: "r g b".
    void appendColor(PdfContent& out, ColorRef c)
    {
        out << redOf(c) / 255.0 << ' ' << greenOf(c) / 255.0 << ' ' << blueOf(c) / 255.0;
    }

    QByteArray digestOf(const QImage& image)
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        const int header[] = { image.width(), image.height(), static_cast<int>(image.format()) };
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(header), sizeof header));
        for (int y = 0; y < image.height(); ++y)
            hash.addData(QByteArrayView(
                reinterpret_cast<const char*>(image.constScanLine(y)), image.bytesPerLine()));
        return hash.result();
    }

}

PdfPageDevice::PdfPageDevice(PdfFontRegistry& fonts, int dpi)
    : m_fonts(fonts)
    , m_dpi(dpi)
    , m_font(PageRecorder::initialFont())
    , m_page(std::make_shared<PdfPreparedPage>())
{
}

std::shared_ptr<const PdfPreparedPage> PdfPageDevice::prepare(
    PdfFontRegistry& fonts, const PageRecord& page, const QRect& target)
{
    PdfPageDevice device(fonts, page.dpi());
    device.begin(page, target);
    page.replay(device);
    return device.finish();
}

void PdfPageDevice::begin(const PageRecord& page, const QRect& target)
{
    const DeviceRect& frame = page.frame();
    // The page size in whole points, as the printing path rounds it.
    const QSize points
        = QPageSize(QSizeF((frame.right - frame.left) / 100.0, (frame.bottom - frame.top) / 100.0),
            QPageSize::Millimeter)
              .sizePoints();
    m_page->widthPoints = points.width();
    m_page->heightPoints = points.height();
    double frameWidth = (frame.right - frame.left) * page.dpi() / 2540.0;
    double frameHeight = (frame.bottom - frame.top) * page.dpi() / 2540.0;
    if (frameWidth <= 0.0 || frameHeight <= 0.0) {
        frameWidth = std::max(page.deviceSize().width(), 1);
        frameHeight = std::max(page.deviceSize().height(), 1);
    }
    const double unit = 72.0 / std::max(page.dpi(), 1);
    const double sx = target.width() / frameWidth * unit;
    const double sy = target.height() / frameHeight * unit;
    m_out.reserve(16384);
    m_out << "q ";
    m_out.appendPrecise(sx);
    m_out << " 0 0 ";
    m_out.appendPrecise(-sy);
    m_out << ' ' << target.x() * unit << ' ' << points.height() - target.y() * unit << " cm\n";
    // A fresh page: one-pixel black pen, white brush.
    selectInitialPen();
    m_brush = { false, rgb(255, 255, 255) };
}

std::shared_ptr<const PdfPreparedPage> PdfPageDevice::finish()
{
    if (m_clipped)
        m_out << "Q\n";
    m_out << "Q\n";
    m_page->content = shell::Deflate::compress(m_out.bytes());
    return m_page;
}

void PdfPageDevice::setFill(ColorRef color)
{
    if (m_state.fill == color)
        return;
    m_state.fill = color;
    appendColor(m_out, color);
    m_out << " rg\n";
}

void PdfPageDevice::useStrokePen()
{
    // Width 0 or 1 is one device unit; thicker pens end and join round, dashes end flat.
    const double width = std::max(m_pen.width, 1);
    const int dash = PageGeometry::penPattern(m_pen.style).empty() ? 0 : m_pen.style;
    const int cap = dash ? 0 : 1;
    if (m_state.stroke != m_pen.color) {
        m_state.stroke = m_pen.color;
        appendColor(m_out, m_pen.color);
        m_out << " RG\n";
    }
    if (m_state.lineWidth != width) {
        m_state.lineWidth = width;
        m_out << width << " w\n";
    }
    if (m_state.cap != cap) {
        m_state.cap = cap;
        m_out << cap << " J\n";
    }
    if (m_state.join != 1) {
        m_state.join = 1;
        m_out << "1 j\n";
    }
    if (m_state.dash != dash) {
        m_state.dash = dash;
        m_out << '[';
        // Pattern lengths keep their physical size: 1/96 inch in device units.
        for (const double length : PageGeometry::penPattern(dash))
            m_out << length * m_dpi / 96.0 << ' ';
        m_out << "] 0 d\n";
    }
}

void PdfPageDevice::paintPath(bool fill)
{
    const bool stroke = m_pen.style != static_cast<std::int32_t>(PenStyle::Null);
    fill = fill && !m_brush.hollow;
    if (fill)
        setFill(m_brush.color);
    if (stroke)
        useStrokePen();
    m_out << (fill && stroke ? "B\n" : fill ? "f\n" : stroke ? "S\n" : "n\n");
}

void PdfPageDevice::appendPoint(double x, double y)
{
    m_out << x << ' ' << y;
}

void PdfPageDevice::appendRect(const QRectF& rect)
{
    m_out << rect.x() << ' ' << rect.y() << ' ' << rect.width() << ' ' << rect.height() << " re\n";
}

void PdfPageDevice::appendEllipse(const QRectF& rect)
{
    const double cx = rect.center().x();
    const double cy = rect.center().y();
    const double rx = rect.width() / 2.0;
    const double ry = rect.height() / 2.0;
    const double kx = rx * Kappa;
    const double ky = ry * Kappa;
    m_out << cx + rx << ' ' << cy << " m\n";
    m_out << cx + rx << ' ' << cy + ky << ' ' << cx + kx << ' ' << cy + ry << ' ' << cx << ' '
          << cy + ry << " c\n";
    m_out << cx - kx << ' ' << cy + ry << ' ' << cx - rx << ' ' << cy + ky << ' ' << cx - rx << ' '
          << cy << " c\n";
    m_out << cx - rx << ' ' << cy - ky << ' ' << cx - kx << ' ' << cy - ry << ' ' << cx << ' '
          << cy - ry << " c\n";
    m_out << cx + kx << ' ' << cy - ry << ' ' << cx + rx << ' ' << cy - ky << ' ' << cx + rx << ' '
          << cy << " c h\n";
}

// The angles are those of the ellipse's parameter, counter-clockwise with y up, as the painter's
// arcs take them; the arc is split into pieces of at most a quarter turn.
void PdfPageDevice::appendArc(const QRectF& rect, double startDegrees, double spanDegrees)
{
    const double cx = rect.center().x();
    const double cy = rect.center().y();
    const double rx = rect.width() / 2.0;
    const double ry = rect.height() / 2.0;
    const auto at = [&](double angle, double along) {
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        appendPoint(cx + rx * (c - along * s), cy - ry * (s + along * c));
    };
    const int pieces
        = std::max(1, static_cast<int>(std::ceil(std::abs(spanDegrees) / 90.0 - 1e-9)));
    const double step = spanDegrees / pieces * Pi / 180.0;
    const double handle = 4.0 / 3.0 * std::tan(step / 4.0);
    double angle = startDegrees * Pi / 180.0;
    at(angle, 0.0);
    m_out << " m\n";
    for (int i = 0; i < pieces; ++i) {
        at(angle, handle);
        m_out << ' ';
        at(angle + step, -handle);
        m_out << ' ';
        at(angle + step, 0.0);
        m_out << " c\n";
        angle += step;
    }
}

void PdfPageDevice::moveTo(int x, int y)
{
    m_current = QPointF(x, y);
}

void PdfPageDevice::lineTo(int x, int y)
{
    if (m_pen.style != static_cast<std::int32_t>(PenStyle::Null)) {
        useStrokePen();
        appendPoint(m_current.x(), m_current.y());
        m_out << " m ";
        appendPoint(x, y);
        m_out << " l S\n";
    }
    m_current = QPointF(x, y);
}

void PdfPageDevice::rectangle(int left, int top, int right, int bottom)
{
    appendRect(box(left, top, right, bottom));
    paintPath(true);
}

void PdfPageDevice::fillRect(int left, int top, int right, int bottom, ColorRef color)
{
    setFill(color);
    appendRect(box(left, top, right, bottom));
    m_out << "f\n";
}

// Exact rectangles in modules under the grid's matrix, each a path of its own as a filled
// rectangle is: viewers that align lone rectangles with their pixels then show the bars as crisply
// as Qt's engine's. The colour is set outside the saved state, so the stream's record of it holds.
void PdfPageDevice::fillBars(const BarPattern& bars)
{
    if (bars.size() == 0)
        return;
    setFill(bars.color);
    m_out << "q ";
    m_out.appendPrecise(bars.moduleWidth);
    m_out << " 0 0 ";
    m_out.appendPrecise(bars.moduleHeight);
    m_out << ' ' << bars.origin.x() << ' ' << bars.origin.y() << " cm\n";
    // Modules are mostly whole numbers, written as such without the general number's rounding.
    const auto append = [this](double modules) {
        const auto whole = static_cast<int>(modules);
        if (whole == modules)
            m_out << whole;
        else
            m_out << modules;
    };
    for (const QRectF& bar : *bars.bars) {
        append(bar.x());
        m_out << ' ';
        append(bar.y());
        m_out << ' ';
        append(bar.width());
        m_out << ' ';
        append(bar.height());
        m_out << " re f\n";
    }
    m_out << "Q\n";
}

void PdfPageDevice::ellipse(int left, int top, int right, int bottom)
{
    appendEllipse(box(left, top, right, bottom));
    paintPath(true);
}

void PdfPageDevice::arc(
    int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    if (m_pen.style == static_cast<std::int32_t>(PenStyle::Null))
        return;
    const QRectF rect = box(left, top, right, bottom);
    // The painter takes whole sixteenths of a degree.
    const PageGeometry::ArcSweep sweep = PageGeometry::arcSweep(rect, xStart, yStart, xEnd, yEnd);
    appendArc(rect, sweep.start / 16.0, sweep.span / 16.0);
    useStrokePen();
    m_out << "S\n";
}

void PdfPageDevice::selectFont(const LogFont& font)
{
    m_font = font;
}

void PdfPageDevice::selectPen(const PenDesc& pen)
{
    m_pen = pen;
}

void PdfPageDevice::selectBrush(const BrushDesc& brush)
{
    m_brush = brush;
}

void PdfPageDevice::selectInitialFont()
{
    m_font = PageRecorder::initialFont();
}

void PdfPageDevice::selectInitialPen()
{
    m_pen = { 0, 1, 0 };
}

void PdfPageDevice::setClip(const DeviceRect& r)
{
    if (m_clipped) {
        m_out << "Q\n";
        m_state = m_savedState;
    }
    m_out << "q\n";
    m_savedState = m_state;
    m_clipped = true;
    appendRect(box(r.left, r.top, r.right, r.bottom));
    m_out << "W n\n";
}

void PdfPageDevice::clearClip()
{
    if (!m_clipped)
        return;
    m_out << "Q\n";
    m_state = m_savedState;
    m_clipped = false;
}

void PdfPageDevice::textOut(int x, int y, const QString& text)
{
    if (text.isEmpty())
        return;
    const QtFontCache::Entry& entry = QtFontCache::shared().get(m_font);
    const PdfTextShaper::Shaped& shaped = PdfTextShaper::shape(m_fonts, m_font, text);
    // The cell's top left is the anchor; the painter draws from the baseline one ascent below,
    // turned by the escapement about the anchor.
    const double angle = -m_font.lfEscapement / 10.0 * Pi / 180.0;
    const TextFrame frame { QPointF(x, y), std::cos(angle), std::sin(angle) };
    const double baseline = entry.metrics.ascent();
    setFill(0);
    // A vertical line that mixes upright and lying glyphs would read as two lines, one of each
    // kind: the line says what it reads as.
    const auto upright = [](const PdfTextShaper::Run& run) { return run.upright; };
    const bool mixed = std::any_of(shaped.runs.begin(), shaped.runs.end(), upright)
        && !std::all_of(shaped.runs.begin(), shaped.runs.end(), upright);
    if (mixed) {
        m_out << "/Span << /ActualText ";
        m_out.appendTextString(text);
        m_out << " >> BDC\n";
    }
    for (const PdfTextShaper::Run& run : shaped.runs)
        drawGlyphRun(run, frame, baseline, entry.font);
    if (mixed)
        m_out << "EMC\n";
    const QFontMetricsF& metrics = entry.metrics;
    if (m_font.lfUnderline)
        drawDecoration(frame, baseline + metrics.underlinePos(), shaped.width, metrics.lineWidth());
    if (m_font.lfStrikeOut)
        drawDecoration(frame, baseline - metrics.strikeOutPos(), shaped.width, metrics.lineWidth());
}

QPointF PdfPageDevice::TextFrame::map(double x, double y) const
{
    return QPointF(origin.x() + x * cosA - y * sinA, origin.y() + x * sinA + y * cosA);
}

void PdfPageDevice::drawDecoration(const TextFrame& frame, double y, double width, double thickness)
{
    m_state.lineWidth = -1.0;
    m_state.cap = 0;
    m_state.stroke = 0;
    m_state.dash = 0;
    m_out << "0 0 0 RG " << std::max(thickness, 1.0) << " w 0 J [] 0 d\n";
    const QPointF from = frame.map(0.0, y);
    const QPointF to = frame.map(width, y);
    appendPoint(from.x(), from.y());
    m_out << " m ";
    appendPoint(to.x(), to.y());
    m_out << " l S\n";
}

void PdfPageDevice::drawOutline(
    const QPainterPath& outline, const TextFrame& frame, double baseline)
{
    const auto at = [&](const QPointF& point) {
        const QPointF mapped = frame.map(point.x(), point.y() + baseline);
        appendPoint(mapped.x(), mapped.y());
    };
    for (int i = 0; i < outline.elementCount(); ++i) {
        const QPainterPath::Element& element = outline.elementAt(i);
        if (element.isMoveTo()) {
            if (i > 0)
                m_out << " h\n";
            at(element);
            m_out << " m";
        } else if (element.isLineTo()) {
            m_out << ' ';
            at(element);
            m_out << " l";
        } else if (element.isCurveTo() && i + 2 < outline.elementCount()) {
            for (int k = 0; k < 3; ++k) {
                m_out << ' ';
                at(outline.elementAt(i + k));
            }
            m_out << " c";
            i += 2;
        }
    }
    if (outline.elementCount() > 0)
        m_out << " h f\n"; // glyph outlines fill by the non-zero rule
}

int PdfPageDevice::fontIndex(const PdfTextShaper::Run& run)
{
    std::size_t index = 0;
    while (index < m_page->fonts.size() && m_page->fonts[index].font != run.font)
        ++index;
    if (index == m_page->fonts.size()) {
        m_page->fonts.push_back({ run.font, {} });
        m_noted.emplace_back();
    }
    // The page lists each glyph it draws once, with its text, for the document's subsets.
    // Glyph numbers of a font are 16-bit; the page's marks are a bitmap of them.
    std::vector<bool>& noted = m_noted[index];
    auto& glyphs = m_page->fonts[index].glyphs;
    for (const auto& [glyph, text] : run.texts) {
        if (glyph > 0xFFFF) {
            const auto same = [g = glyph](const auto& entry) { return entry.first == g; };
            if (std::none_of(glyphs.begin(), glyphs.end(), same))
                glyphs.emplace_back(glyph, text);
            continue;
        }
        if (glyph >= noted.size())
            noted.resize(std::size_t { glyph } + 1);
        if (!noted[glyph]) {
            noted[glyph] = true;
            glyphs.emplace_back(glyph, text);
        }
    }
    return static_cast<int>(index);
}

void PdfPageDevice::drawGlyphRun(
    const PdfTextShaper::Run& run, const TextFrame& frame, double baseline, const QFont& requested)
{
    if (!run.font) {
        drawOutline(run.outline, frame, baseline);
        return;
    }
    if (run.glyphs.empty())
        return;
    const PdfFont& font = *run.font;
    const int index = fontIndex(run);
    const double size = run.pixelSize;
    const int stretch = requested.stretch();
    const double scale = stretch > 0 && stretch != 100 ? stretch / 100.0 : 1.0;
    const double lean = requested.italic() && !font.italicFace() ? SyntheticItalic : 0.0;
    // A face without bold is drawn twice, the second time half a line's thickness to the left,
    // as Qt's PDF engine emboldens it; the second copy carries no text.
    const bool bold = requested.weight() >= QFont::DemiBold && font.weightClass() < 600;
    // The glyphs' own right and up on the page: along the line, or, upright, a quarter turned.
    const QPointF along(frame.cosA, frame.sinA);
    const QPointF across(frame.sinA, -frame.cosA);
    const QPointF right = run.upright ? across : along;
    const QPointF up = run.upright ? -along : across;
    for (int pass = 0; pass < (bold ? 2 : 1); ++pass) {
        const double offset = pass == 0 ? 0.0 : -std::round(run.lineThickness * 32.0) / 64.0;
        // The second copy moves to the glyphs' left: against the line, or across it upright.
        const QPointF shift
            = run.upright ? QPointF(0.0, baseline - offset) : QPointF(offset, baseline);
        if (pass == 1)
            m_out << "/Span << /ActualText () >> BDC\n";
        m_out << "BT /F" << index << ' ' << size << " Tf\n";
        bool open = false;
        QPointF last;
        std::uint32_t lastGlyph = 0;
        for (std::size_t i = 0; i < run.glyphs.size(); ++i) {
            const QPointF local = run.positions[i] + shift;
            const std::uint32_t glyph = run.glyphs[i];
            if (open && std::abs(local.y() - last.y()) < 1e-6) {
                // The viewer moves on by the glyph's advance; the adjustment brings it to where
                // the layout put the next glyph (down the page in vertical writing, where the
                // number counts the other way).
                const double step = local.x() - last.x();
                const double adjust = run.upright
                    ? (step + font.verticalMetrics(lastGlyph).advance / 1000.0 * size) / size
                        * 1000.0
                    : (font.width(lastGlyph) / 1000.0 * size * scale - step) / (size * scale)
                        * 1000.0;
                if (std::abs(adjust) >= 0.05)
                    m_out << "> " << adjust << " <";
            } else {
                if (open)
                    m_out << "> ] TJ\n";
                const QPointF at = frame.map(local.x(), local.y());
                m_out << scale * right.x() << ' ' << scale * right.y() << ' '
                      << lean * right.x() + up.x() << ' ' << lean * right.y() + up.y() << ' '
                      << at.x() << ' ' << at.y() << " Tm [<";
                open = true;
            }
            m_out.appendGlyph(glyph);
            last = local;
            lastGlyph = glyph;
        }
        if (open)
            m_out << "> ] TJ\n";
        m_out << "ET\n";
        if (pass == 1)
            m_out << "EMC\n";
    }
}

int PdfPageDevice::imageIndex(const QImage& image)
{
    const QByteArray digest = digestOf(image);
    for (std::size_t i = 0; i < m_page->images.size(); ++i) {
        if (m_page->images[i].digest == digest)
            return static_cast<int>(i);
    }
    m_page->images.push_back({ digest, image });
    return static_cast<int>(m_page->images.size() - 1);
}

void PdfPageDevice::stretchImage(
    int x, int y, int width, int height, const QImage& image, int srcWidth, int srcHeight)
{
    if (width == 0 || height == 0 || image.isNull() || srcWidth <= 0 || srcHeight <= 0)
        return;
    const QImage part = srcWidth == image.width() && srcHeight == image.height()
        ? image
        : image.copy(0, 0, srcWidth, srcHeight);
    const int index = imageIndex(part);
    // The picture's unit square onto the box: its top row at y, mirrored by a negative size.
    m_out << "q " << width << " 0 0 " << -height << ' ' << x << ' ' << y + height << " cm /I"
          << index << " Do Q\n";
}

}
