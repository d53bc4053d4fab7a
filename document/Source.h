#pragma once

#include "document/MergedDocument.h"
#include "document/PrinterSettings.h"
#include "document/SourceCaret.h"
#include "document/SourceFile.h"
#include "document/SourceMerge.h"
#include "document/SourcePreview.h"
#include "document/SourcePrintJob.h"
#include "shell/Log.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <utility>

namespace vorlix::document {

class PreviewTarget;
class SourceEditor;

// The document object: exactly one exists while the program runs. It owns the parts the main
// window binds to and ties them together: the document file (text, file, title), the caret on the
// editor, the merge pipeline (data tree, face search, paged document), the preview and the print
// job, which share the printer settings.
class Source {
    // First member: the creation is logged before the interpreter and the tree are made, the end
    // after they are gone.
    shell::LifeLog m_life { QStringLiteral("Source") };

public:
    Source();
    // Writes the paper, orientation and this printer's corrections to the settings.
    ~Source();
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    [[nodiscard]] SourceFile& document() { return m_file; }
    [[nodiscard]] SourceCaret& caret() { return m_caret; }
    [[nodiscard]] SourceMerge& merge() { return m_merge; }
    [[nodiscard]] SourcePreview& preview() { return m_preview; }
    [[nodiscard]] SourcePrintJob& printJob() { return m_printJob; }
    [[nodiscard]] PrinterSettings& printer() { return m_printer; }
    [[nodiscard]] MergedDocument& merged() { return m_merged; }

    // Attaches the main window's editor and preview picture (either may be null): the text moves
    // into the editor, the caret works on it, the preview interpreter is bound to the picture.
    void SetObject(SourceEditor* editor, PreviewTarget* picture);
    // Reads and merges the text; true when the paged document is ready.
    bool SrcMerg(QString text) { return m_merge.SrcMerg(std::move(text)); }
    // Merges the current text and prints it in one PrintRun; what the job came to.
    JobOutcome DocPrint();
    // Lets DocPrint render the first pages while the merge still writes the later ones, on a
    // thread of its own (the unattended jobs, which show no printer dialog).
    void setMergeBesideJob(bool beside) { m_mergeBesideJob = beside; }
    // Merges the current text and shows one page of it in the preview.
    void PreView(std::int32_t page);

    // The print-details dialog: given the printer settings, lets the user choose the printer
    // (DeviceName), paper, orientation and the printer's corrections; false when closed without
    // confirming.
    using PrintDetails = std::function<bool(PrinterSettings& printer)>;
    void setPrintDetails(PrintDetails dialog) { m_printDetails = std::move(dialog); }
    // Shows the print-details dialog and binds the preview to the paper chosen; true when the
    // user confirmed. Without a dialog nothing changes.
    bool OpenPrintDet();

private:
    JobOutcome print();

    PrinterSettings m_printer;
    MergedDocument m_merged;
    SourceFile m_file;
    SourceCaret m_caret;
    SourcePreview m_preview;
    SourceMerge m_merge;
    SourcePrintJob m_printJob;
    PrintDetails m_printDetails;
    bool m_mergeBesideJob = false;
};

}
