#pragma once

#include "render/PageSink.h"

namespace vorlix::document {

// The preview picture: a page sink that shows the last finished page and whose box the document
// object sizes in twips (page size x 5.67 x preview ratio).
class PreviewTarget : public render::PageSink {
public:
    [[nodiscard]] bool isPrinter() const override { return false; }
    bool startDoc(const QString&) override { return true; }
    bool playPage(const render::PageRecord&, const QRect&) override { return true; }
    void endDoc() override { }

    // Sizes the picture box, in twips.
    virtual void setWidthTwips(double twips) = 0;
    virtual void setHeightTwips(double twips) = 0;
    // Removes the shown page.
    virtual void clearPicture() = 0;
};

}
