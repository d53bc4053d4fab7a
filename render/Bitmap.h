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
    // no such file, RunError 481 ("ピクチャが不正です。" followed by the file's name and what the
    // loader found, if it said) when it is no picture the loader reads. A picture the loader read
    // while it reported damage (a JPEG cut short, whose missing part it paints grey) comes back
    // with that report in damage().
    [[nodiscard]] static Bitmap load(const QString& fileName);

    [[nodiscard]] bool isNull() const;
    [[nodiscard]] const QImage& image() const;
    // What the loader reported wrong with a picture it still read; empty for a sound one.
    [[nodiscard]] const QString& damage() const { return m_damage; }

private:
    std::shared_ptr<const QImage> m_image;
    QString m_damage;
};

}
