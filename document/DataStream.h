#pragma once

#include "document/TextFeed.h"
#include "shell/TextWindows.h"

#include <QString>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace vorlix::document {

// Where a piece of a data document lies, so that it can be read again on its own: its bytes
// (from the "<" that began its first token to the next "<" after it, or the end) and the
// character position its text starts at.
struct PiecePlace {
    std::int64_t byteStart = 0;
    std::int64_t byteEnd = 0;
    std::int32_t position = 0;
};

// Feeds the windows of a data document file to the XML cutter and tells, for any "<" of the
// text still held, at which byte of the file it stands. A "<" is one byte in both encodings and
// no other byte decodes to it, so the n-th "<" of a window's text and of its bytes are the same.
class DataStream final : public TextFeed {
public:
    explicit DataStream(shell::TextWindows& windows);

    bool more(QString& text) override;

    // The byte offset of the "<" at `position` (1-based, in the whole text); -1 when that text
    // is no longer held or holds no "<" there.
    [[nodiscard]] std::int64_t byteOf(std::int32_t position);
    // The windows wholly before `position` are needed no more.
    void release(std::int32_t position);
    // The first characters of the text, enough to recognise a document that is no text at all.
    [[nodiscard]] const QString& opening() const { return m_opening; }
    [[nodiscard]] shell::TextWindows& windows() { return m_windows; }

    // "line:column" of a 1-based character position of the document the windows read, counted
    // from the start; the windows are read from the start again.
    [[nodiscard]] static QString lineColumn(shell::TextWindows& windows, std::int32_t position);

private:
    // A window still needed: where its text and bytes start, and each "<" in it as a pair of its
    // character offset and byte offset.
    struct Held {
        std::int32_t position = 0; // of the window's first character
        std::int32_t length = 0; // characters
        std::int64_t byteStart = 0;
        std::vector<std::pair<std::int32_t, std::int32_t>> tags;
    };

    shell::TextWindows& m_windows;
    std::deque<Held> m_held;
    std::int32_t m_nextPosition = 1;
    QString m_opening;
};

}
