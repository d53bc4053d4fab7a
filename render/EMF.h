#pragma once

#include "render/GdiTypes.h"
#include "render/PageLifeCycle.h"
#include "render/SlotTable.h"
#include "render/SurfaceMapping.h"
#include "render/TextLayout.h"
#include "shell/Log.h"

#include <QRectF>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vorlix::render {

class Bitmap;
class Device;
class PageRecord;
class TextMetrics;

// The drawing surface. The interpreter calls it for every drawing command of a face; it keeps the
// mapping from face units to device units (SurfaceMapping), the current point, clipping, the font
// and pen slots (SlotTable), lays out text (TextLayout), and records each page as a PageRecord in
// device units of the reference device (the printer's DPI, or a 96-dpi screen for the preview).
// Finished pages go to the output or view given to SetObject (PageLifeCycle).
//
// Face units are tenths of a millimetre. Every conversion to an integer rounds half to even and
// raises shell::RunError 6 when it does not fit; 32-bit sums are checked the same way. Slot
// numbers out of range raise RunError 9. Drawing without a recording page goes nowhere.
class EMF {
public:
    // Without metrics the surface measures text with real fonts (QtTextMetrics); tests pass
    // FakeTextMetrics for exact positions without fonts.
    explicit EMF(std::shared_ptr<const TextMetrics> metrics = {});
    ~EMF();
    EMF(const EMF&) = delete;
    EMF& operator=(const EMF&) = delete;

    // ---- Units, mapping, current point, primitives ----

    // Binds the surface to a target and a page size (face units). dc is kept for the callers'
    // argument order only: the device comes from the target. For a print target the margins are
    // ignored; for a preview they are kept and handed back by setRatio. Takes effect at the next
    // page.
    void SetObject(PageTarget target, std::int32_t dc, std::int32_t dpi, double ratio,
        std::int32_t width, std::int32_t height, std::int32_t marginX, std::int32_t marginY);
    // Re-binds with the same target and page and a new zoom ratio.
    void setRatio(double ratio);
    // Printer position correction in face units; applies to printed output only. Resets the
    // axis mode with Home(0, 0, 0).
    void setLag(std::int32_t x, std::int32_t y);
    // Device units per face unit along device x and y, signed by the axis mode ("logical to
    // physical").
    void getLtoP(double& sx, double& sy) const;
    // The device context of the page being recorded, null when no page is recording.
    [[nodiscard]] Device* hDC();

