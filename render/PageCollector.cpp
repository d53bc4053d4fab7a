#include "render/PageCollector.h"

namespace vorlix::render {

bool PageCollector::begin(const QString& documentName)
{
    m_events << QStringLiteral("startDoc ") + documentName;
    return true;
}

bool PageCollector::write(const PageRecord& page, const QRect& rect)
{
    m_events << QStringLiteral("playPage");
    m_pages.push_back(page);
    m_rects.push_back(rect);
    return true;
}

void PageCollector::endJob()
{
    m_events << QStringLiteral("endDoc");
}

}
