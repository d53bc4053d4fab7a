#pragma once

#include "render/PageView.h"

#include <functional>
#include <memory>

namespace vorlix::render {

// The preview target: a box on a 96-dpi screen that shows the last finished page. The box's
// owner is told of every new page and keeps the page as long as it shows it.
class PreviewSink final : public PageView {
public:
    using PageShown = std::function<void(const std::shared_ptr<const PageRecord>&)>;

    explicit PreviewSink(PageShown shown = {});

    // The box's width in pixels (0: the box takes the page's own size).
    void setBoxWidth(int pixels) { m_boxWidthPixels = pixels; }

    [[nodiscard]] double widthTwips() const override { return m_boxWidthPixels * 15.0; }
    void setPicture(std::shared_ptr<const PageRecord> page) override;

    [[nodiscard]] const std::shared_ptr<const PageRecord>& picture() const { return m_picture; }

private:
    PageShown m_shown;
    std::shared_ptr<const PageRecord> m_picture;
    int m_boxWidthPixels = 0;
};

}
