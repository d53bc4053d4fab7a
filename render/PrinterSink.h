#pragma once

#include "render/PageOutput.h"

#include <QPainter>
#include <QPrinter>
#include <memory>

class QPrinterInfo;

namespace vorlix::render {

// A print job on a printer: one QPainter for the job, each page played as it closes and a new
// printer page between pages. The printer is high-resolution, at the job's DPI, full page (the
// page's origin is the paper's corner).
class PrinterSink final : public PageOutput {
public:
    // A job for the named printer (empty: the system's default) at the resolution dpi.
    PrinterSink(const QPrinterInfo& printer, int dpi);
    ~PrinterSink() override;

    // The system's default printer.
    [[nodiscard]] static std::unique_ptr<PageOutput> systemPrinter(int dpi);

    // The printer, for paper, orientation, copies and output file before the job starts.
    [[nodiscard]] QPrinter& printer() { return m_printer; }

    bool begin(const QString& documentName) override;
    bool write(const PageRecord& page, const QRect& rect) override;
    // The job goes to the printer: each copy is a job of its own.
    void endJob() override;

    // Pages played in the current or last job.
    [[nodiscard]] int pagesPlayed() const { return m_pages; }

private:
    QPrinter m_printer;
    QPainter m_painter;
    int m_dpi;
    int m_pages = 0;
    bool m_jobOpen = false;
};

}
