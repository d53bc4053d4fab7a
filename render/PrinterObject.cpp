#include "render/PrinterObject.h"

#include "render/FileSink.h"
#include "render/PrinterSink.h"
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
        m_defaultPrinter = std::make_unique<QPrinterInfo>(QPrinterInfo::defaultPrinter());
    });
}

void PrinterObject::settle() const
{
    std::call_once(m_settled, [this] {
        lookUpDefaultPrinter();
        m_info = std::move(m_defaultPrinter);
        if (!m_info->isNull() && !m_paperChosen)
            m_paperCode = codeOf(m_info->defaultPageSize());
    });
}

bool PrinterObject::exists() const
{
    settle();
    return !m_info->isNull();
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
    if (name.toLower() == u"default")
        return {};
    const QString wanted = name.left(31);
    for (const QPrinterInfo& printer : QPrinterInfo::availablePrinters()) {
        if (printer.printerName().left(31) == wanted) {
            *m_info = printer;
            m_paperCode = codeOf(printer.defaultPageSize());
            return printer.printerName();
        }
    }
    return {};
}

QString PrinterObject::DeviceName() const
{
    settle();
    return m_info->isNull() ? QString() : m_info->printerName();
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
    if (m_info->isNull() || !m_exportFile.isEmpty())
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

std::unique_ptr<PageSink> PrinterObject::createJob(int dpi) const
{
    settle();
    if (!m_exportFile.isEmpty()) {
        const auto format = FileSink::formatOf(m_exportFile);
        if (!format)
            return nullptr;
        return std::make_unique<FileSink>(*format, m_exportFile);
    }
    if (m_info->isNull())
        return nullptr;
    auto job = std::make_unique<PrinterSink>(*m_info, dpi);
    job->printer().setPageSize(pageSizeOf(m_paperCode));
    job->printer().setPageOrientation(
        m_orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    job->printer().setColorMode(m_color ? QPrinter::Color : QPrinter::GrayScale);
    constexpr QPrinter::DuplexMode kDuplex[]
        = { QPrinter::DuplexNone, QPrinter::DuplexLongSide, QPrinter::DuplexShortSide };
    job->printer().setDuplex(kDuplex[m_duplex]);
    return job;
}

}
