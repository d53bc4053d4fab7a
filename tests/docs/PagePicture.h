#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace vorlix::test {

// The picture of an example in the manual: the part of its pages that holds ink, with a margin,
// pages side by side. The crop rectangle is kept in the PNG's text, so that drawing that moves on
// the page as a whole changes the picture too.
class PagePicture {
public:
    // Blank space around the ink, in pixels.
    static constexpr int Margin = 12;
    // Space between two pages.
    static constexpr int Gap = 16;

    PagePicture() = default;
    // Crops every page to the one rectangle that holds the ink of all of them.
    static PagePicture fromPages(const QList<QImage>& pages);
    // Reads a committed picture; isNull() when it cannot be read.
    static PagePicture load(const QString& path);

    [[nodiscard]] bool isNull() const { return m_image.isNull(); }
    [[nodiscard]] const QImage& image() const { return m_image; }
    // Where the crop lies on the page, in pixels of the page.
    [[nodiscard]] QRect crop() const { return m_crop; }

    // Writes a small palette PNG with the crop rectangle in its text.
    [[nodiscard]] bool save(const QString& path) const;

    // Pixels whose colour differs by more than a trace of anti-aliasing; -1 when sizes differ.
    [[nodiscard]] qsizetype differingPixels(const PagePicture& other) const;
    // How many differing pixels a picture of this size may have and still match: rendering on
    // another machine may shade a few edge pixels differently, a moved line or word never passes.
    [[nodiscard]] qsizetype tolerance() const;

    // The rectangle of pixels darker than near-white; empty for a blank page.
    [[nodiscard]] static QRect inkBounds(const QImage& page);

private:
    QImage m_image;
    QRect m_crop;
};

}
