#pragma once

#include "lang/DControl.h"
#include "shell/Report.h"

#include <cstdint>

namespace vorlix::document {

class PreviewTarget;
struct MergedDocument;
struct PrinterSettings;

// The preview: the interpreter bound to the main window's preview picture, which shows one page
// of the last merge at a time. The picture is sized in twips: the page size times 5.67 times the
// preview ratio.
class SourcePreview {
public:
    // The paper comes from the printer settings, the pages from the merged document.
    SourcePreview(PrinterSettings& printer, MergedDocument& merged);

    // Attaches the picture (null: none) and binds the interpreter to it.
    void setPicture(PreviewTarget* picture);
    // Sizes the picture for the current paper and binds the interpreter to it again.
    void bindPreview();
    // After the paper changed in the printer dialog: the picture is emptied, bound again and
    // shows page 1.
    void showPaperChange();

    // The page size in tenths of a millimetre.
    [[nodiscard]] std::int32_t Width() const;
    [[nodiscard]] std::int32_t Height() const;
    // Sets the page size and sizes the picture for it.
    void SetWidth(std::int32_t width);
    void SetHeight(std::int32_t height);
    // The preview scale (view/kPsa at the start); a ratio that is not positive is ignored.
    [[nodiscard]] double PicRatio() const { return m_picRatio; }
    void setPicRatio(double ratio);

    // Shows one page of the last merge (reading the merged document again when reload); a page
    // beyond the document shows page 1.
    void PageView(std::int32_t page, bool reload);

    // The interpreter that renders the preview pages.
    lang::DControl oCt;
    // The interpreter reported an error or warning in the last page shown.
    bool fInterpreterProblem = false;
    // Whether a page with a problem says so in a message box; a window that tells of the problem
    // itself (once per render, not on every zoom or page turn) turns this off.
    bool tellsProblems = true;
    // What the interpreter met in the last page shown (ending its job afterwards starts a
    // report of its own, so the page's report is kept here for the window).
    [[nodiscard]] const shell::Report& report() const { return m_report; }

private:
    // Renders one page with the bound interpreter and keeps what it met.
    void showOnePage(std::int32_t page);

    PrinterSettings& m_printer;
    MergedDocument& m_merged;
    PreviewTarget* m_picture = nullptr;
    double m_picRatio = 1.0;
    shell::Report m_report;
};

}
