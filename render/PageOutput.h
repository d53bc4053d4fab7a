#pragma once

#include <QRect>
#include <QString>
#include <memory>

namespace vorlix::render {

class PageRecord;
struct PdfPreparedPage;

// Where the drawing surface's finished pages go in a print job (a file, a printer, a test's
// collection): the surface begins the job, writes each page as it closes and tells when the
// interpreter ended its job. What the output comes to is its owner's to decide (PrintOutput).
class PageOutput {
public:
    virtual ~PageOutput() = default;

    // The reference device's technology number for the log: 2, a raster printer.
    [[nodiscard]] virtual int technology() const { return 2; }

    // Begins a job with the document name (every copy begins one); false when it cannot be
    // opened.
    virtual bool begin(const QString& documentName) = 0;
    // Writes one page played into the rectangle (device pixels of the printer page); true on
    // success.
    virtual bool write(const PageRecord& page, const QRect& rect) = 0;
    // Makes a page ready to write. Called on the pipeline's workers, so it must be thread-safe;
    // nothing when the output takes pages only as they come (then write does).
    [[nodiscard]] virtual std::shared_ptr<const PdfPreparedPage> prepare(
        const PageRecord& page, const QRect& rect) const
    {
        (void)page;
        (void)rect;
        return nullptr;
    }
    // Writes a page prepare made, in page order; true on success.
    virtual bool writePrepared(const PdfPreparedPage& page)
    {
        (void)page;
        return false;
    }
    // The interpreter ended its job ("end"); another copy may follow into the same output.
    virtual void endJob() { }
    // A page could not be written: nothing more of the job counts, so the rest need not be
    // rendered.
    [[nodiscard]] virtual bool failed() const { return false; }
};

}
