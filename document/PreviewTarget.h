#pragma once

#include "render/PageView.h"

namespace vorlix::document {

// The preview picture: a page view that shows the last finished page and whose box the document
// object sizes in twips (page size x 5.67 x preview ratio).
class PreviewTarget : public render::PageView {
public:
    // Sizes the picture box, in twips.
    virtual void setWidthTwips(double twips) = 0;
    virtual void setHeightTwips(double twips) = 0;
    // Removes the shown page.
    virtual void clearPicture() = 0;
};

}
