#include "shell/CodePage.h"

#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace vorlix::shell {

namespace {

    constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

    // One iconv conversion, owned for the duration of a call.
    class Iconv {
    public:
        Iconv(const char* to, const char* from)
            : m_cd(iconv_open(to, from))
        {
        }
        ~Iconv()
        {
            if (valid())
                iconv_close(m_cd);
        }
        Iconv(const Iconv&) = delete;
        Iconv& operator=(const Iconv&) = delete;

        bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
        iconv_t handle() const { return m_cd; }

    private:
        iconv_t m_cd;
    };

    // Opening a conversion loads and sets up its tables, which costs more than converting a line:
    // each one used is kept open for the thread and reset to its initial state before every use.
    iconv_t conversion(const char* to, const char* from)
    {
        thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Iconv>> open;
        auto& slot = open[{ to, from }];
        if (!slot)
            slot = std::make_unique<Iconv>(to, from);
        if (!slot->valid())
            return reinterpret_cast<iconv_t>(-1);
        iconv(slot->handle(), nullptr, nullptr, nullptr, nullptr);
        return slot->handle();
    }

    bool isCp932Lead(unsigned char c)
    {
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    }

    bool isCp932Trail(unsigned char c)
    {
        return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
    }

    // Converts CP932 bytes to UTF-16 with iconv; a byte sequence iconv refuses becomes U+FFFD and
    // the conversion resumes after it.
    QString cp932ToUnicode(const QByteArray& bytes)
    {
        const iconv_t cv = conversion("UTF-16LE", "CP932");
        if (cv == reinterpret_cast<iconv_t>(-1))
            return QString::fromLatin1(bytes);
        QString out;
        out.reserve(bytes.size());
        QByteArray buffer(4096, Qt::Uninitialized);
        char* in = const_cast<char*>(bytes.constData());
        size_t inLeft = static_cast<size_t>(bytes.size());
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            size_t outLeft = static_cast<size_t>(buffer.size());
            const size_t r = iconv(cv, &in, &inLeft, &outPtr, &outLeft);
            const auto produced
                = static_cast<qsizetype>(buffer.size() - static_cast<qsizetype>(outLeft));
            out.append(QString::fromUtf16(
                reinterpret_cast<const char16_t*>(buffer.constData()), produced / 2));
            if (r != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip the offending character (two bytes when it starts as a lead
            // byte followed by something), write the replacement character and go on. The pair goes
            // whole only when its second byte could be a trail byte, so a bad lead byte never
            // swallows the line end, a blank or a control character after it.
            const auto c = static_cast<unsigned char>(*in);
            const bool pair
                = isCp932Lead(c) && inLeft >= 2 && isCp932Trail(static_cast<unsigned char>(in[1]));
            const size_t skip = pair ? 2 : 1;
            in += skip;
            inLeft -= skip;
            out.append(QChar(QChar::ReplacementCharacter));
            iconv(cv, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

    // Converts UTF-16 text to a byte set with iconv; characters without a code become '?'.
    QByteArray unicodeTo(const char* codeSet, const QString& text, bool* ok)
    {
        if (ok)
            *ok = true;
        const iconv_t cv = conversion(codeSet, "UTF-16LE");
        if (cv == reinterpret_cast<iconv_t>(-1)) {
            if (ok)
                *ok = false;
            return text.toUtf8();
        }
        QByteArray out;
        out.reserve(text.size() * 2);
        QByteArray buffer(4096, Qt::Uninitialized);
        char* in = reinterpret_cast<char*>(const_cast<ushort*>(text.utf16()));
        size_t inLeft = static_cast<size_t>(text.size()) * 2;
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            size_t outLeft = static_cast<size_t>(buffer.size());
            const size_t r = iconv(cv, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer.constData(), buffer.size() - static_cast<qsizetype>(outLeft));
            if (r != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // A character without a code: one UTF-16 unit, or a surrogate pair.
            const auto unit = *reinterpret_cast<const char16_t*>(in);
            const size_t skip = (QChar::isHighSurrogate(unit) && inLeft >= 4) ? 4 : 2;
            in += skip;
            inLeft -= skip;
            out.append('?');
            if (ok)
                *ok = false;
            iconv(cv, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

    bool isAscii(const QByteArray& bytes)
    {
        for (const char c : bytes)
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
        return true;
    }

    // UTF-8 is decoded a piece at a time, each piece ending between two characters: a document of
    // tens of megabytes is then neither decoded twice at once nor held at the decoder's worst-case
    // size, twice its real one.
    constexpr qsizetype kUtf8Piece = qsizetype(1) << 20;

    qsizetype utf8PieceEnd(const QByteArray& bytes, qsizetype from)
    {
        qsizetype end = std::min(bytes.size(), from + kUtf8Piece);
        for (int back = 0; back < 3 && end < bytes.size() && end > from + 1
             && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
             ++back)
            --end;
        return end;
    }

    // Every character is kept: QString::fromUtf8 would drop a leading U+FEFF as a byte-order
    // mark, which would take it from a text that begins with one (or from a file with two marks,
    // or a settings line that starts with one).
    QString decodeUtf8Piece(QByteArrayView piece)
    {
        auto decoder = QStringDecoder(QStringDecoder::Utf8,
            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(piece);
    }

    // The bytes that may follow a lead byte, by the lead byte: how many, and the range of the
    // first (the rest are 80..BF). The narrow ranges shut out overlong forms, surrogates and
    // anything above U+10FFFF, as the decoder does.
    struct Continuation {
        int count = -1; // -1: no lead byte of a well-formed sequence
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
    };

    Continuation continuationOf(unsigned char lead)
    {
        if (lead >= 0xC2 && lead <= 0xDF)
            return { 1 };
        if (lead == 0xE0)
            return { 2, 0xA0 };
        if (lead == 0xED)
            return { 2, 0x80, 0x9F };
        if (lead >= 0xE1 && lead <= 0xEF)
            return { 2 };
        if (lead == 0xF0)
            return { 3, 0x90 };
        if (lead >= 0xF1 && lead <= 0xF3)
            return { 3 };
        if (lead == 0xF4)
            return { 3, 0x80, 0x8F };
        return {};
    }

    // The length of the text the bytes decode to, or -1 when they are no valid UTF-8. Checked
    // without decoding (ASCII eight bytes at a time): the text is decoded once, after the choice
    // between UTF-8 and CP932.
    qsizetype validUtf8Length(QByteArrayView bytes)
    {
        const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = at + bytes.size();
        qsizetype length = 0;
        while (at < end) {
            std::uint64_t word = 0;
            if (end - at >= 8 && (std::memcpy(&word, at, 8), (word & 0x8080808080808080ULL) == 0)) {
                at += 8;
                length += 8;
                continue;
            }
            if (*at < 0x80) {
                ++at;
                ++length;
                continue;
            }
            const Continuation next = continuationOf(*at);
            if (next.count < 0 || end - at <= next.count || at[1] < next.low || at[1] > next.high)
                return -1;
            for (int i = 2; i <= next.count; ++i)
                if ((at[i] & 0xC0) != 0x80)
                    return -1;
            at += next.count + 1;
            length += next.count == 3 ? 2 : 1; // four bytes make a surrogate pair
        }
        return length;
    }

    // Decodes bytes that validUtf8Length accepted, straight into a text of the length it gave:
    // no check is left to make, and no piece is held twice.
    QString decodeValidUtf8(QByteArrayView bytes, qsizetype length)
    {
        QString text(length, Qt::Uninitialized);
        auto* to = reinterpret_cast<char16_t*>(text.data());
        const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = at + bytes.size();
        while (at < end) {
            const unsigned lead = *at;
            if (lead < 0x80) {
                *to++ = static_cast<char16_t>(lead);
                at += 1;
            } else if (lead < 0xE0) {
                *to++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (at[1] & 0x3F));
                at += 2;
            } else if (lead < 0xF0) {
                *to++ = static_cast<char16_t>(
                    ((lead & 0x0F) << 12) | ((at[1] & 0x3F) << 6) | (at[2] & 0x3F));
                at += 3;
            } else {
                const char32_t point = (((lead & 0x07) << 18) | ((at[1] & 0x3F) << 12)
                                           | ((at[2] & 0x3F) << 6) | (at[3] & 0x3F))
                    - 0x10000;
                *to++ = static_cast<char16_t>(0xD800 + (point >> 10));
                *to++ = static_cast<char16_t>(0xDC00 + (point & 0x3FF));
                at += 4;
            }
        }
        return text;
    }

    // Valid bytes take the quick way; invalid ones go through the decoder, which puts a
    // replacement character where a sequence is broken.
    QString utf8ToUnicode(const QByteArray& bytes)
    {
        if (const qsizetype length = validUtf8Length(bytes); length >= 0)
            return decodeValidUtf8(bytes, length);
        QString text;
        text.reserve(bytes.size());
        for (qsizetype from = 0; from < bytes.size();) {
            const qsizetype end = utf8PieceEnd(bytes, from);
            text += decodeUtf8Piece(QByteArrayView(bytes).sliced(from, end - from));
            from = end;
        }
        text.squeeze();
        return text;
    }

    bool codeSetIsShiftJis(const QByteArray& set)
    {
        const QByteArray s = set.toUpper();
        return s.contains("SJIS") || s.contains("SHIFT_JIS") || s.contains("SHIFT-JIS")
            || s == "CP932" || s == "WINDOWS-31J";
    }

    bool codeSetIsUtf8(const QByteArray& set)
    {
        const QByteArray s = set.toUpper();
        return s == "UTF-8" || s == "UTF8";
    }

}

QString fromCp932(const QByteArray& bytes)
{
    return cp932ToUnicode(bytes);
}

QByteArray toCp932(const QString& text, bool* ok)
{
    QByteArray bytes = unicodeTo("CP932", text, ok);
    // Some characters have a CP932 code that reads back as another one (the wave dash U+301C
    // becomes the full-width tilde U+FF5E, the double vertical line U+2016 the parallel sign):
    // they do not fit, or a file written in CP932 would change them without a word.
    if (ok && *ok && cp932ToUnicode(bytes) != text)
        *ok = false;
    return bytes;
}

bool fitsCp932(const QString& text)
{
    bool ok = true;
    (void)toCp932(text, &ok);
    return ok;
}

qsizetype firstUnfitCp932(const QString& text)
{
    if (fitsCp932(text))
        return -1;
    // Whether a beginning of the text fits only shrinks as it grows: halve the range until the
    // first character that does not fit is found, never cutting a surrogate pair.
    qsizetype fits = 0;
    qsizetype fails = text.size();
    while (fails - fits > 1) {
        qsizetype middle = fits + (fails - fits) / 2;
        if (text.at(middle - 1).isHighSurrogate() && middle + 1 < fails)
            ++middle;
        else if (text.at(middle - 1).isHighSurrogate())
            break;
        if (fitsCp932(text.left(middle)))
            fits = middle;
        else
            fails = middle;
    }
    return fits;
}

bool readsBackAsCp932(const QString& text)
{
    bool ok = true;
    const QByteArray bytes = toCp932(text, &ok);
    return ok && decodeText(bytes).encoding == TextEncoding::Cp932;
}

bool isPlainAscii(QByteArrayView bytes)
{
    return std::all_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isValidUtf8(QByteArrayView bytes)
{
    return validUtf8Length(bytes) >= 0;
}

DecodedText decodeText(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return { utf8ToUnicode(bytes.mid(3)), TextEncoding::Utf8Bom };
    if (!isAscii(bytes)) {
        if (const qsizetype length = validUtf8Length(bytes); length >= 0)
            return { decodeValidUtf8(bytes, length), TextEncoding::Utf8 };
    }
    return { fromCp932(bytes), TextEncoding::Cp932 };
}

QString decodeAs(const QByteArray& bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return utf8ToUnicode(bytes.startsWith(kUtf8Bom) ? bytes.mid(3) : bytes);
    case TextEncoding::Utf8:
        return utf8ToUnicode(bytes);
    case TextEncoding::Cp932:
        break;
    }
    return fromCp932(bytes);
}

QByteArray encodeText(const QString& text, TextEncoding encoding, TextEncoding* used)
{
    TextEncoding chosen = encoding;
    QByteArray bytes;
    if (encoding == TextEncoding::Cp932) {
        bool ok = true;
        bytes = toCp932(text, &ok);
        // CP932 bytes that happen to be valid UTF-8 (half-width kana pairs such as "ﾃｱ") would be
        // read back as other characters: such a text goes out in UTF-8, which reads back as it is.
        if (!ok || decodeText(bytes).encoding != TextEncoding::Cp932)
            chosen = TextEncoding::Utf8;
    }
    // A text that itself begins with U+FEFF would lose it to the reader, which takes those bytes
    // for a byte-order mark: a mark of its own in front keeps it.
    if (chosen == TextEncoding::Utf8 && text.startsWith(QChar(0xFEFF)))
        chosen = TextEncoding::Utf8Bom;
    if (chosen == TextEncoding::Utf8)
        bytes = text.toUtf8();
    else if (chosen == TextEncoding::Utf8Bom)
        bytes = QByteArray(kUtf8Bom) + text.toUtf8();
    if (used)
        *used = chosen;
    return bytes;
}

QByteArray encodeNewText(const QString& text, TextEncoding* used)
{
    return encodeText(text, TextEncoding::Cp932, used);
}

QByteArray localeCodeSet()
{
    const char* set = nl_langinfo(CODESET);
    QByteArray name = set ? QByteArray(set) : QByteArray();
    const QByteArray upper = name.toUpper();
    if (name.isEmpty() || upper == "ANSI_X3.4-1968" || upper == "ASCII" || upper == "US-ASCII")
        return "UTF-8";
    return name;
}

QByteArray toLocaleBytes(const QString& text)
{
    const QByteArray set = localeCodeSet();
    if (codeSetIsUtf8(set))
        return text.toUtf8();
    if (codeSetIsShiftJis(set))
        return toCp932(text);
    return unicodeTo(set.constData(), text, nullptr);
}

QString fromLocaleBytes(const QByteArray& bytes)
{
    const QByteArray set = localeCodeSet();
    if (codeSetIsUtf8(set))
        return utf8ToUnicode(bytes);
    if (codeSetIsShiftJis(set))
        return fromCp932(bytes);
    return QString::fromLocal8Bit(bytes);
}

}
