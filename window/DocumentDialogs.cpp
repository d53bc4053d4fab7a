#include "window/DocumentDialogs.h"

#include "document/PrinterSettings.h"
#include "document/Source.h"
#include "window/ExportRange.h"
#include "window/PrintDet.h"
#include "window/PrintDlg.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <algorithm>
#include <limits>
#include <optional>

namespace vorlix::window {

namespace {

    // The dialog's 16-bit copy count.
    std::int16_t copyCount(std::int32_t copies)
    {
        return static_cast<std::int16_t>(
            std::clamp<std::int32_t>(copies, 1, std::numeric_limits<std::int16_t>::max()));
    }

    // The flags of the printing path: a device context back, no "selection", no print to file.
    constexpr std::int32_t kPrintFlags = 1048836;

    // A dialog shows the normal pointer, also inside a command that shows the hourglass; the
    // hourglass is back when the dialog ends.
    class NormalPointer {
    public:
        NormalPointer()
            : m_cursor(QGuiApplication::overrideCursor()
                    ? std::optional<QCursor>(*QGuiApplication::overrideCursor())
                    : std::nullopt)
        {
            if (m_cursor)
                QGuiApplication::restoreOverrideCursor();
        }
        ~NormalPointer()
        {
            if (m_cursor)
                QGuiApplication::setOverrideCursor(*m_cursor);
        }
        NormalPointer(const NormalPointer&) = delete;
        NormalPointer& operator=(const NormalPointer&) = delete;

    private:
        std::optional<QCursor> m_cursor;
    };

}

void DocumentDialogs::install(document::Source& source, QWidget* owner)
{
    QPointer<QWidget> window(owner);
    source.printJob().setPrintDialog(
        [window](document::PrinterSettings& printer, std::int32_t pages) {
            return choosePrinter(printer, pages, window.data());
        });
    source.setPrintDetails([window](document::PrinterSettings& printer) {
        return chooseDetails(printer, window.data());
    });
}

void DocumentDialogs::remove(document::Source& source)
{
    source.printJob().setPrintDialog({});
    source.setPrintDetails({});
}

bool DocumentDialogs::choosePrinter(
    document::PrinterSettings& printer, std::int32_t pageCount, QWidget* owner)
{
    PrintDlg dialog;
    dialog.setPaperSize(printer.PaperSize);
    dialog.setOrientation(printer.Orientation);
    const std::int32_t pages = std::max<std::int32_t>(1, pageCount);
    dialog.setFromPage(std::clamp<std::int32_t>(printer.FromPage, 1, pages));
    dialog.setToPage(pages);
    dialog.setMax(pages);
    dialog.setCopies(copyCount(printer.Copies));
    dialog.setFlags(kPrintFlags);
    const NormalPointer pointer;
    if (!dialog.ShowPrinter(owner))
        return false;
    printer.FromPage = dialog.FromPage();
    printer.ToPage = dialog.ToPage();
    printer.Copies = dialog.Copies();
    printer.PaperSize = dialog.PaperSize();
    printer.Orientation = dialog.Orientation();
    printer.usePrinter(dialog.DeviceName());
    return true;
}

bool DocumentDialogs::chooseDetails(document::PrinterSettings& printer, QWidget* owner)
{
    PrintDet dialog(owner);
    dialog.setPaperSize(printer.PaperSize);
    dialog.setOrientation(printer.Orientation);
    const NormalPointer pointer;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer.DeviceName = dialog.DeviceName();
    printer.PaperSize = dialog.PaperSize();
    printer.Orientation = dialog.Orientation();
    printer.PaperLeftLag = dialog.PaperLeftLag();
    printer.PaperTopLag = dialog.PaperTopLag();
    return true;
}

bool DocumentDialogs::chooseRange(
    document::PrinterSettings& printer, std::int32_t pageCount, QWidget* owner)
{
    const std::int32_t pages = std::max<std::int32_t>(1, pageCount);
    ExportRange dialog(pages, printer.FromPage, pages, owner);
    const NormalPointer pointer;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer.FromPage = dialog.FromPage();
    printer.ToPage = dialog.ToPage();
    return true;
}

}
