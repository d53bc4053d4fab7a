#pragma once

#include "render/PdfPageStream.h"
#include "render/PrintOutput.h"

#include <QPainter>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPdfWriter;

namespace vorlix::render {

class CheckedFile;

// Writes the pages of print jobs to files instead of a printer: one PDF document, or one PNG or
// SVG file per page. Jobs that follow one another (copies) go on into the same output; the
// output is complete after finish() or when the sink ends.
//
// PNG and SVG names: a "%1" in the path is replaced by the page number; otherwise "-<n>" is put
// before the extension ("out.png" gives out-1.png, out-2.png, ...).
//
// Everything is written under temporary names beside the target and only takes the target's name
// when finish() found nothing wrong: a job that fails, is discarded or never finishes leaves a
// file already at the target as it was. Every write is checked, whichever writer makes the file,
// and a file that replaces another keeps that one's permissions and, where the process may, its
// owner and group.
//
// A PDF is written by our own writer, its pages prepared on the print job's workers; with
// VORLIX_PDF_ENGINE=qt in the environment it goes through Qt's PDF engine instead, the way the
// printing path draws.
class FileSink final : public PrintOutput {
public:
    enum class Format {
        Pdf,
        Png,
        Svg,
    };

    // Which writer makes a PDF.
    enum class PdfEngine {
        Own,
        Qt,
    };

    // What finish() found: the files are in place, or why they could not be written.
    struct Outcome {
        bool written = false;
        // The first problem, in the system's words ("No space left on device"); may be empty
        // when a writer gave no reason.
        QString error;
        explicit operator bool() const { return written; }
    };

    FileSink(Format format, QString path);
    FileSink(Format format, QString path, PdfEngine engine);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // The format from a file name's extension (pdf, png, svg); nothing for others.
    [[nodiscard]] static std::optional<Format> formatOf(const QString& path);
    // The PDF writer the environment chooses (VORLIX_PDF_ENGINE).
    [[nodiscard]] static PdfEngine pdfEngineFromEnvironment();

    bool begin(const QString& documentName) override;
    bool write(const PageRecord& page, const QRect& rect) override;
    [[nodiscard]] std::shared_ptr<const PdfPreparedPage> prepare(
        const PageRecord& page, const QRect& rect) const override;
    bool writePrepared(const PdfPreparedPage& page) override;

    // Completes the output and gives it its names; not written when anything could not be
    // (nothing is then renamed and the temporary files go).
    Outcome finish();
    bool commit() override { return static_cast<bool>(finish()); }
    // Why the output could not be completed, in the system's words.
    [[nodiscard]] QString error() const override { return m_error; }
    // Drops what was written so far; the targets stay as they were.
    void discard() override;

    // Files written so far (the PDF once, or every page file).
    [[nodiscard]] const QStringList& files() const { return m_files; }
    [[nodiscard]] int pagesWritten() const { return m_pages; }
    [[nodiscard]] bool failed() const override { return m_failed; }

private:
    bool playPdf(const PageRecord& page, const QRect& rect);
    // The PDF's temporary file under our own writer; null (the error kept) when it cannot be made.
    [[nodiscard]] std::unique_ptr<PdfWriter> createPdf();
    // Counts a page written, or notes the output failed.
    bool counted(bool written);
    bool playPng(const PageRecord& page, const QRect& rect);
    bool playSvg(const PageRecord& page, const QRect& rect);
    [[nodiscard]] QString pagePath(int number) const;
    // Where a file goes until finish() renames it to `target`, created empty; empty when it
    // cannot be created.
    [[nodiscard]] QString temporaryFor(const QString& target);
    // The temporary file of `target`, open for Qt's writers; nothing (the error kept) when it
    // cannot be made.
    [[nodiscard]] std::unique_ptr<CheckedFile> openChecked(const QString& target);
    // Completes a file written through Qt; false (the error kept) when a write failed.
    bool finishChecked(CheckedFile& file);
    bool renameIntoPlace();
    void removeTemporaries();
    // The first problem is the one reported.
    void keepError(const QString& error);

    Format m_format;
    QString m_path;
    QString m_title;
    std::unique_ptr<CheckedFile> m_pdfFile;
    std::unique_ptr<QPdfWriter> m_pdf;
    // Our own writer's document; none with Qt's engine.
    std::unique_ptr<PdfPageStream> m_stream;
    QPainter m_painter;
    QStringList m_files;
    QStringList m_temporaries; // beside m_files, one for one
    bool m_ended = false;
    int m_pages = 0;
    bool m_failed = false;
    QString m_error;
};

}
