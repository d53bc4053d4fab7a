#pragma once

#include <memory>

namespace vorlix::render {

class PageRecord;

// Where the drawing surface's finished pages go in a preview: the last one is shown.
class PageView {
public:
    virtual ~PageView() = default;

    // The width of the preview box in twips (15 per pixel); 0 when the box has the page's own
    // size.
    [[nodiscard]] virtual double widthTwips() const { return 0.0; }
    // The finished page becomes the shown picture (it stays until the next one).
    virtual void setPicture(std::shared_ptr<const PageRecord> page) = 0;
};

}
