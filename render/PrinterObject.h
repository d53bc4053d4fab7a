#pragma once

#include "render/CupsOutput.h"
#include "shell/CurrentPrinter.h"

#include <QMarginsF>
#include <QPageSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>

class QPrinterInfo;

namespace vorlix::render {

class PrintOutput;

// The application's current printer: the chosen CUPS destination with its paper and orientation.
// It changes only when the program selects another printer. An export target (a PDF, PNG or SVG
// file) takes the printer's place for unattended exports: same paper, no unprintable margins.
class PrinterObject final : public shell::CurrentPrinter {
public:
    PrinterObject();
    ~PrinterObject() override;
    PrinterObject(const PrinterObject&) = delete;
    PrinterObject& operator=(const PrinterObject&) = delete;

    // The one printer object of the process (also the shell's current printer once installed).
    [[nodiscard]] static PrinterObject& current();
    // Makes current() the printer that PaperExtent and the paper utilities ask.
    static void install();

    // Selects the installed printer of this whole name, letter case aside as CUPS compares queue
    // names; "default" in any letter case keeps the printer. Returns the full name selected, or
    // empty when nothing changed.
    QString SelectPrinter(const QString& name);

    // Whether a real printer is behind this object.
    [[nodiscard]] bool exists() const;
    [[nodiscard]] QString DeviceName() const;
    // Whether a job has somewhere to go: an export file, the chosen printer or any other installed
    // one that the printer dialog can offer.
    [[nodiscard]] bool canPrint() const;

    // Paper code (the program's paper vocabulary) and orientation (1 portrait, 2 landscape).
    [[nodiscard]] std::int32_t PaperSize() const;
    void setPaperSize(std::int32_t code);
    [[nodiscard]] std::int32_t Orientation() const { return m_orientation; }
    void setOrientation(std::int32_t orientation);

    // Colour (true) or greyscale, and the duplex mode (0 one-sided, 1 long edge, 2 short edge)
    // of the jobs.
    [[nodiscard]] bool colorMode() const { return m_color; }
    void setColorMode(bool color) { m_color = color; }
    [[nodiscard]] int duplex() const { return m_duplex; }
    void setDuplex(int duplex) { m_duplex = duplex >= 0 && duplex <= 2 ? duplex : 0; }

    // Options the printer dialog chose beyond paper, orientation, colour and duplex (page set,
    // pages per side, tray, ...), given to every job as CUPS options.
    void setJobOptions(QList<CupsOutput::Option> options) { m_jobOptions = std::move(options); }
    [[nodiscard]] const QList<CupsOutput::Option>& jobOptions() const { return m_jobOptions; }
    // The CUPS options of a job on this printer: paper, orientation, colour, duplex and the
    // dialog's own.
    [[nodiscard]] QList<CupsOutput::Option> cupsOptions() const;

    // Sends jobs to a file instead of the printer (format from the extension); empty for the
    // printer again.
    void setExportFile(const QString& path) { m_exportFile = path; }
    [[nodiscard]] const QString& exportFile() const { return m_exportFile; }

    // Page and printable sizes in twips, in the current orientation.
    [[nodiscard]] double pageWidthTwips() const override;
    [[nodiscard]] double pageHeightTwips() const override;
    [[nodiscard]] double printableWidthTwips() const;
    [[nodiscard]] double printableHeightTwips() const;

    // A new job for the current printer (or export file) at the resolution dpi, with this
    // object's paper and orientation; null when the printer does not exist.
    [[nodiscard]] std::unique_ptr<PrintOutput> createJob(int dpi) const;

    // The page size of a paper code (custom sizes for codes that have no standard page).
    [[nodiscard]] static QPageSize pageSizeOf(std::int32_t code);
    // The paper code of a page size; 256 (user) when the table has none.
    [[nodiscard]] static std::int32_t codeOf(const QPageSize& size);

    // Asks CUPS for the default destination, once; any thread may, and the program does so
    // beside its start-up. A second caller waits for the first one's answer. A server that does
    // not answer within CupsOutput::timeoutSeconds() counts as no printer (serverProblem()).
    void lookUpDefaultPrinter() const;
    // For a run that needs no printer (an export): CUPS is never asked, there is no printer and
    // so no printer's corrections.
    void forgoPrinter() const;
    // Why the printers could not be asked (a server that does not answer); empty otherwise.
    [[nodiscard]] QString serverProblem() const;

private:
    // Takes the default destination found (asking for it when no one has yet), once; its paper
    // applies unless a paper was chosen before.
    void settle() const;
    // Whether a printer was found; settle() must have run.
    [[nodiscard]] bool hasPrinter() const;
    [[nodiscard]] QSizeF paperTenthsMm() const;
    [[nodiscard]] QMarginsF marginsMm() const;

    // The answer of CUPS takes a while and is seldom needed before the document has been read.
    mutable std::once_flag m_lookedUp;
    mutable std::unique_ptr<QPrinterInfo> m_defaultPrinter;
    mutable QString m_serverProblem;
    mutable std::once_flag m_settled;
    // The chosen CUPS destination; kept out of this header so that its users need no printing
    // headers.
    mutable std::unique_ptr<QPrinterInfo> m_info;
    mutable std::int32_t m_paperCode = 9;
    bool m_paperChosen = false;
    std::int32_t m_orientation = 1;
    bool m_color = true;
    int m_duplex = 0;
    QString m_exportFile;
    QList<CupsOutput::Option> m_jobOptions;
};

}
