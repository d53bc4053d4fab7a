// Decodes arbitrary bytes the way every text file is read and encodes the text back the way it is
// written: whatever the writer produces must read back as the same text, in the encoding the file
// was read in or in a new file's encoding, and the locale conversions must agree with themselves.
#include "shell/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using vorlix::shell::TextEncoding;

namespace {

void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", what, text.toUtf8().toHex(' ').constData());
    std::abort();
}

// Writes the text as a file in the given encoding and reads it back as a file is read.
void checkRoundTrip(const QString& text, TextEncoding encoding)
{
    TextEncoding used = encoding;
    const QByteArray bytes = vorlix::shell::encodeText(text, encoding, &used);
    const auto back = vorlix::shell::decodeText(bytes);
    if (back.text != text)
        fail("written text reads back differently", text);
    // What was written in one encoding is read in that encoding (a plain-ASCII file reads as
    // CP932, which is the same bytes).
    if (used == TextEncoding::Utf8Bom && back.encoding != TextEncoding::Utf8Bom)
        fail("a byte-order mark was lost", text);
    if (vorlix::shell::decodeAs(bytes, used) != text)
        fail("decoding in the encoding used differs", text);
}

void checkCp932(const QString& text)
{
    bool ok = true;
    const QByteArray bytes = vorlix::shell::toCp932(text, &ok);
    if (ok != vorlix::shell::fitsCp932(text))
        fail("fitsCp932 disagrees with toCp932", text);
    if (ok && vorlix::shell::fromCp932(bytes) != text)
        fail("a CP932 text does not come back", text);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // The bytes as a file, and as the texts a user could type into one.
    const auto decoded = vorlix::shell::decodeText(bytes);
    if (decoded.encoding == TextEncoding::Utf8 && decoded.text != QString::fromUtf8(bytes))
        fail("UTF-8 detection changed the text", decoded.text);
    for (const QString& text :
        { decoded.text, QString::fromUtf8(bytes), vorlix::shell::fromCp932(bytes) }) {
        checkRoundTrip(text, decoded.encoding);
        checkRoundTrip(text, TextEncoding::Cp932);
        checkRoundTrip(text, TextEncoding::Utf8);
        checkRoundTrip(text, TextEncoding::Utf8Bom);
        checkCp932(text);
    }

    const QString local = vorlix::shell::fromLocaleBytes(bytes);
    if (vorlix::shell::fromLocaleBytes(vorlix::shell::toLocaleBytes(local)) != local)
        fail("locale text does not come back", local);
    return 0;
}
