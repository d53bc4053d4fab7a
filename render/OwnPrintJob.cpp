#include "render/OwnPrintJob.h"

#include "render/PrintOutput.h"
#include "render/PrinterObject.h"
#include "shell/Log.h"

namespace vorlix::render {

OwnPrintJob::OwnPrintJob(OutputFactory factory)
    : m_factory(std::move(factory))
{
    if (!m_factory)
        m_factory = [] { return PrinterObject::current().createJob(400); };
}

// A job the interpreter never ended is not printed half.
OwnPrintJob::~OwnPrintJob() = default;

bool OwnPrintJob::begin(const QString& documentName)
{
    // A face that begins twice without an end keeps writing into the job it has.
    if (!m_output)
        m_output = m_factory();
    if (!m_output) {
        fail(QStringLiteral("プリンタがありません"));
        return false;
    }
    return m_output->begin(documentName);
}

bool OwnPrintJob::write(const PageRecord& page, const QRect& rect)
{
    return m_output && m_output->write(page, rect);
}

std::shared_ptr<const PdfPreparedPage> OwnPrintJob::prepare(
    const PageRecord& page, const QRect& rect) const
{
    return m_output ? m_output->prepare(page, rect) : nullptr;
}

bool OwnPrintJob::writePrepared(const PdfPreparedPage& page)
{
    return m_output && m_output->writePrepared(page);
}

void OwnPrintJob::endJob()
{
    // A face that ends itself makes the job end twice; the second end has nothing to commit.
    if (!m_output)
        return;
    m_output->endJob();
    const std::unique_ptr<PrintOutput> output = std::move(m_output);
    if (output->commit())
        return;
    const QString error = output->error();
    fail(error.isEmpty() ? QStringLiteral("印刷できませんでした") : error);
}

void OwnPrintJob::fail(const QString& problem)
{
    m_problem = problem;
    shell::WriteLog(QStringLiteral("OwnPrintJob> ") + problem);
}

}
