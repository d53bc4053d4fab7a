#include "render/FileSink.h"

#include "render/AllocatorTuning.h"
#include "render/PageRecord.h"
#include "render/PdfFontRegistry.h"
#include "render/PdfPageDevice.h"
#include "render/PdfWriter.h"
#include "render/StalePartFiles.h"
#include "shell/SignalCleanup.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cstdio>

namespace vorlix::render {

namespace {

    QPageSize pageSizeOf(const PageRecord& page)
    {
        const DeviceRect& frame = page.frame();
        return QPageSize(
            QSizeF((frame.right - frame.left) / 100.0, (frame.bottom - frame.top) / 100.0),
            QPageSize::Millimeter);
    }

}

FileSink::FileSink(Format format, QString path)
    : FileSink(format, std::move(path), pdfEngineFromEnvironment())
{
}

FileSink::FileSink(Format format, QString path, PdfEngine engine)
    : m_format(format)
    , m_path(std::move(path))
{
    if (format == Format::Pdf && engine == PdfEngine::Own)
        m_fonts = std::make_unique<PdfFontRegistry>();
}

FileSink::PdfEngine FileSink::pdfEngineFromEnvironment()
{
    return qEnvironmentVariable("VORLIX_PDF_ENGINE").compare(u"qt", Qt::CaseInsensitive) == 0
        ? PdfEngine::Qt
        : PdfEngine::Own;
}

FileSink::~FileSink()
{
    discard();
}

std::optional<FileSink::Format> FileSink::formatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"pdf")
        return Format::Pdf;
    if (suffix == u"png")
        return Format::Png;
    if (suffix == u"svg")
        return Format::Svg;
    return std::nullopt;
}

bool FileSink::startDoc(const QString& documentName)
{
    if (m_title.isEmpty())
        m_title = documentName;
    return true;
}

bool FileSink::playPage(const PageRecord& page, const QRect& rect)
{
    bool ok = false;
    switch (m_format) {
    case Format::Pdf:
        ok = playPdf(page, rect);
        break;
    case Format::Png:
        ok = playPng(page, rect);
        break;
    case Format::Svg:
        ok = playSvg(page, rect);
        break;
    }
    if (ok)
        ++m_pages;
    else
        m_failed = true;
    return ok;
}

std::shared_ptr<const PreparedPage> FileSink::preparePage(
    const PageRecord& page, const QRect& rect) const
{
    if (!m_fonts)
        return nullptr;
    return PdfPageDevice::prepare(*m_fonts, page, rect);
}

bool FileSink::playPrepared(const PreparedPage& page)
{
    const bool ok = writePrepared(page);
    if (ok)
        ++m_pages;
    else
        m_failed = true;
    return ok;
}

bool FileSink::writePrepared(const PreparedPage& page)
{
    const auto* prepared = dynamic_cast<const PdfPreparedPage*>(&page);
    if (!prepared || !m_fonts)
        return false;
    if (!m_writer) {
        m_writer = std::make_unique<PdfWriter>(temporaryPath(m_path));
        if (!m_writer->open())
            return false;
    }
    return m_writer->writePage(*prepared);
}

bool FileSink::playPdf(const PageRecord& page, const QRect& rect)
{
    if (m_fonts) {
        const auto prepared = preparePage(page, rect);
        return prepared && writePrepared(*prepared);
    }
    if (!m_pdf) {
        keepLargeBuffersInHeap();
        m_pdf = std::make_unique<QPdfWriter>(temporaryPath(m_path));
        m_pdf->setResolution(page.dpi());
        m_pdf->setTitle(m_title);
        m_pdf->setCreator(QStringLiteral("Vorlix"));
        m_pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
        m_pdf->setPageSize(pageSizeOf(page));
        if (!m_painter.begin(m_pdf.get()))
            return false;
        // Pictures stay as they are; by default they would be re-encoded as JPEG.
        m_painter.setRenderHint(QPainter::LosslessImageRendering);
    } else {
        m_pdf->setPageSize(pageSizeOf(page));
        if (!m_pdf->newPage())
            return false;
    }
    page.play(m_painter, rect);
    return true;
}

bool FileSink::playPng(const PageRecord& page, const QRect& rect)
{
    QImage image(rect.size(), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(page.dpi() / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        page.play(painter, QRectF(0, 0, rect.width(), rect.height()));
    }
    if (!image.save(temporaryPath(pagePath(m_pages + 1)), "PNG"))
        return false;
    return true;
}

bool FileSink::playSvg(const PageRecord& page, const QRect& rect)
{
    QSvgGenerator generator;
    generator.setFileName(temporaryPath(pagePath(m_pages + 1)));
    generator.setSize(rect.size());
    generator.setViewBox(QRect(QPoint(0, 0), rect.size()));
    generator.setResolution(page.dpi());
    generator.setTitle(m_title);
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    page.play(painter, QRectF(0, 0, rect.width(), rect.height()));
    return painter.end();
}

QString FileSink::pagePath(int number) const
{
    if (m_path.contains(QStringLiteral("%1")))
        return m_path.arg(number);
    const QFileInfo info(m_path);
    const QString suffix = info.suffix();
    QString base = m_path;
    if (!suffix.isEmpty())
        base.chop(suffix.size() + 1);
    return base + u'-' + QString::number(number) + (suffix.isEmpty() ? QString() : u'.' + suffix);
}

bool FileSink::finish()
{
    if (m_ended)
        return !m_failed;
    if (m_painter.isActive() && !m_painter.end())
        m_failed = true;
    m_pdf.reset();
    if (m_writer && m_writer->isOpen() && !m_writer->finish(m_title))
        m_failed = true;
    m_writer.reset();
    if (m_failed || !renameIntoPlace())
        m_failed = true;
    removeTemporaries();
    m_ended = true;
    return !m_failed;
}

void FileSink::discard()
{
    if (m_ended)
        return;
    if (m_painter.isActive())
        m_painter.end();
    m_pdf.reset();
    m_writer.reset();
    removeTemporaries();
    m_files.clear();
    m_ended = true;
}

// A name of this process beside the target, so that the rename stays on one file system and
// two runs writing the same target do not write into each other's file.
QString FileSink::temporaryPath(const QString& target)
{
    const QFileInfo info(target);
    const QString path = info.path() + QStringLiteral("/.") + info.fileName() + u'.'
        + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".part");
    if (m_temporaries.isEmpty() && m_files.isEmpty())
        removeStalePartFiles(target);
    m_files << target;
    m_temporaries << path;
    // A signal that ends the program mid-job must not leave the partial file behind.
    shell::SignalCleanup::add(this, [path] { QFile::remove(path); });
    return path;
}

// rename() replaces a file at the target in one step: a reader sees the old file or the new one.
bool FileSink::renameIntoPlace()
{
    for (qsizetype i = 0; i < m_temporaries.size(); ++i) {
        if (std::rename(QFile::encodeName(m_temporaries.at(i)).constData(),
                QFile::encodeName(m_files.at(i)).constData())
            != 0)
            return false;
        m_temporaries[i].clear();
    }
    return true;
}

void FileSink::removeTemporaries()
{
    shell::SignalCleanup::remove(this);
    for (const QString& path : std::as_const(m_temporaries)) {
        if (!path.isEmpty())
            QFile::remove(path);
    }
    m_temporaries.clear();
}

}
