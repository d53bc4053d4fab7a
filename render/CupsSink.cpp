#include "render/CupsSink.h"

#include "render/PdfWriter.h"

namespace vorlix::render {

CupsSink::CupsSink(QString queue, QList<CupsOutput::Option> options)
    : m_cups(std::move(queue), std::move(options))
    , m_pdf([this] { return createJob(); })
{
}

CupsSink::~CupsSink()
{
    discard();
}

bool CupsSink::begin(const QString& documentName)
{
    if (m_title.isEmpty())
        m_title = documentName;
    return true;
}

std::shared_ptr<const PdfPreparedPage> CupsSink::prepare(
    const PageRecord& page, const QRect& rect) const
{
    return m_pdf.prepare(page, rect);
}

bool CupsSink::write(const PageRecord& page, const QRect& rect)
{
    return counted(!m_failed && m_pdf.write(page, rect));
}

bool CupsSink::writePrepared(const PdfPreparedPage& page)
{
    return counted(!m_failed && m_pdf.write(page));
}

std::unique_ptr<PdfWriter> CupsSink::createJob()
{
    if (!m_cups.begin(m_title))
        return nullptr;
    return std::make_unique<PdfWriter>(
        [this](const QByteArray& bytes) { return m_cups.write(bytes); });
}

bool CupsSink::counted(bool written)
{
    if (written)
        ++m_pages;
    else
        m_failed = true;
    return written;
}

bool CupsSink::commit()
{
    if (m_failed) {
        discard();
        return false;
    }
    // Nothing to print: no job at all.
    if (!m_pdf.started())
        return true;
    if (!m_pdf.finish(m_title)) {
        m_failed = true;
        discard();
        return false;
    }
    m_failed = !m_cups.commit();
    return !m_failed;
}

void CupsSink::discard()
{
    m_pdf.drop();
    m_cups.discard();
}

QString CupsSink::error() const
{
    if (!m_cups.error().isEmpty())
        return m_cups.error();
    return m_failed ? QStringLiteral("the print job could not be written") : QString();
}

}
