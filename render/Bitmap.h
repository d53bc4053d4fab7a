#pragma once

#include <QString>
#include <memory>

class QImage;

namespace vorlix::render {

// A bitmap picture for the drawing surface (BMP, PNG, JPEG, whatever the platform's picture
// loader reads), with the resolution its file gives. Copies share the picture.
class Bitmap {
public:
    // No picture.
    Bitmap();
    explicit Bitmap(const QImage& image);

    // Reads a picture file as it is stored (no orientation applied). RunError 53 when there is
    // no such file, RunError 481 ("ピクチャが不正です。") when it is no picture the loader reads.
    [[nodiscard]] static Bitmap load(const QString& fileName);

    [[nodiscard]] bool isNull() const;
    [[nodiscard]] const QImage& image() const;

private:
    std::shared_ptr<const QImage> m_image;
};

}
