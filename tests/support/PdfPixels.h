#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace vorlix::test {

// The pages of a PDF as pdftoppm draws them (grey, at a given resolution), and how far two
// renderings of the same pages differ: a pixel counts when its grey differs by more than
// anti-aliasing of the same edge would make it, so two writers that shade edges differently
// match while a glyph or a line moved by a fifth of a millimetre does not.
class PdfPixels {
public:
    // Renders every page; an empty list (and a test failure) when pdftoppm cannot.
    [[nodiscard]] static QList<QImage> render(const QString& pdf, int dpi);

    struct Difference {
        qsizetype differing = 0; // pixels apart by more than the threshold
        qsizetype ink = 0; // pixels darker than near-white in either page
        bool sizeDiffers = false;
    };
    [[nodiscard]] static Difference compare(const QImage& a, const QImage& b);
    // Whether a difference is small enough for two renderings of the same drawing.
    [[nodiscard]] static bool matches(const Difference& difference);
};

}
