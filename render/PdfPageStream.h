#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <memory>

namespace vorlix::render {

class PageRecord;
class PdfFontRegistry;
class PdfWriter;
struct PdfPreparedPage;

// One PDF document as a print output writes it: its pages prepared on the job's workers against
// fonts they share, appended in page order on the writing thread, the fonts subset at the end.
// The writer is made with the first page, so that an output that never gets one writes nothing.
class PdfPageStream {
public:
    // Makes the document's writer, not opened yet; null when its destination cannot be made
    // (whoever made it knows why).
    using WriterFactory = std::function<std::unique_ptr<PdfWriter>()>;

    explicit PdfPageStream(WriterFactory makeWriter);
    ~PdfPageStream();
    PdfPageStream(const PdfPageStream&) = delete;
    PdfPageStream& operator=(const PdfPageStream&) = delete;

    // The page ready to write: played into the rectangle (device pixels of the page), its
    // stream compressed. Thread-safe.
    [[nodiscard]] std::shared_ptr<const PdfPreparedPage> prepare(
        const PageRecord& page, const QRect& rect) const;
    // Appends a prepared page, making and opening the writer first; false when it could not.
    bool write(const PdfPreparedPage& page);
    // Prepares and appends a page on the calling thread.
    bool write(const PageRecord& page, const QRect& rect);
    // Completes the document under its title; true as well when no page was ever written.
    bool finish(const QString& title);
    // Drops the document unfinished.
    void drop();

    // A page has been written: the destination exists.
    [[nodiscard]] bool started() const { return m_writer != nullptr; }
    // Why the last call failed, in the writer's words; empty when it gave none.
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    bool open();
    bool failed();

    WriterFactory m_makeWriter;
    std::unique_ptr<PdfFontRegistry> m_fonts;
    std::unique_ptr<PdfWriter> m_writer;
    QString m_error;
};

}
