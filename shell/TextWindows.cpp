#include "shell/TextWindows.h"

#include <algorithm>
#include <sys/stat.h>

namespace vorlix::shell {

namespace {

    constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

    // Below 0x40 a byte is a character of its own in both encodings.
    bool isBoundaryByte(char c)
    {
        return static_cast<unsigned char>(c) < 0x40;
    }

    bool isCp932Lead(unsigned char c)
    {
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    }

    bool isCp932Trail(unsigned char c)
    {
        return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
    }

    // The last start of a character after the first byte and before the last one, as the decoder
    // of the encoding walks the bytes from a character's start; -1 when there is none. UTF-8 shows
    // a start in any byte that continues nothing; CP932 only by walking, a lead byte taking the
    // next as its trail when it can be one (as the decoder does, valid pair or not).
    qsizetype lastCharacterStart(const QByteArray& bytes, TextEncoding encoding)
    {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
        const qsizetype n = bytes.size();
        if (encoding != TextEncoding::Cp932) {
            for (qsizetype i = n - 1; i > 0; --i)
                if ((b[i] & 0xC0) != 0x80)
                    return i;
            return -1;
        }
        qsizetype last = -1;
        for (qsizetype i = 0; i < n - 1;) {
            i += (isCp932Lead(b[i]) && isCp932Trail(b[i + 1])) ? 2 : 1;
            if (i <= n - 1)
                last = i;
        }
        return last;
    }

    bool hasNonAscii(const QByteArray& bytes)
    {
        return std::any_of(bytes.begin(), bytes.end(),
            [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
    }

}

TextWindows::Stamp TextWindows::stampOf(const QString& path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return { static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
        static_cast<std::uint64_t>(info.st_ino) };
}

bool TextWindows::open(const QString& path, qsizetype window)
{
    m_path = path;
    m_inMemory = false;
    m_memory.clear();
    m_window = std::max<qsizetype>(window, 1);
    m_error.clear();
    m_file.setFileName(path);
    m_stamp = stampOf(path);
    if (m_stamp.size < 0 || !m_file.open(QIODevice::ReadOnly) || m_file.isSequential()) {
        m_error = m_file.errorString();
        return false;
    }
    m_size = m_file.size();
    findEncoding();
    return m_error.isEmpty();
}

void TextWindows::open(QByteArray bytes, qsizetype window)
{
    m_path.clear();
    m_file.close();
    m_inMemory = true;
    m_memory = std::move(bytes);
    m_size = m_memory.size();
    m_window = std::max<qsizetype>(window, 1);
    m_error.clear();
    findEncoding();
}

bool TextWindows::unchanged() const
{
    return m_inMemory || stampOf(m_path) == m_stamp;
}

bool TextWindows::readBytes(std::int64_t from, std::int64_t count, QByteArray& out)
{
    count = std::clamp<std::int64_t>(count, 0, m_size - from);
    if (m_inMemory) {
        out = m_memory.mid(static_cast<qsizetype>(from), static_cast<qsizetype>(count));
        return true;
    }
    out.resize(static_cast<qsizetype>(count));
    if (!m_file.seek(from) || m_file.read(out.data(), count) != count) {
        m_error = m_file.errorString();
        out.clear();
        return false;
    }
    return true;
}

qsizetype TextWindows::windowEnd(const QByteArray& bytes, qsizetype from)
{
    for (qsizetype i = bytes.size() - 1; i >= from; --i)
        if (isBoundaryByte(bytes[i]))
            return i + 1;
    return -1;
}

// A window that holds no boundary byte (a long value of letters or kana) ends at the last start
// of a character in the encoding its bytes are cut for, so that it is never read whole; only a
// window too small to hold two characters grows.
bool TextWindows::readWindowBytes(std::int64_t from, QByteArray& out, TextEncoding cutFor)
{
    std::int64_t want = m_window;
    for (;;) {
        if (!readBytes(from, want, out))
            return false;
        if (from + out.size() >= m_size)
            return true;
        qsizetype end = windowEnd(out, 0);
        if (end <= 0)
            end = lastCharacterStart(out, cutFor);
        if (end > 0) {
            out.truncate(end);
            return true;
        }
        want *= 2;
    }
}

// The same decision as decoding the whole file: a byte-order mark, else UTF-8 when every byte
// is valid UTF-8 and some is not ASCII, else CP932. Windows end between characters, so checking
// them one by one checks the whole.
void TextWindows::findEncoding()
{
    m_next = 0;
    m_textStart = 0;
    QByteArray bytes;
    if (!readBytes(0, 3, bytes))
        return;
    if (bytes == kUtf8Bom) {
        m_encoding = TextEncoding::Utf8Bom;
        m_next = m_textStart = 3;
        return;
    }
    bool nonAscii = false;
    bool valid = true;
    // Pieces cut between UTF-8 characters check as the whole does.
    for (std::int64_t from = 0; from < m_size && valid;) {
        if (!readWindowBytes(from, bytes, TextEncoding::Utf8))
            return;
        nonAscii = nonAscii || hasNonAscii(bytes);
        valid = QByteArrayView(bytes).isValidUtf8();
        from += bytes.size();
    }
    m_encoding = (nonAscii && valid) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

QString TextWindows::decode(const QByteArray& bytes) const
{
    // A mark was skipped with the first window; later bytes are plain UTF-8.
    return decodeAs(bytes, m_encoding == TextEncoding::Utf8Bom ? TextEncoding::Utf8 : m_encoding);
}

bool TextWindows::next(Window& window)
{
    if (m_next >= m_size || !m_error.isEmpty())
        return false;
    window.byteStart = m_next;
    if (!readWindowBytes(m_next, window.bytes, m_encoding))
        return false;
    m_next += window.bytes.size();
    window.text = decode(window.bytes);
    return true;
}

bool TextWindows::decodeRange(std::int64_t from, std::int64_t to, QString& text)
{
    if (from < m_textStart || to > m_size || to < from || !unchanged())
        return false;
    QByteArray bytes;
    if (!readBytes(from, to - from, bytes) || bytes.size() != to - from)
        return false;
    text = decode(bytes);
    return true;
}

}
