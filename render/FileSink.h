#pragma once

#include "render/PageSink.h"

#include <QPainter>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPdfWriter;

namespace vorlix::render {

// Writes the pages of print jobs to files instead of a printer: one PDF document, or one PNG or
// SVG file per page. Jobs that follow one another (copies) go on into the same output; the
// output is complete after finish() or when the sink ends.
//
// PNG and SVG names: a "%1" in the path is replaced by the page number; otherwise "-<n>" is put
// before the extension ("out.png" gives out-1.png, out-2.png, ...).
class FileSink final : public PageSink {
public:
    enum class Format {
        Pdf,
        Png,
        Svg,
    };

    FileSink(Format format, QString path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // The format from a file name's extension (pdf, png, svg); nothing for others.
    [[nodiscard]] static std::optional<Format> formatOf(const QString& path);

    [[nodiscard]] bool isPrinter() const override { return true; }
    bool startDoc(const QString& documentName) override;
    bool playPage(const PageRecord& page, const QRect& rect) override;
    void endDoc() override { }
    void setPicture(std::shared_ptr<const PageRecord>) override { }

    // Completes the output; false when anything could not be written.
    bool finish();

    // Files written so far (the PDF once, or every page file).
    [[nodiscard]] const QStringList& files() const { return m_files; }
    [[nodiscard]] int pagesWritten() const { return m_pages; }
    [[nodiscard]] bool failed() const { return m_failed; }

private:
    bool playPdf(const PageRecord& page, const QRect& rect);
    bool playPng(const PageRecord& page, const QRect& rect);
    bool playSvg(const PageRecord& page, const QRect& rect);
    [[nodiscard]] QString pagePath(int number) const;

    Format m_format;
    QString m_path;
    QString m_title;
    std::unique_ptr<QPdfWriter> m_pdf;
    QPainter m_painter;
    QStringList m_files;
    int m_pages = 0;
    bool m_failed = false;
};

}
