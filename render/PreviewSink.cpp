#include "render/PreviewSink.h"

namespace vorlix::render {

PreviewSink::PreviewSink(PageShown shown)
    : m_shown(std::move(shown))
{
}

void PreviewSink::setPicture(std::shared_ptr<const PageRecord> page)
{
    m_picture = std::move(page);
    if (m_shown)
        m_shown(m_picture);
}

}
