#include "document/SourcePreview.h"

#include "document/InterpreterProblem.h"
#include "document/MergedDocument.h"
#include "document/PreviewTarget.h"
#include "document/PrinterSettings.h"
#include "shell/Common.h"
#include "shell/Setting.h"

#include <cmath>

namespace vorlix::document {

namespace {

    constexpr double kTwipsPerUnit = 5.67;

}

SourcePreview::SourcePreview(PrinterSettings& printer, MergedDocument& merged)
    : m_printer(printer)
    , m_merged(merged)
    , m_picRatio(shell::settingDouble(
          QStringLiteral("view"), QStringLiteral("kPsa"), shell::Accept::Positive))
{
}

std::int32_t SourcePreview::Width() const
{
    return m_printer.Width;
}

std::int32_t SourcePreview::Height() const
{
    return m_printer.Height;
}

void SourcePreview::SetWidth(std::int32_t width)
{
    m_printer.Width = width;
    if (m_picture)
        m_picture->setWidthTwips(width * kTwipsPerUnit * m_picRatio);
}

void SourcePreview::SetHeight(std::int32_t height)
{
    m_printer.Height = height;
    if (m_picture)
        m_picture->setHeightTwips(height * kTwipsPerUnit * m_picRatio);
}

void SourcePreview::setPicture(PreviewTarget* picture)
{
    m_picture = picture;
    bindPreview();
}

void SourcePreview::bindPreview()
{
    SetWidth(shell::PaperExtent(1, m_printer.PaperSize, m_printer.Orientation));
    SetHeight(shell::PaperExtent(2, m_printer.PaperSize, m_printer.Orientation));
    if (m_picture)
        oCt.SetObject(
            *m_picture, 0, m_printer.DPI, m_picRatio, m_printer.Width, m_printer.Height, 0, 0);
}

void SourcePreview::showPaperChange()
{
    if (m_picture)
        m_picture->clearPicture();
    bindPreview();
    if (m_picture)
        showOnePage(1);
}

void SourcePreview::setPicRatio(double ratio)
{
    if (!(ratio > 0.0) || !std::isfinite(ratio))
        return;
    m_picRatio = ratio;
    SetWidth(m_printer.Width);
    SetHeight(m_printer.Height);
    if (m_picture)
        oCt.setRatio(ratio);
}

void SourcePreview::PageView(std::int32_t page, bool reload)
{
    if (!m_picture)
        return;
    if (reload) {
        oCt.SetDoc(m_merged.ManuScript);
        m_merged.Page = oCt.Page();
    }
    if (page > m_merged.Page)
        page = 1;
    showOnePage(page);
}

void SourcePreview::showOnePage(std::int32_t page)
{
    oCt.PagePrint(page, page);
    m_report = oCt.report;
    fInterpreterProblem = reportInterpreterProblem(oCt, QStringLiteral(";end;"), tellsProblems);
}

}
