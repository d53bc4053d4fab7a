#include "render/Bitmap.h"

#include "render/PngCheck.h"
#include "shell/Log.h"
#include "shell/QtWarningWatch.h"
#include "shell/RunError.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace vorlix::render {

namespace {

    // The picture loader's error for a file that is there but is no picture it can read.
    constexpr int InvalidPictureNumber = 481;
    const QString InvalidPicture = QStringLiteral("ピクチャが不正です。");

    // The error names the file, since a face may draw many, and what the loader found.
    shell::RunError invalidPicture(const QString& fileName, const QString& complaint)
    {
        QString description = InvalidPicture + QStringLiteral(": ") + fileName;
        if (!complaint.isEmpty())
            description += QStringLiteral(" (") + complaint + u')';
        return { InvalidPictureNumber, description };
    }

    // libpng's complaint about a PNG file; nothing for a sound one or another kind of file.
    std::optional<QString> pngFileDamage(const QString& fileName)
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly) || !looksLikePng(file.peek(8)))
            return std::nullopt;
        return pngDamage(file.readAll());
    }

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
    if (const auto damage = pngFileDamage(fileName)) {
        shell::WriteLog(QStringLiteral("Bitmap/load>libpng error: ") + *damage
            + QStringLiteral(": ") + fileName);
        throw invalidPicture(fileName, *damage);
    }
    // The loader tells of damage it worked round only in its warnings.
    const shell::QtWarningWatch watch;
    QImageReader reader(fileName);
    reader.setAutoTransform(false);
    const QImage picture = reader.read();
    const QString complaint = watch.warnings().join(QStringLiteral("; "));
    if (picture.isNull())
        throw invalidPicture(fileName, complaint);
    Bitmap bitmap(picture);
    bitmap.m_damage = complaint;
    return bitmap;
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
