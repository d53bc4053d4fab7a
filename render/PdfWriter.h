#pragma once

#include "render/PdfPreparedPage.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace vorlix::render {

class PdfFont;
struct PdfPreparedPage;

// Writes a PDF document of prepared pages on the writing thread: each page's objects are
// appended as it comes (only its object number and offsets stay in memory), each picture is
// written once however many pages show it, and at the end every font is embedded as the subset
// of the glyphs the pages used, with widths and the text of each glyph.
class PdfWriter {
public:
    // Takes the document's bytes as they are written, in order; false stops the document.
    using ByteSink = std::function<bool(const QByteArray& bytes)>;

    explicit PdfWriter(QString path);
    // A document that goes to a stream instead of a file (a print queue): no seeking back, so
    // the bytes come out in one pass.
    explicit PdfWriter(ByteSink sink);
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // Creates the file and writes its header; false when it cannot be created.
    [[nodiscard]] bool open();
    // Appends one page; false when the file could not be written.
    bool writePage(const PdfPreparedPage& page);
    // Writes the fonts, the page tree, the document information (its title, "Vorlix" as the
    // creator) and the cross-reference table, and closes the file; false on any failure.
    bool finish(const QString& title);

    [[nodiscard]] bool isOpen() const { return m_open; }
    [[nodiscard]] int pageCount() const { return static_cast<int>(m_pages.size()); }

private:
    // A font of the document: its objects' numbers and every glyph any page used.
    struct DocumentFont {
        std::shared_ptr<const PdfFont> font;
        int object = 0;
        std::map<std::uint32_t, QString> glyphs;
    };

    [[nodiscard]] int reserveObject();
    void beginObject(int number);
    void writeStream(int number, const QByteArray& dictionary, const QByteArray& data);
    void append(const QByteArray& bytes);
    void flush();
    [[nodiscard]] int fontObject(const PdfPreparedPage::FontUse& use);
    [[nodiscard]] int imageObject(const QByteArray& digest, const QImage& image);
    void writeFont(const DocumentFont& font);
    void writePageTree();

    QFile m_file;
    ByteSink m_sink; // empty when the document goes to m_file
    bool m_open = false;
    QByteArray m_buffer;
    qint64 m_written = 0;
    bool m_failed = false;
    std::vector<qint64> m_offsets;
    std::vector<int> m_pages;
    std::vector<DocumentFont> m_fonts;
    QHash<const PdfFont*, std::size_t> m_fontIndex;
    QHash<QByteArray, int> m_images;
};

}
