#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlix::render {

class PdfFont;

// A page turned into PDF on a worker: its compressed content stream, its size in points and what
// the stream names (fonts /F0, /F1, ... and pictures /I0, /I1, ... in the order the page first
// used them). The writer only appends it and maps those names onto the document's objects.
struct PdfPreparedPage {
    // The glyphs a page drew in one font, with the text each stands for.
    struct FontUse {
        std::shared_ptr<const PdfFont> font;
        std::vector<std::pair<std::uint32_t, QString>> glyphs;
    };
    // A picture and the digest by which the document writes the same picture once.
    struct ImageUse {
        QByteArray digest;
        QImage image;
    };

    double widthPoints = 0.0;
    double heightPoints = 0.0;
    QByteArray content;
    std::vector<FontUse> fonts;
    std::vector<ImageUse> images;
};

}
