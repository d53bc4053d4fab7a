#include "render/FileSink.h"

#include "render/AllocatorTuning.h"
#include "render/CheckedFile.h"
#include "render/PageRecord.h"
#include "render/PdfWriter.h"
#include "render/StalePartFiles.h"
#include "shell/SignalCleanup.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlix::render {

namespace {

    QPageSize pageSizeOf(const PageRecord& page)
    {
        const DeviceRect& frame = page.frame();
        return QPageSize(
            QSizeF((frame.right - frame.left) / 100.0, (frame.bottom - frame.top) / 100.0),
            QPageSize::Millimeter);
    }

    QString systemError(int number)
    {
        return QString::fromLocal8Bit(std::strerror(number));
    }

    // The file at a target that a new one is to replace; nothing for a new name (or one that is
    // not a plain file, whose attributes are not the document's).
    std::optional<struct stat> replacedFile(const QString& target)
    {
        struct stat status { };
        if (::stat(QFile::encodeName(target).constData(), &status) != 0 || !S_ISREG(status.st_mode))
            return std::nullopt;
        return status;
    }

    // Gives the new file the owner and group of the one it replaces where the process may (a
    // user may still give it a group of their own), then its permissions.
    bool takeAttributes(const QByteArray& path, const struct stat& replaced)
    {
        if (::chown(path.constData(), replaced.st_uid, replaced.st_gid) != 0)
            (void)::chown(path.constData(), static_cast<uid_t>(-1), replaced.st_gid);
        return ::chmod(path.constData(), replaced.st_mode & 0777) == 0;
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
        m_stream = std::make_unique<PdfPageStream>([this] { return createPdf(); });
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

bool FileSink::begin(const QString& documentName)
{
    if (m_title.isEmpty())
        m_title = documentName;
    return true;
}

bool FileSink::write(const PageRecord& page, const QRect& rect)
{
    switch (m_format) {
    case Format::Pdf:
        return counted(playPdf(page, rect));
    case Format::Png:
        return counted(playPng(page, rect));
    case Format::Svg:
        return counted(playSvg(page, rect));
    }
    return counted(false);
}

std::shared_ptr<const PdfPreparedPage> FileSink::prepare(
    const PageRecord& page, const QRect& rect) const
{
    if (!m_stream)
        return nullptr;
    return m_stream->prepare(page, rect);
}

bool FileSink::writePrepared(const PdfPreparedPage& page)
{
    if (!m_stream)
        return counted(false);
    const bool written = m_stream->write(page);
    if (!written)
        keepError(m_stream->error());
    return counted(written);
}

bool FileSink::counted(bool written)
{
    if (written)
        ++m_pages;
    else
        m_failed = true;
    return written;
}

std::unique_ptr<PdfWriter> FileSink::createPdf()
{
    const QString temporary = temporaryFor(m_path);
    if (temporary.isEmpty())
        return nullptr;
    return std::make_unique<PdfWriter>(temporary);
}

bool FileSink::playPdf(const PageRecord& page, const QRect& rect)
{
    if (m_stream) {
        const bool written = m_stream->write(page, rect);
        if (!written)
            keepError(m_stream->error());
        return written;
    }
    if (!m_pdf) {
        keepLargeBuffersInHeap();
        m_pdfFile = openChecked(m_path);
        if (!m_pdfFile)
            return false;
        m_pdf = std::make_unique<QPdfWriter>(m_pdfFile.get());
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
    // A full disk shows at once, not only at the end of a long document.
    if (!m_pdfFile->error().isEmpty()) {
        keepError(m_pdfFile->error());
        return false;
    }
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
    // Encoded in memory first: Qt's PNG writer jumps out of libpng on a failed write, leaking its
    // row table and printing libpng's own message; the file then gets the bytes in one checked
    // write.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(image)) {
        keepError(writer.errorString());
        return false;
    }
    const auto file = openChecked(pagePath(m_pages + 1));
    if (!file)
        return false;
    (void)file->write(encoded);
    return finishChecked(*file);
}

bool FileSink::playSvg(const PageRecord& page, const QRect& rect)
{
    const auto file = openChecked(pagePath(m_pages + 1));
    if (!file)
        return false;
    QSvgGenerator generator;
    generator.setOutputDevice(file.get());
    generator.setSize(rect.size());
    generator.setViewBox(QRect(QPoint(0, 0), rect.size()));
    generator.setResolution(page.dpi());
    generator.setTitle(m_title);
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    page.play(painter, QRectF(0, 0, rect.width(), rect.height()));
    // The generator writes the end of the document only as the painter ends.
    const bool ended = painter.end();
    return finishChecked(*file) && ended;
}

std::unique_ptr<CheckedFile> FileSink::openChecked(const QString& target)
{
    const QString temporary = temporaryFor(target);
    if (temporary.isEmpty())
        return nullptr;
    auto file = std::make_unique<CheckedFile>(temporary);
    if (!file->open(QIODevice::WriteOnly)) {
        keepError(file->error());
        return nullptr;
    }
    return file;
}

bool FileSink::finishChecked(CheckedFile& file)
{
    if (file.finish())
        return true;
    keepError(file.error());
    return false;
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

FileSink::Outcome FileSink::finish()
{
    if (m_ended)
        return { !m_failed, m_error };
    if (m_painter.isActive() && !m_painter.end())
        m_failed = true;
    // Qt's engine writes the document's end as the painter ends; the file is complete after it.
    m_pdf.reset();
    if (m_pdfFile && !finishChecked(*m_pdfFile))
        m_failed = true;
    m_pdfFile.reset();
    if (m_stream && !m_stream->finish(m_title)) {
        keepError(m_stream->error());
        m_failed = true;
    }
    if (m_failed || !renameIntoPlace())
        m_failed = true;
    removeTemporaries();
    m_ended = true;
    return { !m_failed, m_error };
}

void FileSink::discard()
{
    if (m_ended)
        return;
    if (m_painter.isActive())
        m_painter.end();
    m_pdf.reset();
    m_pdfFile.reset();
    if (m_stream)
        m_stream->drop();
    removeTemporaries();
    m_files.clear();
    m_ended = true;
}

// A name of this process beside the target, so that the rename stays on one file system and
// two runs writing the same target do not write into each other's file. It is made new here
// (whatever had the name goes, a link is not followed) and, when it is to replace a file, made
// no more readable than that one before anything is written into it; it stays writable for
// this process until the commit gives it the old file's permissions exactly.
QString FileSink::temporaryFor(const QString& target)
{
    const QFileInfo info(target);
    const QString path = info.path() + QStringLiteral("/.") + info.fileName() + u'.'
        + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".part");
    if (m_temporaries.isEmpty() && m_files.isEmpty())
        removeStalePartFiles(target);
    const QByteArray name = QFile::encodeName(path);
    int descriptor = -1;
    // Made and known to the signal clean-up in one step: a signal that ends the program mid-job,
    // even while the file is being made, must not leave it behind.
    const bool made = shell::SignalCleanup::addMade(
        this,
        [&] {
            (void)::unlink(name.constData());
            descriptor = ::open(
                name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            return descriptor >= 0;
        },
        [path] { QFile::remove(path); });
    if (!made) {
        keepError(systemError(errno));
        return {};
    }
    bool ready = true;
    if (const auto replaced = replacedFile(target))
        ready = ::fchmod(descriptor, (replaced->st_mode & 0777) | S_IRUSR | S_IWUSR) == 0;
    if (!ready)
        keepError(systemError(errno));
    ::close(descriptor);
    m_files << target;
    m_temporaries << path;
    return ready ? path : QString();
}

// rename() replaces a file at the target in one step: a reader sees the old file or the new one.
bool FileSink::renameIntoPlace()
{
    for (qsizetype i = 0; i < m_temporaries.size(); ++i) {
        const QByteArray temporary = QFile::encodeName(m_temporaries.at(i));
        const QByteArray target = QFile::encodeName(m_files.at(i));
        const auto replaced = replacedFile(m_files.at(i));
        if ((replaced && !takeAttributes(temporary, *replaced))
            || std::rename(temporary.constData(), target.constData()) != 0) {
            keepError(systemError(errno));
            return false;
        }
        m_temporaries[i].clear();
    }
    return true;
}

void FileSink::keepError(const QString& error)
{
    if (m_error.isEmpty())
        m_error = error;
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
