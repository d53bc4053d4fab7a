#pragma once

#include "document/JobOutcome.h"
#include "document/PagePipeline.h"

#include <cstdint>
#include <functional>
#include <memory>

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
    // Prints a document the merge is still writing on another thread: the pages are rendered as
    // the merge goes past them, but nothing reaches the job or the log before `merged` (which
    // waits for the merge's end) said it succeeded; otherwise the job leaves no trace, as if
    // PrintGo had never run.
    JobOutcome PrintGo(
        std::shared_ptr<const PagedDocument> growing, const std::function<bool()>& merged);

private:
    // Chooses the printer and paper; gives the unprintable margins in tenths of a millimetre.
    // Printed when the job may go ahead, else why not.
    JobOutcome::Status OpenPrintDlg(std::int32_t& xOffset, std::int32_t& yOffset);
    void takePrinterPage();
    [[nodiscard]] JobOutcome::Status askPrintDialog();
    // How the job's interpreters are bound: the printer's page, margins and corrections.
    [[nodiscard]] PagePipeline::Binding binding(std::int32_t xOffset, std::int32_t yOffset) const;
    // The job on `document`; with a gate, nothing is written before it opened.
    JobOutcome runJob(
        std::shared_ptr<const PagedDocument> document, const PagePipeline::OutputGate& gate);
    // Every copy of the range into the job, which is then committed.
    JobOutcome printOn(lang::DControl& control, render::PrintOutput& job,
        std::shared_ptr<const PagedDocument> document, const PagePipeline::OutputGate& gate,
        std::int32_t xOffset, std::int32_t yOffset);
    void finishOutput(const render::PrintOutput& job, JobOutcome& outcome) const;

    PrinterSettings& m_printer;
    MergedDocument& m_merged;
    SourcePreview& m_preview;
    const SourceFile& m_file;
    PrintDialog m_printDialog;
};

}
