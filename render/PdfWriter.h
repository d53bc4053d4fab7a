#pragma once

#include "render/CheckedFile.h"
#include "render/PdfPreparedPage.h"

#include <QByteArray>
#include <QCryptographicHash>
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
    // creator) and the cross-reference table, and closes the file; false on any failure, a font
    // that cannot be subset included. The creation date is SOURCE_DATE_EPOCH's when that is
    // set, so that the same pages give the same bytes.
    bool finish(const QString& title);

    [[nodiscard]] bool isOpen() const { return m_open; }
    // Why the last call failed, in the system's words (or naming the font that could not be
    // embedded).
    [[nodiscard]] QString errorString() const;
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
    void fail(const QString& reason);
    [[nodiscard]] int fontObject(const PdfPreparedPage::FontUse& use);
    [[nodiscard]] int imageObject(const QByteArray& digest, const QImage& image);
    [[nodiscard]] bool writeFont(const DocumentFont& font);
    void writeTrailer(int info, const QByteArray& id);
    void writePageTree();

    CheckedFile m_file;
    ByteSink m_sink; // empty when the document goes to m_file
    bool m_open = false;
    QByteArray m_buffer;
    // Of every byte written: the document's identifier, the same for the same pages.
    QCryptographicHash m_digest { QCryptographicHash::Md5 };
    // The first failure's reason.
    QString m_error;
    qint64 m_written = 0;
    bool m_failed = false;
    std::vector<qint64> m_offsets;
    std::vector<int> m_pages;
    std::vector<DocumentFont> m_fonts;
    QHash<const PdfFont*, std::size_t> m_fontIndex;
    QHash<QByteArray, int> m_images;
};

}
