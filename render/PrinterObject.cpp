#include "render/PrinterObject.h"

#include "render/CupsSink.h"
#include "render/FileSink.h"
#include "shell/Common.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace vorlix::render {

namespace {

    constexpr double kTwipsPerTenthMm = 5.67;
    constexpr double kTwipsPerMm = 1440.0 / 25.4;

    std::shared_ptr<PrinterObject>& instance()
    {
        static auto object = std::make_shared<PrinterObject>();
        return object;
    }

}

PrinterObject::PrinterObject() = default;

PrinterObject::~PrinterObject() = default;

void PrinterObject::lookUpDefaultPrinter() const
{
    std::call_once(m_lookedUp, [this] {
        // Qt's own questions to CUPS wait as long as the server keeps the connection: ask once
        // with a time-out first.
        m_serverProblem = CupsOutput::probeServer();
        if (m_serverProblem.isEmpty())
            m_defaultPrinter = std::make_unique<QPrinterInfo>(QPrinterInfo::defaultPrinter());
    });
}

void PrinterObject::forgoPrinter() const
{
    // No printer is no object at all: a null QPrinterInfo must not outlive Qt's own statics.
    std::call_once(m_lookedUp, [] {});
}

QString PrinterObject::serverProblem() const
{
    settle();
    return m_serverProblem;
}

void PrinterObject::settle() const
{
    std::call_once(m_settled, [this] {
        lookUpDefaultPrinter();
        m_info = std::move(m_defaultPrinter);
        if (hasPrinter() && !m_paperChosen)
            m_paperCode = codeOf(m_info->defaultPageSize());
    });
}

bool PrinterObject::hasPrinter() const
{
    return m_info && !m_info->isNull();
}

bool PrinterObject::exists() const
{
    settle();
    return hasPrinter();
}

PrinterObject& PrinterObject::current()
{
    return *instance();
}

void PrinterObject::install()
{
    shell::CurrentPrinter::setCurrent(instance());
}

QString PrinterObject::SelectPrinter(const QString& name)
{
    settle();
    if (name.toLower() == u"default" || !m_serverProblem.isEmpty())
        return {};
    for (const QPrinterInfo& printer : QPrinterInfo::availablePrinters()) {
        if (printer.printerName().compare(name, Qt::CaseInsensitive) == 0) {
            m_info = std::make_unique<QPrinterInfo>(printer);
            m_paperCode = codeOf(printer.defaultPageSize());
            return printer.printerName();
        }
    }
    return {};
}

bool PrinterObject::canPrint() const
{
    settle();
    if (!m_exportFile.isEmpty() || hasPrinter())
        return true;
    // A server that does not answer would hold Qt's question as long as it keeps the connection.
    return m_serverProblem.isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString PrinterObject::DeviceName() const
{
    settle();
    return hasPrinter() ? m_info->printerName() : QString();
}

std::int32_t PrinterObject::PaperSize() const
{
    settle();
    return m_paperCode;
}

void PrinterObject::setPaperSize(std::int32_t code)
{
    m_paperChosen = true;
    m_paperCode = code > 0 ? code : 9;
}

void PrinterObject::setOrientation(std::int32_t orientation)
{
    m_orientation = orientation == 2 ? 2 : 1;
}

QPageSize PrinterObject::pageSizeOf(std::int32_t code)
{
    for (const auto& paper : shell::kPaperSizes) {
        if (paper.code == code)
            return QPageSize(QSizeF(paper.width / 10.0, paper.height / 10.0), QPageSize::Millimeter,
                QString(), QPageSize::FuzzyMatch);
    }
    return QPageSize(QPageSize::A4);
}

std::int32_t PrinterObject::codeOf(const QPageSize& size)
{
    if (!size.isValid())
        return 9;
    const QSizeF mm = size.size(QPageSize::Millimeter);
    const auto w = static_cast<std::int32_t>(std::lround(mm.width() * 10.0));
    const auto h = static_cast<std::int32_t>(std::lround(mm.height() * 10.0));
    for (const auto& paper : shell::kPaperSizes) {
        if (std::abs(paper.width - w) <= 3 && std::abs(paper.height - h) <= 3)
            return paper.code;
    }
    return 256;
}

QSizeF PrinterObject::paperTenthsMm() const
{
    settle();
    const QSizeF mm = pageSizeOf(m_paperCode).size(QPageSize::Millimeter);
    QSizeF tenths(mm.width() * 10.0, mm.height() * 10.0);
    // Codes of the table keep their exact sizes, as the paper utilities give them.
    for (const auto& paper : shell::kPaperSizes) {
        if (paper.code == m_paperCode)
            tenths = QSizeF(paper.width, paper.height);
    }
    return m_orientation == 2 ? tenths.transposed() : tenths;
}

QMarginsF PrinterObject::marginsMm() const
{
    settle();
    if (!hasPrinter() || !m_exportFile.isEmpty())
        return {};
    QPrinter printer(*m_info, QPrinter::HighResolution);
    printer.setPageSize(pageSizeOf(m_paperCode));
    printer.setPageOrientation(m_orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return printer.pageLayout().minimumMargins() * 1.0;
}

double PrinterObject::pageWidthTwips() const
{
    return paperTenthsMm().width() * kTwipsPerTenthMm;
}

double PrinterObject::pageHeightTwips() const
{
    return paperTenthsMm().height() * kTwipsPerTenthMm;
}

double PrinterObject::printableWidthTwips() const
{
    const QMarginsF m = marginsMm();
    return pageWidthTwips() - (m.left() + m.right()) * kTwipsPerMm;
}

double PrinterObject::printableHeightTwips() const
{
    const QMarginsF m = marginsMm();
    return pageHeightTwips() - (m.top() + m.bottom()) * kTwipsPerMm;
}

QList<CupsOutput::Option> PrinterObject::cupsOptions() const
{
    QList<CupsOutput::Option> options;
    const QPageSize page = pageSizeOf(m_paperCode);
    const QSizeF mm = page.size(QPageSize::Millimeter);
    const QByteArray media = page.id() == QPageSize::Custom
        ? "Custom." + QByteArray::number(mm.width()) + 'x' + QByteArray::number(mm.height()) + "mm"
        : page.key().toUtf8();
    options.append(CupsOutput::Option("media", media));
    // The pages are drawn in the orientation already: this only tells the printer which way the
    // paper goes.
    if (m_orientation == 2)
        options.append(CupsOutput::Option("landscape", ""));
    options.append(CupsOutput::Option("print-color-mode", m_color ? "color" : "monochrome"));
    static const char* const kSides[]
        = { "one-sided", "two-sided-long-edge", "two-sided-short-edge" };
    options.append(CupsOutput::Option("sides", kSides[m_duplex]));
    options.append(m_jobOptions);
    return options;
}

std::unique_ptr<PrintOutput> PrinterObject::createJob(int dpi) const
{
    (void)dpi;
    settle();
    if (!m_exportFile.isEmpty()) {
        const auto format = FileSink::formatOf(m_exportFile);
        if (!format)
            return nullptr;
        return std::make_unique<FileSink>(*format, m_exportFile);
    }
    if (!hasPrinter())
        return nullptr;
    return std::make_unique<CupsSink>(m_info->printerName(), cupsOptions());
}

}
