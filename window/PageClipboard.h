#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <memory>

class QMimeData;

namespace vorlix::render {
class PageRecord;
}

namespace vorlix::window {

// The page on the clipboard: a bitmap for every program, and the page's vector drawing as SVG
// and PDF (standing in for a metafile), so that a drawing program or a word processor can take
// it at any size.
class PageClipboard {
public:
    static constexpr const char* SvgType = "image/svg+xml";
    static constexpr const char* PdfType = "application/pdf";

    // The page as SVG at its recorded size, and as a one-page PDF of its paper size.
    [[nodiscard]] static QByteArray svg(const render::PageRecord& page);
    [[nodiscard]] static QByteArray pdf(const render::PageRecord& page);

    // The whole page: bitmap, SVG and PDF.
    [[nodiscard]] static std::unique_ptr<QMimeData> wholePage(
        const render::PageRecord& page, const QImage& bitmap);
    // A part of the shown page as a bitmap.
    [[nodiscard]] static std::unique_ptr<QMimeData> range(const QImage& shown, const QRect& part);
};

}
