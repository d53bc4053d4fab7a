#pragma once

#include <QByteArray>
#include <QString>

// The one place where bytes become text and text becomes bytes. Files are UTF-8 (with or without
// a byte-order mark) or the Windows Japanese code page CP932; the log speaks the locale's set.
namespace vorlix::shell {

enum class TextEncoding {
    Cp932,
    Utf8,
    Utf8Bom,
};

// Text read from bytes together with the encoding it was read in.
struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Cp932;
};

// A UTF-8 byte-order mark, or bytes that are valid UTF-8 and hold non-ASCII, mean UTF-8;
// anything else is CP932. Invalid CP932 bytes become U+FFFD; nothing stops the decoding.
[[nodiscard]] DecodedText decodeText(const QByteArray& bytes);

// Whether the bytes are plain ASCII, and whether they are valid UTF-8: the two facts the choice
// of decodeText rests on, for callers that weigh parts of a file separately.
[[nodiscard]] bool isPlainAscii(QByteArrayView bytes);
[[nodiscard]] bool isValidUtf8(QByteArrayView bytes);

// Decodes with a known encoding (used when writing back must match reading).
[[nodiscard]] QString decodeAs(const QByteArray& bytes, TextEncoding encoding);

// Plain CP932 conversions. fromCp932 never fails (U+FFFD for bad bytes); toCp932 sets *ok to
// false when a character has no CP932 code (it writes '?') or one that reads back as another
// character (the wave dash U+301C written as the full-width tilde's code).
[[nodiscard]] QString fromCp932(const QByteArray& bytes);
[[nodiscard]] QByteArray toCp932(const QString& text, bool* ok = nullptr);

// Whether every character of the text has a CP932 code.
[[nodiscard]] bool fitsCp932(const QString& text);
// The position of the first character without a CP932 code (as fitsCp932 judges), -1 when
// every character has one.
[[nodiscard]] qsizetype firstUnfitCp932(const QString& text);
// Whether the text, written in CP932, reads back as itself: every character fits and the bytes
// cannot be taken for UTF-8 (as a text of half-width kana pairs such as "ﾃｱ" can).
[[nodiscard]] bool readsBackAsCp932(const QString& text);

// Encodes for writing: a file goes back in the encoding it was read in; CP932 is used only when
// every character fits and the bytes cannot be taken for UTF-8, otherwise UTF-8, so that nothing
// is lost silently. A UTF-8 text that begins with U+FEFF gets a byte-order mark in front. *used
// (when given) receives the encoding actually written.
[[nodiscard]] QByteArray encodeText(
    const QString& text, TextEncoding encoding, TextEncoding* used = nullptr);

// Encodes a new file: CP932 when every character fits, else UTF-8.
[[nodiscard]] QByteArray encodeNewText(const QString& text, TextEncoding* used = nullptr);

// The character set of the current locale for the log and the merged text of "-m=": its
// nl_langinfo(CODESET) name, with the plain-ASCII C/POSIX locale counting as UTF-8.
[[nodiscard]] QByteArray localeCodeSet();
// Text in the locale's character set (CP932 for Shift_JIS locales); never fails.
[[nodiscard]] QByteArray toLocaleBytes(const QString& text);
// Bytes in the locale's character set to text; never fails.
[[nodiscard]] QString fromLocaleBytes(const QByteArray& bytes);

}
