#pragma once

#include <QRect>
#include <QString>
#include <memory>

namespace vorlix::render {

class PageRecord;

// A page a print job made ready to write away from the writing thread (see PageSink::preparePage).
class PreparedPage {
public:
    virtual ~PreparedPage() = default;
};

// Where the drawing surface's finished pages go: a print job (printer, PDF, PNG, SVG), played
// page by page as each one closes, or a preview that shows the last page. The surface is bound to
// one sink by SetObject; the sink outlives the binding.
class PageSink {
public:
    virtual ~PageSink() = default;

    // True for a print job (the page is played and dropped), false for a preview (the page
    // becomes its picture).
    [[nodiscard]] virtual bool isPrinter() const = 0;

    // The reference device's technology number for the log: 2 a raster printer, 1 a display.
    [[nodiscard]] virtual int technology() const { return isPrinter() ? 2 : 1; }

    // Preview only: the width of the preview box in twips (15 per pixel); 0 when the box has the
    // page's own size.
    [[nodiscard]] virtual double widthTwips() const { return 0.0; }

    // Print job: begins the job with the document name; false when it cannot be opened.
    virtual bool startDoc(const QString& documentName) = 0;
    // Print job: plays one page into the rectangle (device pixels of the printer page); true on
    // success.
    virtual bool playPage(const PageRecord& page, const QRect& rect) = 0;
    // Print job: makes a page ready to write. Called on the pipeline's workers, so it must be
    // thread-safe; nothing when the job plays pages only as they come (then playPage does).
    [[nodiscard]] virtual std::shared_ptr<const PreparedPage> preparePage(
        const PageRecord& page, const QRect& rect) const
    {
        (void)page;
        (void)rect;
        return nullptr;
    }
    // Print job: writes a page preparePage made, in page order; true on success.
    virtual bool playPrepared(const PreparedPage& page)
    {
        (void)page;
        return false;
    }
    // Print job: ends the job.
    virtual void endDoc() = 0;

    // Preview: the finished page becomes the shown picture (it stays until the next one).
    virtual void setPicture(std::shared_ptr<const PageRecord> page) = 0;
};

}
