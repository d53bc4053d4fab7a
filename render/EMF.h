#pragma once

#include "render/GdiTypes.h"
#include "shell/Log.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace vorlix::render {

class Device;
class PageRecord;
class PageRecorder;
class PageSink;
class TextMetrics;

// The drawing surface. The interpreter calls it for every drawing command of a face; it keeps the
// units and coordinate mapping (page size, zoom ratio, printer position correction, the eight
// axis modes), the current point, clipping, the font and pen slots and the text layout, and it
// records each page as a PageRecord in device units of the reference device (the printer's DPI,
// or a 96-dpi screen for the preview). Finished pages go to the PageSink given to SetObject.
//
// Face units are tenths of a millimetre. Every conversion to an integer rounds half to even and
// raises shell::RunError 6 when it does not fit; 32-bit sums are checked the same way. Slot
// numbers out of range raise RunError 9.
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
    // ignored; for a preview they are kept and handed back by setRatio.
    void SetObject(PageSink& target, std::int32_t dc, std::int32_t dpi, double ratio,
        std::int32_t width, std::int32_t height, std::int32_t marginX, std::int32_t marginY);
    // Re-binds with the same target and page and a new zoom ratio.
    void setRatio(double ratio);
    // Printer position correction in face units; applies to printed output only. Resets the
    // axis mode with Home(0, 0, 0).
    void setLag(std::int32_t x, std::int32_t y);
    // Device units per face unit along device x and y, signed by the axis mode.
    void getLtoP(double& sx, double& sy) const;
    // The device of the page being recorded, null when no page is recording.
    [[nodiscard]] Device* hDC();

    // Axis mode 0..7 and origin in face units.
    void Home(std::int32_t mode, std::int32_t x, std::int32_t y);
    void XY(std::int32_t x, std::int32_t y);
    void X(std::int32_t x);
    [[nodiscard]] std::int32_t X() const { return m_curX; }
    void Y(std::int32_t y);
    [[nodiscard]] std::int32_t Y() const { return m_curY; }
    [[nodiscard]] bool Clip(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
    void DelClip();
    // Line from the device current point to an absolute face point.
    void Dxy(std::int32_t x, std::int32_t y);
    // Line from the device current point to a point relative to the last XY point.
    void DDxy(std::int32_t dx, std::int32_t dy);
    void HDxy(std::int32_t x, std::int32_t y, std::int32_t w);
    void VDxy(std::int32_t x, std::int32_t y, std::int32_t h);
    void MDxy(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void DMDxy(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy);
    // Outline (color -1) or filled rectangle; a palette number 0..15 in color is replaced by its
    // colour value.
    void Box(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t& color);
    void Circ(std::int32_t x, std::int32_t y, std::int32_t r, std::int32_t color);
    void hCirc(std::int32_t x, std::int32_t y, std::int32_t r);
    // Mark glyph kind 1..16 on the point; other kinds draw nothing.
    void MarkOut(std::int32_t x, std::int32_t y, std::int32_t kind);
    // The picture stretched into a box of w x h face units at the current point; 0 keeps the
    // natural size or the aspect ratio.
    void LoadImage(const QImage& picture, std::int32_t w, std::int32_t h);

    // ---- Font and pen slots, text ----

    void setFontType(std::int32_t n, QString& faceName, double size, std::int32_t flags,
        std::int32_t orientation);
    void FontNo(std::int32_t n);
    [[nodiscard]] std::int32_t FontNo() const { return m_curFont; }
    [[nodiscard]] std::int32_t FontSize() const;
    [[nodiscard]] std::int32_t FontStyle() const;
    [[nodiscard]] std::int32_t FontHeight();
    [[nodiscard]] double FontOrientation() const;
    [[nodiscard]] QString FontName() const;

    void setPenType(std::int32_t n, std::int32_t width, std::int32_t color, std::int32_t style);
    void PenNo(std::int32_t n);
    [[nodiscard]] std::int32_t PenNo() const { return m_curPen; }
    [[nodiscard]] std::int32_t PenWidth() const;
    [[nodiscard]] std::int32_t PenColor() const;
    [[nodiscard]] std::int32_t PenStyle() const;

    // Plain text at the current point; width (face units) >= 1 wraps by measurement.
    void LPK(QString& text, std::int32_t width);
    // Marked-up text: ^ raise, _ lower, ! bold, | italic, # mathematical letter, {} groups,
    // backslash escapes and line breaks.
    void PrintLn(QString& text, std::int32_t width);

    // ---- Pages and print jobs ----

    void Start();
    void NewPage();
    void EndDoc();
    void KillDoc();
    void PrinterOpen();
    void PrinterClose();
    void OpenEMF();
    void CloseEMF();
    void DeleteEMF();
    void DispEMF();
    // The closed page (closing a recording one first); null when there is none.
    [[nodiscard]] std::shared_ptr<const PageRecord> Picture();

    // What PrinterOpen binds an unbound surface to: the system printer by default.
    using PrinterFactory = std::function<std::unique_ptr<PageSink>()>;
    void setPrinterFactory(PrinterFactory factory);
    // The document name of print jobs (the application's title).
    void setDocumentName(const QString& name) { m_documentName = name; }

    // ---- State for callers and tests ----

    [[nodiscard]] bool isPreview() const { return m_isPreview; }
    [[nodiscard]] bool initialised() const { return m_initialised; }
    [[nodiscard]] bool docOpen() const { return m_docOpen; }
    [[nodiscard]] bool pageDone() const { return m_pageDone; }
    [[nodiscard]] bool docClosed() const { return m_docClosed; }
    [[nodiscard]] int emfState() const { return m_emfState; }
    [[nodiscard]] std::int32_t devWidth() const { return m_devWidth; }
    [[nodiscard]] std::int32_t devHeight() const { return m_devHeight; }
    [[nodiscard]] std::int32_t devX() const { return m_devX; }
    [[nodiscard]] std::int32_t devY() const { return m_devY; }
    [[nodiscard]] std::int32_t mode() const { return m_mode; }
    [[nodiscard]] double ratio() const { return m_ratio; }
    [[nodiscard]] double penScale() const { return m_penScale; }
    [[nodiscard]] double fontScale() const { return m_fontScale; }
    [[nodiscard]] std::int32_t marginX() const { return m_marginX; }
    [[nodiscard]] std::int32_t marginY() const { return m_marginY; }
    [[nodiscard]] const DeviceRect& frameRect() const { return m_frameRect; }
    [[nodiscard]] const DeviceRect& clipRect() const { return m_clipRect; }
    [[nodiscard]] QSize extent() const { return m_extent; }
    // Resolution of the reference device: the DPI for a print target, 96 for a preview.
    [[nodiscard]] int referenceDpi() const;
    // Font description n (0..15): lfHeight and lfWidth are the slot's measured metrics.
    [[nodiscard]] const LogFont& fontDescription(int n) const;
    // Parallel stroke offsets of pen slot n.
    [[nodiscard]] std::pair<std::int32_t, std::int32_t> penStrokes(int n) const;

private:
    struct FontSlot {
        bool inUse = false;
        bool defining = false;
        QString faceName;
        double size = 0.0;
        std::int32_t flags = 0;
        std::int32_t orientation = 0;
        double sinA = 0.0;
        double cosA = 1.0;
        LogFont font;
    };
    struct PenSlot {
        bool inUse = false;
        bool defining = false;
        std::int32_t width = 0;
        ColorRef color = 0;
        std::int32_t style = 0;
        std::int32_t strokeFrom = 0;
        std::int32_t strokeTo = 0;
        PenDesc pen;
    };

    // Mapping.
    void MapPoint(std::int32_t x, std::int32_t y);
    [[nodiscard]] std::int32_t MapX(std::int32_t x) const;
    [[nodiscard]] std::int32_t MapY(std::int32_t y) const;
    [[nodiscard]] std::int32_t LenX(std::int32_t w) const;
    [[nodiscard]] std::int32_t LenY(std::int32_t h) const;
    void computeDeviceSize();
    void moveDevice();

    // Slots and page boundaries.
    [[nodiscard]] const FontSlot* currentFontSlot() const;
    // The description whose metrics (lfHeight = H, lfWidth = W) the current slot has.
    [[nodiscard]] const LogFont& currentDescription() const;
    [[nodiscard]] FontSlot& fontSlot(std::int32_t n);
    [[nodiscard]] PenSlot& penSlot(std::int32_t n);
    void selectDeviceFont(const LogFont& font);
    [[nodiscard]] const PenSlot* currentPenSlot() const;
    void selectFontSlot(std::int32_t n);
    void ReleaseGdiObjects();
    [[nodiscard]] QSize measure(const QString& text);

    // Text layout.
    void AdvanceText(std::int32_t dx, std::int32_t dy);
    void OutText(const QString& text, int after);
    void OutWrapped(const QString& text);
    void OutGridChar(QChar ch);
    void OutLetter(QChar ch);
    void OutMarkup(qsizetype& pos, const QString& text);
    void NewLine();
    // The selected font and the description in use, saved around a variant.
    struct FontState {
        LogFont selected;
        LogFont active;
    };
    [[nodiscard]] FontState VariantFont(double hs, double ws, bool bold, bool italic);
    void RestoreFont(const FontState& previous);

    shell::LifeLog m_life { QStringLiteral("EMF") };
    std::shared_ptr<const TextMetrics> m_metrics;
    PrinterFactory m_printerFactory;
    std::unique_ptr<PageSink> m_ownPrinter;
    QString m_documentName;

    PageSink* m_target = nullptr;
    bool m_isPreview = false;
    std::int32_t m_targetDC = 0;
    std::int32_t m_dpi = 400;
    double m_ratio = 1.0;
    std::int32_t m_pageWidth = 2100;
    std::int32_t m_pageHeight = 2970;
    DeviceRect m_frameRect;
    std::int32_t m_devWidth = 0;
    std::int32_t m_devHeight = 0;
    double m_screenRatio = 1.0;
    double m_penScale = 1.0;
    double m_fontScale = 1.0;
    std::int32_t m_lagX = 0;
    std::int32_t m_lagY = 0;
    std::int32_t m_marginX = 0;
    std::int32_t m_marginY = 0;
    std::int32_t m_mode = 0;
    bool m_axesNormal = true;
    double m_scaleX = 0.0;
    double m_scaleY = 0.0;
    std::int32_t m_originX = 0;
    std::int32_t m_originY = 0;
    std::int32_t m_curX = 0;
    std::int32_t m_curY = 0;
    std::int32_t m_devX = 0;
    std::int32_t m_devY = 0;
    DeviceRect m_clipRect;
    bool m_clipRegion = false;
    bool m_initialised = false;
    bool m_docOpen = false;
    bool m_pageDone = false;
    bool m_docClosed = false;
    int m_emfState = 0;
    std::unique_ptr<PageRecorder> m_emfDC;
    std::int64_t m_emfDCId = 0;
    std::int64_t m_emfHandleId = 0;
    std::size_t m_lastPageCalls = 240;
    std::shared_ptr<PageRecord> m_emfHandle;
    std::shared_ptr<const PageRecord> m_picture;

    std::array<FontSlot, 17> m_fontSlots;
    std::array<LogFont, 16> m_fontDesc;
    std::array<PenSlot, 17> m_penSlots;
    std::int32_t m_curFont = -1;
    std::int32_t m_curPen = -1;
    bool m_savedFont = false;
    bool m_savedPen = false;
    bool m_savedBrush = false;
    QSize m_extent;
    std::int32_t m_lineWidth = 0;
    std::int32_t m_lineStartX = 0;
    std::int32_t m_lineStartY = 0;
    std::int32_t m_remaining = 0;
    // The description in use for text metrics (the slot's, or a mark-up variant's) and the font
    // selected into the device.
    LogFont m_activeFont;
    LogFont m_selectedFont;
    int m_markupDepth = 0;
};

}
