#include "window/PrintDlg.h"

#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/Convert.h"

#include <QComboBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace vorlix::window {

using render::PrinterObject;

namespace {

    constexpr double kTwipsPerUnit = 5.67;

    std::int16_t narrow(std::int32_t value)
    {
        return static_cast<std::int16_t>(std::clamp<std::int32_t>(value,
            std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
    }

    std::int32_t twips(std::int32_t tenthsMm)
    {
        return static_cast<std::int32_t>(shell::roundHalfEven(tenthsMm * kTwipsPerUnit));
    }

    // Sets the paper of the page set-up that the dialog makes when its "Properties" button is
    // used: Qt starts it from the CUPS printer's own default paper, whatever the printer holds.
    void presetPaper(QPrintDialog& dialog, const QPageSize& paper)
    {
        auto* sizes = dialog.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
        if (!sizes)
            return;
        for (int i = 0; i < sizes->count(); ++i) {
            const QVariant size = sizes->itemData(i);
            if (size.canConvert<QPageSize>() && size.value<QPageSize>().isEquivalentTo(paper)) {
                sizes->setCurrentIndex(i);
                return;
            }
        }
    }

    // Qt's own list of pages ("1-3, 5") has no place in a print job of one range, and its copies
    // box does not start from the printer's count by itself.
    void adjustControls(QPrintDialog& dialog, int copies)
    {
        for (const char* name : { "pagesRadioButton", "pagesLineEdit" }) {
            if (auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name)))
                widget->hide();
        }
        if (auto* box = dialog.findChild<QSpinBox*>(QStringLiteral("copies")))
            box->setValue(copies);
    }

}

PrintDlg::PrintDlg()
{
    const auto& printer = PrinterObject::current();
    m_deviceName = printer.DeviceName();
    m_paperSize = narrow(printer.PaperSize());
    m_orientation = narrow(printer.Orientation());
    m_colorMode = printer.colorMode() ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    constexpr std::int16_t kDuplex[] = { DMDUP_SIMPLEX, DMDUP_VERTICAL, DMDUP_HORIZONTAL };
    m_duplex = kDuplex[printer.duplex()];
}

void PrintDlg::setOrientation(std::int16_t orientation)
{
    m_orientation = orientation;
    PrinterObject::current().setOrientation(orientation);
}

void PrintDlg::setPaperSize(std::int16_t code)
{
    m_paperSize = code;
    PrinterObject::current().setPaperSize(code);
}

void PrintDlg::setColorMode(std::int16_t mode)
{
    m_colorMode = mode;
    PrinterObject::current().setColorMode(mode != DMCOLOR_MONOCHROME);
}

void PrintDlg::setDuplex(std::int16_t mode)
{
    m_duplex = mode;
    PrinterObject::current().setDuplex(mode == DMDUP_VERTICAL ? 1
            : mode == DMDUP_HORIZONTAL                        ? 2
                                                              : 0);
}

std::int32_t PrintDlg::Width() const
{
    return twips(shell::PaperExtent(1, m_paperSize, 1));
}

std::int32_t PrintDlg::Height() const
{
    return twips(shell::PaperExtent(2, m_paperSize, 1));
}

void PrintDlg::preparePrinter(QPrinter& printer) const
{
    printer.setPageSize(PrinterObject::pageSizeOf(m_paperSize));
    printer.setPageOrientation(m_orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setColorMode(m_colorMode == DMCOLOR_MONOCHROME ? QPrinter::GrayScale : QPrinter::Color);
    printer.setDuplex(m_duplex == DMDUP_VERTICAL ? QPrinter::DuplexLongSide
            : m_duplex == DMDUP_HORIZONTAL       ? QPrinter::DuplexShortSide
                                                 : QPrinter::DuplexNone);
    printer.setCopyCount(std::max<int>(1, m_copies));

    const int low = std::max<int>(1, m_min);
    const int high = std::max<int>(low, m_max);
    const int from = std::clamp<int>(m_fromPage, low, high);
    const int to = std::clamp<int>(m_toPage, from, high);
    printer.setFromTo(from, to);
    // A range narrower than the document is shown chosen; otherwise "all pages" is.
    const bool range = (m_flags & PD_PAGENUMS) || from > low || to < high;
    printer.setPrintRange(range ? QPrinter::PageRange : QPrinter::AllPages);
}

void PrintDlg::prepareDialog(QPrintDialog& dialog) const
{
    const int low = std::max<int>(1, m_min);
    dialog.setMinMax(low, std::max<int>(low, m_max));
    dialog.setOption(QAbstractPrintDialog::PrintToFile,
        !(m_flags & (PD_HIDEPRINTTOFILE | PD_DISABLEPRINTTOFILE)));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, !(m_flags & PD_NOSELECTION));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, !(m_flags & PD_NOPAGENUMS));
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // Every copy is the whole range: the job prints the range once per copy.
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    dialog.setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    adjustControls(dialog, std::max<int>(1, m_copies));
}

