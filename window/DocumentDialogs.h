#pragma once

#include <cstdint>

class QWidget;

namespace vorlix::document {
class Source;
struct PrinterSettings;
}

namespace vorlix::window {

// The dialogs the document asks for while it prints: the printer dialog before every print job
// from the window, and the print-details dialog of the paper set-up.
class DocumentDialogs {
public:
    // Lends both dialogs to the document, shown over the owner (the main window).
    static void install(document::Source& source, QWidget* owner);
    // Takes both back: the document prints and sets up without asking again.
    static void remove(document::Source& source);

    // The printer dialog with the document's paper, orientation, range (up to the page count)
    // and copies; on OK the settings hold the printer, range, copies, paper and orientation
    // chosen. False when cancelled.
    static bool choosePrinter(
        document::PrinterSettings& printer, std::int32_t pageCount, QWidget* owner);
    // The print-details dialog with the document's paper and orientation; on OK the settings
    // hold the printer, paper, orientation and corrections chosen. False when closed otherwise.
    static bool chooseDetails(document::PrinterSettings& printer, QWidget* owner);
    // The page range of an export, from the printer dialog's range part (up to the page count);
    // on OK the settings hold it. False when cancelled.
    static bool chooseRange(
        document::PrinterSettings& printer, std::int32_t pageCount, QWidget* owner);
};

}
