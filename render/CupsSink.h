#pragma once

#include "render/CupsOutput.h"
#include "render/PrintOutput.h"

#include <memory>

namespace vorlix::render {

class PdfFontRegistry;
class PdfWriter;

// A print job on a CUPS queue: the same PDF as an export (pages prepared on the job's workers,
// fonts subset at the end), streamed to the queue as it is written, with no file between. The
// job exists on the server from the first page; only commit() hands it over.
class CupsSink final : public PrintOutput {
public:
    CupsSink(QString queue, QList<CupsOutput::Option> options);
    ~CupsSink() override;
    CupsSink(const CupsSink&) = delete;
    CupsSink& operator=(const CupsSink&) = delete;

    [[nodiscard]] bool isPrinter() const override { return true; }
    bool startDoc(const QString& documentName) override;
    bool playPage(const PageRecord& page, const QRect& rect) override;
    [[nodiscard]] std::shared_ptr<const PreparedPage> preparePage(
        const PageRecord& page, const QRect& rect) const override;
    bool playPrepared(const PreparedPage& page) override;
    void endDoc() override { }
    void setPicture(std::shared_ptr<const PageRecord>) override { }

    bool commit() override;
    void discard() override;
    [[nodiscard]] QString error() const override;
    [[nodiscard]] int jobId() const override { return m_cups.jobId(); }

    // The job's title: the first document name, or the one set here (which wins).
    void setTitle(const QString& title) { m_title = title; }
    [[nodiscard]] int pagesWritten() const { return m_pages; }

private:
    bool open();

    CupsOutput m_cups;
    std::unique_ptr<PdfFontRegistry> m_fonts;
    std::unique_ptr<PdfWriter> m_writer;
    QString m_title;
    QString m_error;
    int m_pages = 0;
    bool m_failed = false;
};

}
