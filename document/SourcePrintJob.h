#pragma once

#include "document/JobOutcome.h"
#include "document/PagePipeline.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace vorlix::lang {
class DControl;
}

namespace vorlix::render {
class PrintOutput;
}

namespace vorlix::document {

class SourceFile;
class PagedDocument;
class SourcePreview;
struct MergedDocument;
struct PrinterSettings;

// The print job of the document: the printer dialog (none in the unattended modes), then the page
// range of the last merge rendered by a fresh interpreter once per copy into one job of the
// current printer (or export file), moved by the printer's corrections.
class SourcePrintJob {
public:
    // The printer dialog: given the printer settings and the page count, lets the user choose the
    // printer (DeviceName), paper, orientation, range and copies; false when cancelled. Without
    // one (and in the unattended modes) the current printer is used as it is.
    using PrintDialog = std::function<bool(PrinterSettings& printer, std::int32_t pageCount)>;

    // The document's title names the job; the preview follows a change of paper.
    SourcePrintJob(PrinterSettings& printer, MergedDocument& merged, SourcePreview& preview,
        const SourceFile& file);

    void setPrintDialog(PrintDialog dialog) { m_printDialog = std::move(dialog); }

    // Prints the last merge; printed when the job ran to its end (merged.fPrCpOn). Nothing is
    // printed without a successful merge or when the dialog is cancelled.
    JobOutcome PrintGo();

    // The steps of one run, in order. Binds `control` to `document` and chooses the printer and
    // paper (a document still being merged tells its page count at its end); printed when the
    // job may go ahead, else why not.
    [[nodiscard]] JobOutcome::Status open(
        lang::DControl& control, std::shared_ptr<const PagedDocument> document, bool growing);
    // A fresh output of the current printer (or export file); none, said to the user, when
    // there is no printer.
    [[nodiscard]] std::unique_ptr<render::PrintOutput> createOutput() const;
    // Every copy of the range into the job, which is then committed; with a gate, nothing is
    // written before it opened.
    JobOutcome printOn(lang::DControl& control, render::PrintOutput& job,
        std::shared_ptr<const PagedDocument> document, const PagePipeline::OutputGate& gate);

    // The merge the job prints, whose page count and fPrCpOn it keeps.
    [[nodiscard]] MergedDocument& merged() { return m_merged; }

private:
    // Chooses the printer and paper; gives the unprintable margins in tenths of a millimetre.
    // Printed when the job may go ahead, else why not.
    JobOutcome::Status OpenPrintDlg(std::int32_t& xOffset, std::int32_t& yOffset);
    void takePrinterPage();
    [[nodiscard]] JobOutcome::Status askPrintDialog();
    // How the job's interpreters are bound: the printer's page, margins and corrections.
    [[nodiscard]] PagePipeline::Binding binding() const;
    void finishOutput(const render::PrintOutput& job, JobOutcome& outcome) const;

    PrinterSettings& m_printer;
    MergedDocument& m_merged;
    SourcePreview& m_preview;
    const SourceFile& m_file;
    PrintDialog m_printDialog;
    // The unprintable margins of the printer open() chose.
    std::int32_t m_xOffset = 0;
    std::int32_t m_yOffset = 0;
};

}
