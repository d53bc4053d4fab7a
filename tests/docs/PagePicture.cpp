#include "tests/docs/PagePicture.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

namespace vorlix::test {

namespace {

    const QString CropKey = QStringLiteral("vorlix-crop");
    constexpr int NearWhite = 245;
    // A channel differing by more than this is a real difference, not anti-aliasing.
    constexpr int ChannelTolerance = 64;

    bool isInk(QRgb pixel)
    {
        return qRed(pixel) < NearWhite || qGreen(pixel) < NearWhite || qBlue(pixel) < NearWhite;
    }

    QString cropText(const QRect& r)
    {
        return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

    QRect cropFromText(const QString& text)
    {
        const QStringList parts = text.split(u',');
        if (parts.size() != 4)
            return {};
        return QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
    }

}

QRect PagePicture::inkBounds(const QImage& page)
{
    int left = page.width();
    int right = -1;
    int top = page.height();
    int bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (!isInk(line[x]))
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

PagePicture PagePicture::fromPages(const QList<QImage>& pages)
{
    PagePicture picture;
    if (pages.isEmpty())
        return picture;
    QRect ink;
    QRect pageArea = pages.front().rect();
    for (const QImage& page : pages) {
        ink = ink.united(inkBounds(page.convertToFormat(QImage::Format_RGB32)));
        pageArea = pageArea.intersected(page.rect());
    }
    if (ink.isEmpty())
        ink = QRect(0, 0, 1, 1);
    picture.m_crop = ink.adjusted(-Margin, -Margin, Margin, Margin).intersected(pageArea);

    const int count = static_cast<int>(pages.size());
    const QSize cell = picture.m_crop.size();
    QImage sheet(cell.width() * count + Gap * (count - 1), cell.height(), QImage::Format_RGB32);
    sheet.fill(QColor(0xd8, 0xd8, 0xd8));
    QPainter painter(&sheet);
    for (int i = 0; i < count; ++i)
        painter.drawImage(QPoint(i * (cell.width() + Gap), 0), pages[i], picture.m_crop);
    painter.end();
    picture.m_image = sheet;
    return picture;
}

PagePicture PagePicture::load(const QString& path)
{
    PagePicture picture;
    QImage image(path);
    if (image.isNull())
        return picture;
    picture.m_crop = cropFromText(image.text(CropKey));
    picture.m_image = image.convertToFormat(QImage::Format_RGB32);
    return picture;
}

bool PagePicture::save(const QString& path) const
{
    QImage small = m_image.convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither | Qt::ColorOnly);
    small.setText(CropKey, cropText(m_crop));
    // Quality 0 is the strongest compression for PNG.
    return small.save(path, "PNG", 0);
}

qsizetype PagePicture::differingPixels(const PagePicture& other) const
{
    if (m_image.size() != other.m_image.size())
        return -1;
    qsizetype count = 0;
    for (int y = 0; y < m_image.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(other.m_image.constScanLine(y));
        for (int x = 0; x < m_image.width(); ++x) {
            const int d = std::max({ std::abs(qRed(a[x]) - qRed(b[x])),
                std::abs(qGreen(a[x]) - qGreen(b[x])), std::abs(qBlue(a[x]) - qBlue(b[x])) });
            if (d > ChannelTolerance)
                ++count;
        }
    }
    return count;
}

qsizetype PagePicture::tolerance() const
{
    return 8 + static_cast<qsizetype>(m_image.width()) * m_image.height() / 20000;
}

}
