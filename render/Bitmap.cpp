#include "render/Bitmap.h"

#include "shell/RunError.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace vorlix::render {

namespace {

    // The picture loader's error for a file that is there but is no picture it can read.
    constexpr int InvalidPictureNumber = 481;
    const QString InvalidPicture = QStringLiteral("ピクチャが不正です。");

}

Bitmap::Bitmap()
    : m_image(std::make_shared<const QImage>())
{
}

Bitmap::Bitmap(const QImage& image)
    : m_image(std::make_shared<const QImage>(image))
{
}

Bitmap Bitmap::load(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists() || !info.isFile())
        throw shell::RunError::fileNotFound();
    QImageReader reader(fileName);
    reader.setAutoTransform(false);
    const QImage picture = reader.read();
    if (picture.isNull())
        throw shell::RunError(InvalidPictureNumber, InvalidPicture);
    return Bitmap(picture);
}

bool Bitmap::isNull() const
{
    return m_image->isNull();
}

const QImage& Bitmap::image() const
{
    return *m_image;
}

}
