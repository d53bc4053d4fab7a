#pragma once

#include "document/PagePipeline.h"
#include "shell/Report.h"

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

    // Prints the last merge; true when the job ran to its end (merged.fPrCpOn). Nothing is
    // printed without a successful merge or when the dialog is cancelled.
    bool PrintGo();
    // Prints a document the merge is still writing on another thread: the pages are rendered as
    // the merge goes past them, but nothing reaches the job or the log before `merged` (which
    // waits for the merge's end) said it succeeded; otherwise the job leaves no trace, as if
    // PrintGo had never run.
    bool PrintGo(std::shared_ptr<const PagedDocument> growing, const std::function<bool()>& merged);

    // The job's output could not be completed (a file that could not be written, a printer
    // that refused the job or does not exist).
    bool fOutputFailed = false;
    // The interpreter reported an error or warning during the last job.
    bool fInterpreterProblem = false;
    // What the interpreter reported during the last job: its first failure's number and text.
    [[nodiscard]] const shell::Report& interpreterReport() const { return m_interpreterReport; }
    // The printer's number of the last job; 0 when it went to a file or never reached a printer.
    [[nodiscard]] int jobId() const { return m_jobId; }
    // Why the last job's printer refused or lost it, or its file could not be written, in the
    // system's words; empty when nothing failed or no reason was given.
    [[nodiscard]] const QString& outputError() const { return m_outputError; }

private:
    // Chooses the printer and paper; gives the unprintable margins in tenths of a millimetre.
    bool OpenPrintDlg(std::int32_t& xOffset, std::int32_t& yOffset);
    void takePrinterPage();
    [[nodiscard]] bool askPrintDialog();
    // How the job's interpreters are bound: the printer's page, margins and corrections.
    [[nodiscard]] PagePipeline::Binding binding(std::int32_t xOffset, std::int32_t yOffset) const;
    // The job on `document`; with a gate, nothing is written before it opened.
    bool runJob(
        std::shared_ptr<const PagedDocument> document, const PagePipeline::OutputGate& gate);
    void resetResults();
    void finishOutput(const render::PrintOutput& job);

    PrinterSettings& m_printer;
    MergedDocument& m_merged;
    SourcePreview& m_preview;
    const SourceFile& m_file;
    PrintDialog m_printDialog;
    shell::Report m_interpreterReport;
    int m_jobId = 0;
    QString m_outputError;
};

}
