#include "render/PageCollector.h"

namespace vorlix::render {

PageCollector::PageCollector(bool printer, double widthTwips)
    : m_printer(printer)
    , m_widthTwips(widthTwips)
{
}

bool PageCollector::startDoc(const QString& documentName)
{
    m_events << QStringLiteral("startDoc ") + documentName;
    return true;
}

bool PageCollector::playPage(const PageRecord& page, const QRect& rect)
{
    m_events << QStringLiteral("playPage");
    m_pages.push_back(page);
    m_rects.push_back(rect);
    return true;
}

void PageCollector::endDoc()
{
    m_events << QStringLiteral("endDoc");
}

void PageCollector::setPicture(std::shared_ptr<const PageRecord> page)
{
    m_events << QStringLiteral("setPicture");
    m_picture = std::move(page);
}

}
