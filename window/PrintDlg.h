#pragma once

#include "render/CupsOutput.h"
#include "shell/Log.h"

#include <QString>
#include <cstdint>

class QPrintDialog;
class QPrinter;
class QWidget;

namespace vorlix::window {

// The printer dialog of the printing path: the caller fills in page range, copies, paper and
// orientation, shows the system's print dialog (Qt's, over the CUPS printers) and reads back the
// printer, range, copies, paper and orientation the user chose. Paper, orientation, colour mode
// and duplex go to the application's printer object as they are set.
class PrintDlg {
    shell::LifeLog m_life { QStringLiteral("PrintDlg") };

public:
    // Dialog flags as the platform numbers them; the ones the dialog follows.
    static constexpr std::int32_t PD_PAGENUMS = 0x2; // the page range is selected, not "all"
    static constexpr std::int32_t PD_NOSELECTION = 0x4; // no "selection" choice
    static constexpr std::int32_t PD_NOPAGENUMS = 0x8; // no page range
    static constexpr std::int32_t PD_DISABLEPRINTTOFILE = 0x80000;
    static constexpr std::int32_t PD_HIDEPRINTTOFILE = 0x100000;
    // Colour modes and duplex modes of the printer's device mode.
    static constexpr std::int16_t DMCOLOR_MONOCHROME = 1;
    static constexpr std::int16_t DMCOLOR_COLOR = 2;
    static constexpr std::int16_t DMDUP_SIMPLEX = 1;
    static constexpr std::int16_t DMDUP_VERTICAL = 2; // long edge
    static constexpr std::int16_t DMDUP_HORIZONTAL = 3; // short edge

    // The defaults: pages 1 to 9999 of 1 to 9999, one copy, the current printer with its paper.
    // Page numbers are not cut to 16 bits: a document may have any number of pages.
    PrintDlg();

    [[nodiscard]] std::int32_t Flags() const { return m_flags; }
    void setFlags(std::int32_t flags) { m_flags = flags; }
    [[nodiscard]] std::int32_t FromPage() const { return m_fromPage; }
    void setFromPage(std::int32_t page) { m_fromPage = page; }
    [[nodiscard]] std::int32_t ToPage() const { return m_toPage; }
    void setToPage(std::int32_t page) { m_toPage = page; }
    [[nodiscard]] std::int32_t Min() const { return m_min; }
    void setMin(std::int32_t page) { m_min = page; }
    [[nodiscard]] std::int32_t Max() const { return m_max; }
    void setMax(std::int32_t page) { m_max = page; }
    [[nodiscard]] std::int16_t Copies() const { return m_copies; }
    void setCopies(std::int16_t copies) { m_copies = copies; }

    // 1 portrait, 2 landscape.
    [[nodiscard]] std::int16_t Orientation() const { return m_orientation; }
    void setOrientation(std::int16_t orientation);
    // The paper code (the program's paper vocabulary).
    [[nodiscard]] std::int16_t PaperSize() const { return m_paperSize; }
    void setPaperSize(std::int16_t code);
    [[nodiscard]] std::int16_t ColorMode() const { return m_colorMode; }
    void setColorMode(std::int16_t mode);
    [[nodiscard]] std::int16_t Duplex() const { return m_duplex; }
    void setDuplex(std::int16_t mode);

    // The paper's width and height (portrait) in twips: tenths of a millimetre times 5.67.
    [[nodiscard]] std::int32_t Width() const;
    [[nodiscard]] std::int32_t Height() const;
    // The chosen printer's name; empty without any printer.
    [[nodiscard]] const QString& DeviceName() const { return m_deviceName; }

    // Shows the dialog over the owner; true when the user confirmed, and then every property
    // holds the choice. A cancel leaves them as they were.
    bool ShowPrinter(QWidget* owner);

    // The CUPS job options a confirmed dialog chose beyond paper, orientation, colour, duplex,
    // copies and range; ShowPrinter hands them to the printer object for the job.
    [[nodiscard]] static QList<render::CupsOutput::Option> jobOptionsOf(const QPrinter& printer);

private:
    // The printer gets paper, orientation, colour, duplex, copies and range before the dialog
    // is made: the dialog takes its page set-up from the printer as it finds it.
    void preparePrinter(QPrinter& printer) const;
    void prepareDialog(QPrintDialog& dialog) const;
    void takeChoice(const QPrinter& printer, bool pageSetUp);

    std::int32_t m_flags = 0;
    std::int32_t m_fromPage = 1;
    std::int32_t m_toPage = 9999;
    std::int32_t m_min = 1;
    std::int32_t m_max = 9999;
    std::int16_t m_copies = 1;
    std::int16_t m_orientation = 1;
    std::int16_t m_paperSize = 9;
    std::int16_t m_colorMode = DMCOLOR_COLOR;
    std::int16_t m_duplex = DMDUP_SIMPLEX;
    QString m_deviceName;
};

}