void PrintDlg::takeChoice(const QPrinter& printer, bool pageSetUp)
{
    m_deviceName = printer.printerName();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        m_fromPage = printer.fromPage();
        m_toPage = std::max(printer.fromPage(), printer.toPage());
    } else {
        m_fromPage = m_min;
        m_toPage = m_max;
    }
    m_copies = narrow(std::max(1, printer.copyCount()));

    // A paper of the same size keeps its code (A4 and A4S are the same sheet).
    const QPageSize chosen = printer.pageLayout().pageSize();
    const bool samePaper = chosen.isEquivalentTo(PrinterObject::pageSizeOf(m_paperSize));
    setPaperSize(samePaper || !pageSetUp ? m_paperSize : narrow(PrinterObject::codeOf(chosen)));
    if (pageSetUp)
        setOrientation(printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1);
    else
        setOrientation(m_orientation);
    setColorMode(printer.colorMode() == QPrinter::GrayScale ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR);
    setDuplex(printer.duplex() == QPrinter::DuplexLongSide  ? DMDUP_VERTICAL
            : printer.duplex() == QPrinter::DuplexShortSide ? DMDUP_HORIZONTAL
                                                            : DMDUP_SIMPLEX);
    QList<render::CupsOutput::Option> options = jobOptionsOf(printer);
    // The reverse order is QPrinter's own setting, not among the CUPS options Qt keeps.
    const bool ordered = std::any_of(options.cbegin(), options.cend(),
        [](const render::CupsOutput::Option& option) { return option.first == "outputorder"; });
    if (printer.pageOrder() == QPrinter::LastPageFirst && !ordered)
        options.append(render::CupsOutput::Option("outputorder", "reverse"));
    PrinterObject::current().setJobOptions(std::move(options));
}

QList<render::CupsOutput::Option> PrintDlg::jobOptionsOf(const QPrinter& printer)
{
    // Qt's CUPS dialog keeps what it offers beyond QPrinter's own settings (page set, pages per
    // side, reverse order, banners, the PPD options of Properties) as name, value, name, ...
    // under this engine property.
    constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    QList<render::CupsOutput::Option> options;
    const QStringList list = printer.printEngine()->property(kCupsOptions).toStringList();
    for (qsizetype i = 0; i + 1 < list.size(); i += 2)
        options.append(render::CupsOutput::Option(list.at(i).toUtf8(), list.at(i + 1).toUtf8()));
    return options;
}

bool PrintDlg::ShowPrinter(QWidget* owner)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_deviceName);
    QPrinter printer(
        info.isNull() ? QPrinterInfo::defaultPrinter() : info, QPrinter::HighResolution);
    preparePrinter(printer);
    QPrintDialog dialog(&printer, owner);
    prepareDialog(dialog);
    // Paper and orientation are the user's choice only when the page set-up was opened; otherwise
    // the dialog gives back the CUPS printer's default paper, which nobody chose.
    bool pageSetUp = false;
    if (auto* properties = dialog.findChild<QPushButton*>(QStringLiteral("properties"))) {
        const QPageSize paper = PrinterObject::pageSizeOf(m_paperSize);
        QObject::connect(properties, &QPushButton::pressed, &dialog, [&dialog, &pageSetUp, paper] {
            pageSetUp = true;
            QTimer::singleShot(0, &dialog, [&dialog, paper] { presetPaper(dialog, paper); });
        });
    }
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    if (confirmed) {
        // Qt leaves the colour of a CUPS printer to the PPD's option in Properties and ignores
        // the dialog's own colour buttons for it: what the user sees checked is the choice.
        if (auto* gray = dialog.findChild<QAbstractButton*>(QStringLiteral("grayscale"));
            gray && gray->isEnabled())
            printer.setColorMode(gray->isChecked() ? QPrinter::GrayScale : QPrinter::Color);
        takeChoice(printer, pageSetUp);
    }
    shell::WriteLog(QStringLiteral("PrintDlg/ShowPrinter>") + m_deviceName);
    return confirmed;
}

}
