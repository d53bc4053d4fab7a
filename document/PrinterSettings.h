#pragma once

#include <QString>
#include <cstdint>
#include <limits>

namespace vorlix::document {

// The printer side of the document: which printer, paper and orientation a print job uses, its
// page range and copies, the printer's position corrections, the drawing resolution and the page
// size in tenths of a millimetre. The printer dialog changes it; the document writes the paper and
// the corrections back to the settings when it ends.
struct PrinterSettings {
    QString DeviceName; // the printer in use; its settings section holds its corrections
    std::int16_t PaperSize = 9; // paper code of the printer in use (9 is A4)
    std::int16_t Orientation = 1; // 1 portrait, 2 landscape
    // "To the last page, however many there are": every page, the default range.
    static constexpr std::int32_t LastPage = std::numeric_limits<std::int32_t>::max();
    std::int32_t FromPage = 1, ToPage = LastPage; // the pages a print job prints
    std::int32_t Copies = 1; // how often a print job prints the page range
    // How far this printer's pages are moved right and down, in tenths of a millimetre.
    std::int32_t PaperLeftLag = 0, PaperTopLag = 0;
    std::int32_t DPI = 400; // the resolution print jobs draw at (general/DPI)
    std::int32_t Width = 2100, Height = 2970; // the page size in tenths of a millimetre
    // The paper or orientation came from "-c=" or "-o=" and holds for this run only: the settings
    // keep what the user chose before, until a printer dialog chooses again.
    bool fRunPaper = false, fRunOrientation = false;

    // As the document starts: the current printer, the settings and the command line.
    [[nodiscard]] static PrinterSettings current();
    // Writes the paper, the orientation (unless they are this run's only) and this printer's
    // corrections to the settings.
    void store() const;
    // Makes `name` the printer of these settings, with the corrections its own section holds:
    // corrections belong to one printer and never go with the document to another.
    void usePrinter(const QString& name);
    // The settings section of this printer's corrections; "NULL" without a printer.
    [[nodiscard]] QString printerSection() const;
    // The page range of a "-s=" value: "2,5" is 2 to 5, "5,2" 5 to the last page, "-2,-4" 2 to
    // 4, and anything without a first page and a comma every page.
    static void pageRange(const QString& pages, std::int32_t& from, std::int32_t& to);
};

}
