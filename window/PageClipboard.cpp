#include "window/PageClipboard.h"

#include "render/PageRecord.h"

#include <QBuffer>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace vorlix::window {

QByteArray PageClipboard::svg(const render::PageRecord& page)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    const QSize size = page.deviceSize();
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(page.dpi());
    QPainter painter(&generator);
    page.play(painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return bytes;
}

QByteArray PageClipboard::pdf(const render::PageRecord& page)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    const auto& frame = page.frame();
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(
        QPageSize(QSizeF((frame.right - frame.left) / 100.0, (frame.bottom - frame.top) / 100.0),
            QPageSize::Millimeter));
    writer.setResolution(page.dpi() > 0 ? page.dpi() : 96);
    QPainter painter(&writer);
    page.play(painter, QRectF(QPointF(0, 0), page.deviceSize()));
    painter.end();
    return bytes;
}

std::unique_ptr<QMimeData> PageClipboard::wholePage(
    const render::PageRecord& page, const QImage& bitmap)
{
    auto data = std::make_unique<QMimeData>();
    data->setImageData(bitmap);
    data->setData(QString::fromLatin1(SvgType), svg(page));
    data->setData(QString::fromLatin1(PdfType), pdf(page));
    return data;
}

std::unique_ptr<QMimeData> PageClipboard::range(const QImage& shown, const QRect& part)
{
    auto data = std::make_unique<QMimeData>();
    data->setImageData(shown.copy(part));
    return data;
}

}
