#pragma once

#include "render/CupsOutput.h"
#include "render/PdfPageStream.h"
#include "render/PrintOutput.h"

namespace vorlix::render {

// A print job on a CUPS queue: the same PDF as an export (pages prepared on the job's workers,
// fonts subset at the end), streamed to the queue as it is written, with no file between. The
// job exists on the server from the first page; only commit() hands it over.
class CupsSink final : public PrintOutput {
public:
    CupsSink(QString queue, QList<CupsOutput::Option> options);
    ~CupsSink() override;
    CupsSink(const CupsSink&) = delete;
    CupsSink& operator=(const CupsSink&) = delete;

    bool begin(const QString& documentName) override;
    bool write(const PageRecord& page, const QRect& rect) override;
    [[nodiscard]] std::shared_ptr<const PdfPreparedPage> prepare(
        const PageRecord& page, const QRect& rect) const override;
    bool writePrepared(const PdfPreparedPage& page) override;

    bool commit() override;
    void discard() override;
    [[nodiscard]] QString error() const override;
    [[nodiscard]] int jobId() const override { return m_cups.jobId(); }

    // The job's title: the first document name, or the one set here (which wins).
    void setTitle(const QString& title) { m_title = title; }
    [[nodiscard]] int pagesWritten() const { return m_pages; }

private:
    // The job is created with the first page, so that a job that never gets one leaves nothing
    // on the server.
    [[nodiscard]] std::unique_ptr<PdfWriter> createJob();
    bool counted(bool written);

    CupsOutput m_cups;
    PdfPageStream m_pdf;
    QString m_title;
    int m_pages = 0;
    bool m_failed = false;
};

}
