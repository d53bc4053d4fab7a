#pragma once

#include "render/PageOutput.h"

#include <QString>
#include <functional>
#include <memory>

namespace vorlix::render {

class PrintOutput;

// The job of a surface nobody bound: every job the interpreter begins becomes a print output of
// the current printer (a queue, or the export file), committed when the interpreter ends the job,
// as each copy is a job of its own. A job that cannot be opened or committed is logged and
// reported by failed().
class OwnPrintJob final : public PageOutput {
public:
    using OutputFactory = std::function<std::unique_ptr<PrintOutput>()>;
    // The current printer's outputs by default.
    explicit OwnPrintJob(OutputFactory factory = {});
    ~OwnPrintJob() override;
    OwnPrintJob(const OwnPrintJob&) = delete;
    OwnPrintJob& operator=(const OwnPrintJob&) = delete;

    bool begin(const QString& documentName) override;
    bool write(const PageRecord& page, const QRect& rect) override;
    [[nodiscard]] std::shared_ptr<const PdfPreparedPage> prepare(
        const PageRecord& page, const QRect& rect) const override;
    bool writePrepared(const PdfPreparedPage& page) override;
    void endJob() override;
    [[nodiscard]] bool failed() const override { return !m_problem.isEmpty(); }

    // What the last failed job met, in words for the user; empty when none failed.
    [[nodiscard]] const QString& problem() const { return m_problem; }

private:
    void fail(const QString& problem);

    OutputFactory m_factory;
    std::unique_ptr<PrintOutput> m_output;
    QString m_problem;
};

}
