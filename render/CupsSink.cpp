#include "render/CupsSink.h"

#include "render/PdfFontRegistry.h"
#include "render/PdfPageDevice.h"
#include "render/PdfWriter.h"

namespace vorlix::render {

CupsSink::CupsSink(QString queue, QList<CupsOutput::Option> options)
    : m_cups(std::move(queue), std::move(options))
    , m_fonts(std::make_unique<PdfFontRegistry>())
{
}

CupsSink::~CupsSink()
{
    discard();
}

bool CupsSink::startDoc(const QString& documentName)
{
    if (m_title.isEmpty())
        m_title = documentName;
    return true;
}

std::shared_ptr<const PreparedPage> CupsSink::preparePage(
    const PageRecord& page, const QRect& rect) const
{
    return PdfPageDevice::prepare(*m_fonts, page, rect);
}

bool CupsSink::playPage(const PageRecord& page, const QRect& rect)
{
    const auto prepared = preparePage(page, rect);
    return prepared && playPrepared(*prepared);
}

// The job is created with the first page, so that a job that never gets one leaves nothing on
// the server.
bool CupsSink::open()
{
    if (m_writer)
        return true;
    if (m_failed || !m_cups.begin(m_title))
        return false;
    m_writer = std::make_unique<PdfWriter>(
        [this](const QByteArray& bytes) { return m_cups.write(bytes); });
    return m_writer->open();
}

bool CupsSink::playPrepared(const PreparedPage& page)
{
    const auto* prepared = dynamic_cast<const PdfPreparedPage*>(&page);
    if (!m_failed && prepared && open() && m_writer->writePage(*prepared)) {
        ++m_pages;
        return true;
    }
    m_failed = true;
    return false;
}

bool CupsSink::commit()
{
    if (m_failed) {
        discard();
        return false;
    }
    // Nothing to print: no job at all.
    if (!m_writer)
        return true;
    const bool written = m_writer->finish(m_title);
    m_writer.reset();
    if (!written) {
        m_failed = true;
        discard();
        return false;
    }
    m_failed = !m_cups.commit();
    return !m_failed;
}

void CupsSink::discard()
{
    m_writer.reset();
    m_cups.discard();
}

QString CupsSink::error() const
{
    if (!m_cups.error().isEmpty())
        return m_cups.error();
    return m_failed ? QStringLiteral("the print job could not be written") : QString();
}

}