    // Sets the axis mode (0..7, see SurfaceMapping) and the origin in face units.
    void Home(std::int32_t mode, std::int32_t x, std::int32_t y);
    // Moves what is drawn from now on by (dx, dy) face units (see SurfaceMapping::shift).
    void Shift(std::int32_t dx, std::int32_t dy);
    // Sets the current point.
    void XY(std::int32_t x, std::int32_t y);
    // The current point goes back to where a new surface has it, in face and device units.
    void resetPosition();
    // Sets or reads the current point's x (the X property) or y (the Y property).
    void X(std::int32_t x);
    [[nodiscard]] std::int32_t X() const { return m_cur.x; }
    void Y(std::int32_t y);
    [[nodiscard]] std::int32_t Y() const { return m_cur.y; }
    // Clips later drawing to a rectangle of face units; false when no page is recording.
    [[nodiscard]] bool Clip(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
    // Removes the clipping rectangle.
    void DelClip();
    // Line from the device current point to an absolute face point ("draw to x, y").
    void Dxy(std::int32_t x, std::int32_t y);
    // Line from the device current point to a point relative to the last XY point ("draw by
    // dx, dy").
    void DDxy(std::int32_t dx, std::int32_t dy);
    // Horizontal line of length w from (x, y).
    void HDxy(std::int32_t x, std::int32_t y, std::int32_t w);
    // Vertical line of length h from (x, y).
    void VDxy(std::int32_t x, std::int32_t y, std::int32_t h);
    // Line between two absolute points ("move, then draw").
    void MDxy(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    // Line from (x, y) by (dx, dy) ("move, then draw by").
    void DMDxy(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy);
    // Outline (color -1) or filled rectangle; a palette number 0..15 in color is replaced by its
    // colour value.
    void Box(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t& color);
    // Circle outline (color -1) or filled circle of radius r around (x, y).
    void Circ(std::int32_t x, std::int32_t y, std::int32_t r, std::int32_t color);
    // Half circle: the lower half in mode 0, the half the axis mode maps from it otherwise.
    void hCirc(std::int32_t x, std::int32_t y, std::int32_t r);
    // Mark glyph kind 1..16 on the point; other kinds draw nothing.
    void MarkOut(std::int32_t x, std::int32_t y, std::int32_t kind);
    // The picture stretched into a box of w x h face units at the current point; 0 keeps the
    // natural size or the aspect ratio.
    void LoadImage(const Bitmap& picture, std::int32_t w, std::int32_t h);

    // ---- Symbols: barcodes and 2D codes ----

    // The bars of a symbol with the corner of their grid at the current point: rectangles in
    // modules, a module `module` face units wide and high, filled in the current pen's colour.
    // The symbol stands upright on the page whatever the axis mode. RunError 6 when it does not
    // fit the device's coordinates.
    void Bars(double module, std::shared_ptr<const std::vector<QRectF>> bars, bool squareModules);
    // One line of text beside the symbol at the current point, in the current font and upright:
    // the anchor lies dx face units right of the point and dy below it, and is the top of the
    // text and its left edge, centre or right edge.
    void BarText(const QString& text, double dx, double dy, TextAlign align);

    // ---- Font and pen slots, text (see SlotTable and TextLayout) ----

    // Defines font slot n: face, size in points, style bits (1 bold, 2 italic, 4 underline,
    // 8 strike-out), direction in degrees; selects it.
    void setFontType(std::int32_t n, QString& faceName, double size, std::int32_t flags,
        std::int32_t orientation);
    // Selects font slot n (defining the default font when it is empty), or reads the current one.
    void FontNo(std::int32_t n);
    [[nodiscard]] std::int32_t FontNo() const { return m_slots.FontNo(); }
    // The current slot's size in points (rounded), style bits, direction in degrees, face name.
    [[nodiscard]] std::int32_t FontSize() const;
    [[nodiscard]] std::int32_t FontStyle() const;
    [[nodiscard]] double FontOrientation() const;
    [[nodiscard]] QString FontName() const;
    // Height of "H" in the selected font, in device units.
    [[nodiscard]] std::int32_t FontHeight();

    // Defines pen slot n: width in face units, colour, style (0 solid, 1 dash, 2 dot, 3 dash-dot,
    // 4 dash-dot-dot, 5 null); selects it.
    void setPenType(std::int32_t n, std::int32_t width, std::int32_t color, std::int32_t style);
    // Selects pen slot n (a 1-unit black solid pen when it is empty), or reads the current one.
    void PenNo(std::int32_t n);
    [[nodiscard]] std::int32_t PenNo() const { return m_slots.PenNo(); }
    // The current pen's effective width in device units, colour value and style.
    [[nodiscard]] std::int32_t PenWidth() const;
    [[nodiscard]] std::int32_t PenColor() const;
    [[nodiscard]] std::int32_t PenStyle() const;

    // Plain text at the current point ("line print"); width (face units) >= 1 wraps by
    // measurement, otherwise the point does not move.
    void LPK(QString& text, std::int32_t width);
    // Marked-up text at the current point ("print line"): ^ raise, _ lower, ! bold, | italic,
    // # mathematical letter, {} groups, backslash escapes and line breaks.
    void PrintLn(QString& text, std::int32_t width);
    // A message of the interpreter at face y, in one small fixed font from the paper's top-left
    // corner whatever font, axis mode, origin and clipping the face has set, cut at the page's
    // width and left out below its bottom. The current point, font and clipping stay as they were.
    void printMessage(std::int32_t y, const QString& text);
    // Plain text in one line whose start, middle or end is at the current point, measured as it
    // is drawn; the point does not move.
    void AlignedText(const QString& text, TextAlign align);

    // ---- Pages and print jobs (see PageLifeCycle) ----

    // Begins a page, opening the print job first when needed.
    void Start();
    // Ends the page being recorded and outputs it: played on a print target, shown in a preview.
    void NewPage();
    // Outputs a pending page and closes the print job.
    void EndDoc();
    // Discards the page being recorded.
    void KillDoc();
    // The print job is already open on the target (another surface opened it): the next page
    // starts without opening one.
    void continueJob();
    // Opens and closes the print job.
    void PrinterOpen();
    void PrinterClose();
    // Begins recording a page ("open the enhanced metafile"): a fresh device context, axis mode
    // 0, hollow brush, pen 1 and font 1.
    void OpenEMF();
    // Ends recording: the page is closed, its fonts and pens released.
    void CloseEMF();
    // Frees the page ("delete the enhanced metafile"), closing it first when recording.
    void DeleteEMF();
    // Plays the closed page onto the print target as one printer page ("display the enhanced
    // metafile").
    void DispEMF();
    // The closed page (closing a recording one first); null when there is none.
    [[nodiscard]] std::shared_ptr<const PageRecord> Picture();

    // What PrinterOpen binds an unbound surface to: the system printer by default.
    void setPrinterFactory(PageLifeCycle::PrinterFactory factory);
    // The document name of print jobs (the application's title).
    void setDocumentName(const QString& name);

private:
    // The device context of the page: recording, or drawing nowhere between pages.
    [[nodiscard]] PageRecorder& dc();
    [[nodiscard]] SlotContext slotContext();
    // The font of printMessage, measured on the target.
    [[nodiscard]] LogFont messageFont() const;
    // The layout of a text call at the device current point in the current font.
    [[nodiscard]] TextLayout textLayout();
    // MapPoint: the device current point from a face point.
    void MapPoint(std::int32_t x, std::int32_t y);
    void moveDevice();

    shell::LifeLog m_life { QStringLiteral("EMF") };
    // Text measurement at the reference resolution: real fonts, or fixed metrics in tests.
    std::shared_ptr<const TextMetrics> m_metrics;
    SurfaceMapping m_mapping;
    SlotTable m_slots;
    PageLifeCycle m_pages;
    Point m_cur; // the current point in face units (the X and Y properties)
    Point m_dev; // the current point in device units
    std::optional<DeviceRect> m_clip; // in device units, while one is set
};

}
