#pragma once

#include "shell/CodePage.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

namespace vorlix::shell {

// A text file, or bytes that arrived whole (an http:/ answer), decoded a window at a time, so that
// a document of hundreds of megabytes is never held whole, neither as bytes nor as text. The
// encoding is decided exactly as reading the whole file decides it (a byte-order mark, else valid
// UTF-8 holding non-ASCII, else CP932), by a scan of the bytes when there is no mark.
//
// A window ends just after a byte below 0x40: such a byte is a character of its own in UTF-8 and
// in CP932 (never a lead or trail byte), so the windows decode to exactly the text the whole file
// decodes to, cut in pieces. "<" is such a byte, so any range that starts at a "<" and ends
// before one (or at the end) can be read and decoded again on its own. A window without such a
// byte (a value of a hundred megabytes of letters) ends at the start of its last character
// instead, so that no window is much larger than asked for.
class TextWindows {
public:
    struct Window {
        QByteArray bytes;
        QString text; // the bytes decoded
        std::int64_t byteStart = 0; // where the bytes lie in the file
    };

    // What tells a file on disk from the same name rewritten.
    struct Stamp {
        std::int64_t size = -1;
        std::int64_t modified = 0; // nanoseconds
        std::uint64_t inode = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };

    static constexpr qsizetype DefaultWindow = qsizetype(1) << 20;

    // Opens a local file; false (the reason in error()) when it cannot be read.
    [[nodiscard]] bool open(const QString& path, qsizetype window = DefaultWindow);
    // Reads bytes already in memory.
    void open(QByteArray bytes, qsizetype window = DefaultWindow);

    [[nodiscard]] TextEncoding encoding() const { return m_encoding; }
    [[nodiscard]] std::int64_t size() const { return m_size; }
    [[nodiscard]] const QString& error() const { return m_error; }
    [[nodiscard]] const QString& path() const { return m_path; }

    // The next window in order; false after the last (or when reading failed: see error()).
    [[nodiscard]] bool next(Window& window);
    // Decodes the bytes [from, to) again; to must be a window boundary or lie before a "<".
    // False when they cannot be read whole, or the file is no longer the one first read.
    [[nodiscard]] bool decodeRange(std::int64_t from, std::int64_t to, QString& text);
    // Whether the file on disk is still the one opened (always true for bytes in memory).
    [[nodiscard]] bool unchanged() const;

    // The stamp of a file by name; size -1 when it cannot be looked up.
    [[nodiscard]] static Stamp stampOf(const QString& path);
    // Where a window of at most `window` bytes from `from` ends (just after a byte below 0x40),
    // or -1 when it holds none.
    [[nodiscard]] static qsizetype windowEnd(const QByteArray& bytes, qsizetype from);

private:
    [[nodiscard]] bool readBytes(std::int64_t from, std::int64_t count, QByteArray& out);
    [[nodiscard]] bool readWindowBytes(std::int64_t from, QByteArray& out, TextEncoding cutFor);
    void findEncoding();
    [[nodiscard]] QString decode(const QByteArray& bytes) const;

    QString m_path;
    QFile m_file;
    QByteArray m_memory;
    bool m_inMemory = false;
    Stamp m_stamp;
    std::int64_t m_size = 0;
    std::int64_t m_next = 0;
    std::int64_t m_textStart = 0; // after a byte-order mark
    qsizetype m_window = DefaultWindow;
    TextEncoding m_encoding = TextEncoding::Cp932;
    QString m_error;
};

}
