#include "document/PrinterSettings.h"

#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/ModuleState.h"
#include "shell/Setting.h"

#include <algorithm>
#include <cstdlib>

namespace vorlix::document {

PrinterSettings PrinterSettings::current()
{
    PrinterSettings printer;
    const auto& device = render::PrinterObject::current();
    printer.PaperSize = static_cast<std::int16_t>(device.PaperSize());
    printer.Orientation = static_cast<std::int16_t>(device.Orientation());
    printer.DPI = shell::settingLong(
        QStringLiteral("general"), QStringLiteral("DPI"), shell::Accept::Positive);
    const auto& options = shell::moduleState().commandLine;
    printer.Copies = options.ArgCopies > 0 ? options.ArgCopies : 1;
    pageRange(options.ArgPages, printer.FromPage, printer.ToPage);
    printer.fRunPaper = !options.ArgPaper.isEmpty();
    printer.fRunOrientation = options.ArgOrient != 0;
    printer.usePrinter(device.DeviceName());
    printer.Width = shell::PaperExtent(1, printer.PaperSize, printer.Orientation);
    printer.Height = shell::PaperExtent(2, printer.PaperSize, printer.Orientation);
    return printer;
}

void PrinterSettings::store() const
{
    const QString general = QStringLiteral("general");
    if (!fRunPaper)
        shell::storeSetting(general, QStringLiteral("PaperSize"), QString::number(PaperSize));
    if (!fRunOrientation)
        shell::storeSetting(general, QStringLiteral("Orientation"), QString::number(Orientation));
    shell::storeSetting(
        printerSection(), QStringLiteral("PaperLeftLag"), QString::number(PaperLeftLag));
    shell::storeSetting(
        printerSection(), QStringLiteral("PaperTopLag"), QString::number(PaperTopLag));
}

void PrinterSettings::usePrinter(const QString& name)
{
    DeviceName = name;
    const QString section = printerSection();
    PaperLeftLag = shell::printerSettingLong(section, QStringLiteral("PaperLeftLag"));
    PaperTopLag = shell::printerSettingLong(section, QStringLiteral("PaperTopLag"));
}

QString PrinterSettings::printerSection() const
{
    return DeviceName.isEmpty() ? shell::kNoPrinterSection : DeviceName;
}

void PrinterSettings::pageRange(const QString& pages, std::int32_t& from, std::int32_t& to)
{
    from = 1;
    to = LastPage;
    const qsizetype comma = pages.indexOf(u',');
    if (pages.isEmpty() || comma <= 0)
        return;
    const auto magnitude = [](std::int32_t v) {
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(std::abs(std::int64_t(v)), INT32_MAX));
    };
    from = magnitude(shell::ToLong(pages.left(comma), 1));
    to = magnitude(shell::ToLong(pages.mid(comma + 1), 0));
    if (to < from)
        to = LastPage;
}

}
