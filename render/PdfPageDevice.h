#pragma once

#include "render/Device.h"
#include "render/GdiTypes.h"
#include "render/PdfContent.h"
#include "render/PdfPreparedPage.h"
#include "render/PdfTextShaper.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <vector>

class QFont;
class QPainterPath;

namespace vorlix::render {

class PageRecord;
class PdfFontRegistry;

// The device that turns a replayed page into a PDF content stream, drawing what PagePainter
// draws: GDI pens (styles, widths in device units, round ends), hollow or solid brushes, black
// text anchored at the top left of its cell and turned by the escapement, counter-clockwise arcs,
// clips, stretched and mirrored pictures, the bars of symbols as exact rectangles. Operators stay
// in the page's device units under one matrix that maps them onto points with y pointing up. Runs
// on a page worker.
class PdfPageDevice final : public Device {
public:
    PdfPageDevice(PdfFontRegistry& fonts, int dpi);

    // The page ready to write: the page's frame played into the target rectangle (device
    // pixels of a page at the page's resolution), its stream compressed.
    [[nodiscard]] static std::shared_ptr<const PdfPreparedPage> prepare(
        PdfFontRegistry& fonts, const PageRecord& page, const QRect& target);

    VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_DECLARE_DEVICE_OPERATION)

private:
    // The PDF graphics state the stream has set, to write operators only when it changes.
    struct State {
        int fill = 0;
        int stroke = 0;
        double lineWidth = 1.0;
        int cap = 0;
        int join = 0;
        int dash = 0;
    };

    void begin(const PageRecord& page, const QRect& target);
    std::shared_ptr<const PdfPreparedPage> finish();

    void setFill(ColorRef color);
    void useStrokePen();
    // Ends a path with the pen's outline and the brush's fill, as they are selected.
    void paintPath(bool fill);
    void appendRect(const QRectF& rect);
    void appendEllipse(const QRectF& rect);
    void appendArc(const QRectF& rect, double startDegrees, double spanDegrees);
    void appendPoint(double x, double y);

    // Where a text is drawn: its anchor and the direction of its baseline.
    struct TextFrame {
        QPointF origin;
        double cosA = 1.0;
        double sinA = 0.0;
        // A point given along and across the baseline, on the page.
        [[nodiscard]] QPointF map(double x, double y) const;
    };
    void drawGlyphRun(const PdfTextShaper::Run& run, const TextFrame& frame, double baseline,
        const QFont& requested);
    // Text in a font that cannot be embedded, filled as outlines.
    void drawOutline(const QPainterPath& outline, const TextFrame& frame, double baseline);
    void drawDecoration(const TextFrame& frame, double y, double width, double thickness);
    // The page's number for the run's font, noting the run's glyphs for the font's subset.
    [[nodiscard]] int fontIndex(const PdfTextShaper::Run& run);
    [[nodiscard]] int imageIndex(const QImage& image);

    PdfFontRegistry& m_fonts;
    int m_dpi;
    PdfContent m_out;
    State m_state;
    State m_savedState;
    bool m_clipped = false;
    LogFont m_font;
    PenDesc m_pen;
    BrushDesc m_brush;
    QPointF m_current;
    std::shared_ptr<PdfPreparedPage> m_page;
    // Per font of the page, the glyphs noted already.
    std::vector<std::vector<bool>> m_noted;
};

}
