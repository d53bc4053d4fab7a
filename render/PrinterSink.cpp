#include "render/PrinterSink.h"

#include "render/AllocatorTuning.h"
#include "render/PageRecord.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

namespace vorlix::render {

PrinterSink::PrinterSink(const QPrinterInfo& printer, int dpi)
    : m_printer(printer, QPrinter::HighResolution)
    , m_dpi(dpi)
{
    m_printer.setResolution(dpi);
    m_printer.setFullPage(true);
}

PrinterSink::~PrinterSink()
{
    endJob();
}

std::unique_ptr<PageOutput> PrinterSink::systemPrinter(int dpi)
{
    return std::make_unique<PrinterSink>(QPrinterInfo::defaultPrinter(), dpi);
}

bool PrinterSink::begin(const QString& documentName)
{
    keepLargeBuffersInHeap();
    m_printer.setDocName(documentName);
    m_jobOpen = true;
    m_pages = 0;
    return true;
}

bool PrinterSink::write(const PageRecord& page, const QRect& rect)
{
    if (!m_jobOpen)
        return false;
    if (m_pages == 0) {
        if (!m_painter.begin(&m_printer))
            return false;
    } else if (!m_printer.newPage()) {
        return false;
    }
    ++m_pages;
    // The rectangle is in pixels of the job's resolution; the driver may have chosen another.
    const double scale = m_printer.resolution() / static_cast<double>(m_dpi);
    page.play(m_painter,
        QRectF(rect.x() * scale, rect.y() * scale, rect.width() * scale, rect.height() * scale));
    return true;
}

void PrinterSink::endJob()
{
    if (m_painter.isActive())
        m_painter.end();
    m_jobOpen = false;
}

}
