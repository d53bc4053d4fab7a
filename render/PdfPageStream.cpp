#include "render/PdfPageStream.h"

#include "render/PdfFontRegistry.h"
#include "render/PdfPageDevice.h"
#include "render/PdfWriter.h"

namespace vorlix::render {

PdfPageStream::PdfPageStream(WriterFactory makeWriter)
    : m_makeWriter(std::move(makeWriter))
    , m_fonts(std::make_unique<PdfFontRegistry>())
{
}

PdfPageStream::~PdfPageStream() = default;

std::shared_ptr<const PdfPreparedPage> PdfPageStream::prepare(
    const PageRecord& page, const QRect& rect) const
{
    return PdfPageDevice::prepare(*m_fonts, page, rect);
}

bool PdfPageStream::open()
{
    if (m_writer)
        return m_writer->isOpen();
    m_writer = m_makeWriter();
    if (!m_writer)
        return false;
    return m_writer->open() || failed();
}

bool PdfPageStream::write(const PdfPreparedPage& page)
{
    if (!open())
        return false;
    return m_writer->writePage(page) || failed();
}

bool PdfPageStream::write(const PageRecord& page, const QRect& rect)
{
    const auto prepared = prepare(page, rect);
    return prepared && write(*prepared);
}

bool PdfPageStream::finish(const QString& title)
{
    // A writer that never opened has nothing to finish; its failure was told then.
    const bool finished = !m_writer || !m_writer->isOpen() || m_writer->finish(title) || failed();
    m_writer.reset();
    return finished;
}

void PdfPageStream::drop()
{
    m_writer.reset();
}

// Keeps the writer's reason (the first one) and answers false.
bool PdfPageStream::failed()
{
    if (m_error.isEmpty())
        m_error = m_writer->errorString();
    return false;
}

}
