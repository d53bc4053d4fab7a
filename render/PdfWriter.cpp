#include "render/PdfWriter.h"

#include "render/PdfContent.h"
#include "render/PdfFont.h"
#include "shell/Deflate.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QImage>

namespace vorlix::render {

namespace {

    constexpr int CatalogObject = 1;
    constexpr int PagesObject = 2;
    constexpr qsizetype FlushSize = 1 << 18;

    QByteArray ref(int object)
    {
        return QByteArray::number(object) + " 0 R";
    }

    // Text for an information entry: UTF-16 with its byte-order mark, in hexadecimal.
    QByteArray textString(const QString& text)
    {
        QByteArray hex = "<FEFF";
        for (const QChar c : text)
            hex += QByteArray::number(c.unicode() + 0x10000, 16).mid(1).toUpper();
        return hex + '>';
    }

    QByteArray utf16Hex(const QString& text)
    {
        QByteArray hex;
        for (const QChar c : text)
            hex += QByteArray::number(c.unicode() + 0x10000, 16).mid(1).toUpper();
        return hex;
    }

    // The moment the document says it was made: SOURCE_DATE_EPOCH's, the way reproducible builds
    // fix it, or now.
    QDateTime creationTime()
    {
        bool number = false;
        const qint64 seconds = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&number);
        if (number && seconds >= 0)
            return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
        return QDateTime::currentDateTimeUtc();
    }

    QByteArray glyphHex(std::uint32_t glyph)
    {
        return QByteArray::number(glyph + 0x10000, 16).mid(1).toUpper();
    }

    // The six capitals that mark a subset, the same for the same glyphs of the same font.
    QByteArray subsetTag(const PdfFont& font, const std::map<std::uint32_t, QString>& glyphs)
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        hash.addData(font.key().toUtf8());
        for (const auto& entry : glyphs)
            hash.addData(
                QByteArrayView(reinterpret_cast<const char*>(&entry.first), sizeof entry.first));
        const QByteArray digest = hash.result();
        QByteArray tag;
        for (int i = 0; i < 6; ++i)
            tag.append(char('A' + std::uint8_t(digest[i]) % 26));
        return tag;
    }

    QByteArray toUnicodeMap(const std::map<std::uint32_t, QString>& glyphs)
    {
        QByteArray map
            = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
              "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
              "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
              "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
        std::vector<std::pair<std::uint32_t, QString>> mapped;
        for (const auto& [glyph, text] : glyphs) {
            if (!text.isEmpty())
                mapped.emplace_back(glyph, text);
        }
        for (std::size_t at = 0; at < mapped.size(); at += 100) {
            const std::size_t end = std::min(mapped.size(), at + 100);
            map += QByteArray::number(static_cast<qulonglong>(end - at)) + " beginbfchar\n";
            for (std::size_t i = at; i < end; ++i)
                map += '<' + glyphHex(mapped[i].first) + "> <" + utf16Hex(mapped[i].second) + ">\n";
            map += "endbfchar\n";
        }
        map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
        return map;
    }

    // The metrics of the used glyphs as a W or W2 array: runs of consecutive ids grouped.
    template <typename Metrics>
    QByteArray metricsArray(const std::map<std::uint32_t, QString>& glyphs, Metrics metricsOf)
    {
        QByteArray array = "[";
        std::int64_t previous = -2;
        for (const auto& entry : glyphs) {
            const std::uint32_t glyph = entry.first;
            if (static_cast<std::int64_t>(glyph) != previous + 1) {
                if (previous >= 0)
                    array += "]";
                array += ' ' + QByteArray::number(glyph) + " [";
            } else {
                array += ' ';
            }
            array += metricsOf(glyph);
            previous = glyph;
        }
        if (previous >= 0)
            array += ']';
        return array + " ]";
    }

    QByteArray widthArray(const PdfFont& font, const std::map<std::uint32_t, QString>& glyphs)
    {
        return metricsArray(
            glyphs, [&](std::uint32_t glyph) { return QByteArray::number(font.width(glyph)); });
    }

    // Each glyph's advance down the page, then its vertical origin.
    QByteArray verticalArray(const PdfFont& font, const std::map<std::uint32_t, QString>& glyphs)
    {
        return metricsArray(glyphs, [&](std::uint32_t glyph) {
            const PdfFont::VerticalMetrics metrics = font.verticalMetrics(glyph);
            return QByteArray::number(metrics.advance) + ' ' + QByteArray::number(metrics.originX)
                + ' ' + QByteArray::number(metrics.originY);
        });
    }

}

PdfWriter::PdfWriter(QString path)
    : m_file(path)
{
}

PdfWriter::PdfWriter(ByteSink sink)
    : m_file(QString())
    , m_sink(std::move(sink))
{
}

PdfWriter::~PdfWriter() = default;

bool PdfWriter::open()
{
    if (!m_sink && !m_file.open(QIODevice::WriteOnly)) {
        fail(m_file.error());
        return false;
    }
    m_open = true;
    m_offsets.assign(PagesObject + 1, 0);
    append("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
    return true;
}

int PdfWriter::reserveObject()
{
    m_offsets.push_back(0);
    return static_cast<int>(m_offsets.size() - 1);
}

void PdfWriter::beginObject(int number)
{
    m_offsets[static_cast<std::size_t>(number)] = m_written + m_buffer.size();
    append(QByteArray::number(number) + " 0 obj\n");
}

void PdfWriter::append(const QByteArray& bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() >= FlushSize)
        flush();
}

void PdfWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    m_digest.addData(m_buffer);
    // After a failure the rest is dropped: a stream that refused bytes must not get later ones
    // (a queue's job says itself why it refused them).
    if (!m_failed && (m_sink ? !m_sink(m_buffer) : m_file.write(m_buffer) != m_buffer.size()))
        fail(m_sink ? QString() : m_file.error());
    m_written += m_buffer.size();
    m_buffer.clear();
}

void PdfWriter::fail(const QString& reason)
{
    if (!m_failed)
        m_error = reason;
    m_failed = true;
}

QString PdfWriter::errorString() const
{
    return m_error;
}

void PdfWriter::writeStream(int number, const QByteArray& dictionary, const QByteArray& data)
{
    beginObject(number);
    append("<< " + dictionary + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n");
    append(data);
    append("\nendstream\nendobj\n");
}

int PdfWriter::fontObject(const PdfPreparedPage::FontUse& use)
{
    const auto found = m_fontIndex.constFind(use.font.get());
    std::size_t index = 0;
    if (found == m_fontIndex.constEnd()) {
        index = m_fonts.size();
        m_fonts.push_back({ use.font, reserveObject(), {} });
        m_fontIndex.insert(use.font.get(), index);
    } else {
        index = *found;
    }
    DocumentFont& font = m_fonts[index];
    for (const auto& [glyph, text] : use.glyphs) {
        QString& known = font.glyphs[glyph];
        if (known.isEmpty())
            known = text;
    }
    return font.object;
}

int PdfWriter::imageObject(const QByteArray& digest, const QImage& image)
{
    const auto found = m_images.constFind(digest);
    if (found != m_images.constEnd())
        return *found;
    const int object = reserveObject();
    m_images.insert(digest, object);
    const int width = image.width();
    const int height = image.height();
    const bool alpha = image.hasAlphaChannel();
    const QImage rgb
        = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QByteArray colours;
    QByteArray opacity;
    colours.reserve(qsizetype(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const char*>(rgb.constScanLine(y));
        if (!alpha) {
            colours.append(line, qsizetype(width) * 3);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            colours.append(line + 4 * x, 3);
            opacity.append(line[4 * x + 3]);
        }
    }
    QByteArray dictionary = "/Type /XObject /Subtype /Image /Width " + QByteArray::number(width)
        + " /Height " + QByteArray::number(height)
        + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode";
    int mask = 0;
    if (alpha) {
        mask = reserveObject();
        dictionary += " /SMask " + ref(mask);
    }
    writeStream(object, dictionary, shell::Deflate::compress(colours));
    if (alpha)
        writeStream(mask,
            "/Type /XObject /Subtype /Image /Width " + QByteArray::number(width) + " /Height "
                + QByteArray::number(height)
                + " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
            shell::Deflate::compress(opacity));
    return object;
}

bool PdfWriter::writePage(const PdfPreparedPage& page)
{
    if (!m_open)
        return false;
    QByteArray resources = "<< /ProcSet [/PDF /Text /ImageC]";
    if (!page.fonts.empty()) {
        resources += " /Font <<";
        for (std::size_t i = 0; i < page.fonts.size(); ++i)
            resources += " /F" + QByteArray::number(static_cast<qulonglong>(i)) + ' '
                + ref(fontObject(page.fonts[i]));
        resources += " >>";
    }
    if (!page.images.empty()) {
        resources += " /XObject <<";
        for (std::size_t i = 0; i < page.images.size(); ++i)
            resources += " /I" + QByteArray::number(static_cast<qulonglong>(i)) + ' '
                + ref(imageObject(page.images[i].digest, page.images[i].image));
        resources += " >>";
    }
    resources += " >>";
    const int content = reserveObject();
    writeStream(content, "/Filter /FlateDecode", page.content);
    const int object = reserveObject();
    beginObject(object);
    append("<< /Type /Page /Parent " + ref(PagesObject) + " /MediaBox [0 0 "
        + PdfContent::number(page.widthPoints) + ' ' + PdfContent::number(page.heightPoints)
        + "] /Resources " + resources + " /Contents " + ref(content) + " >>\nendobj\n");
    m_pages.push_back(object);
    return !m_failed;
}

// A font without its program would show no text at all: the document fails instead.
bool PdfWriter::writeFont(const DocumentFont& entry)
{
    const PdfFont& font = *entry.font;
    std::vector<std::uint32_t> glyphs { 0 };
    for (const auto& glyph : entry.glyphs)
        glyphs.push_back(glyph.first);
    const QByteArray program = font.subset(glyphs);
    if (program.isEmpty()) {
        fail(QString::fromLatin1(font.postScriptName())
            + QStringLiteral(": フォントを埋め込めません"));
        return false;
    }
    const QByteArray name = subsetTag(font, entry.glyphs) + '+' + font.postScriptName();
    const int descendant = reserveObject();
    const int descriptor = reserveObject();
    const int file = reserveObject();
    const int toUnicode = reserveObject();
    beginObject(entry.object);
    append("<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding /Identity-"
        + (font.isVertical() ? 'V' : 'H') + " /DescendantFonts [" + ref(descendant)
        + "] /ToUnicode " + ref(toUnicode) + " >>\nendobj\n");
    beginObject(descendant);
    append(QByteArray("<< /Type /Font /Subtype /")
        + (font.isCff() ? "CIDFontType0" : "CIDFontType2") + " /BaseFont /" + name
        + " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
        + " /FontDescriptor " + ref(descriptor) + " /DW 1000 /W " + widthArray(font, entry.glyphs)
        + (font.isVertical() ? " /W2 " + verticalArray(font, entry.glyphs) : QByteArray())
        + (font.isCff() ? "" : " /CIDToGIDMap /Identity") + " >>\nendobj\n");
    const auto& box = font.boundingBox();
    beginObject(descriptor);
    append("<< /Type /FontDescriptor /FontName /" + name + " /Flags "
        + QByteArray::number(font.italicFace() ? 4 + 64 : 4) + " /FontBBox ["
        + QByteArray::number(box[0]) + ' ' + QByteArray::number(box[1]) + ' '
        + QByteArray::number(box[2]) + ' ' + QByteArray::number(box[3]) + "] /ItalicAngle "
        + PdfContent::number(font.italicAngle()) + " /Ascent " + QByteArray::number(font.ascent())
        + " /Descent " + QByteArray::number(font.descent()) + " /CapHeight "
        + QByteArray::number(font.capHeight()) + " /StemV 80 "
        + (font.isCff() ? "/FontFile3 " : "/FontFile2 ") + ref(file) + " >>\nendobj\n");
    writeStream(file,
        "/Filter /FlateDecode" + QByteArray(font.isCff() ? " /Subtype /OpenType" : "")
            + " /Length1 " + QByteArray::number(program.size()),
        shell::Deflate::compress(program));
    writeStream(
        toUnicode, "/Filter /FlateDecode", shell::Deflate::compress(toUnicodeMap(entry.glyphs)));
    return true;
}

void PdfWriter::writePageTree()
{
    beginObject(PagesObject);
    QByteArray kids = "<< /Type /Pages /Count " + QByteArray::number(m_pages.size()) + " /Kids [";
    append(kids);
    QByteArray line;
    for (const int page : m_pages) {
        line += ref(page) + ' ';
        if (line.size() > 4096) {
            append(line);
            line.clear();
        }
    }
    append(line + "] >>\nendobj\n");
    beginObject(CatalogObject);
    append("<< /Type /Catalog /Pages " + ref(PagesObject) + " >>\nendobj\n");
}

bool PdfWriter::finish(const QString& title)
{
    if (!m_open)
        return !m_failed;
    for (const DocumentFont& font : m_fonts) {
        if (!writeFont(font)) {
            if (!m_sink)
                (void)m_file.finish();
            m_open = false;
            return false;
        }
    }
    writePageTree();
    // The identifier is the digest of the pages, their fonts and pictures: the same document
    // gets the same one whenever it is written, so that it differs from another run only by
    // its date.
    flush();
    const QByteArray id = '<' + m_digest.result().toHex() + '>';
    const int info = reserveObject();
    beginObject(info);
    append("<< /Title " + textString(title) + " /Creator " + textString(QStringLiteral("Vorlix"))
        + " /Producer " + textString(QStringLiteral("Vorlix")) + " /CreationDate (D:"
        + creationTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z) >>\nendobj\n");
    writeTrailer(info, id);
    if (!m_sink && !m_file.finish())
        fail(m_file.error());
    m_open = false;
    return !m_failed;
}

void PdfWriter::writeTrailer(int info, const QByteArray& id)
{
    const qint64 xref = m_written + m_buffer.size();
    QByteArray table
        = "xref\n0 " + QByteArray::number(m_offsets.size()) + "\n0000000000 65535 f \n";
    for (std::size_t i = 1; i < m_offsets.size(); ++i) {
        table += QByteArray::number(m_offsets[i]).rightJustified(10, '0') + " 00000 n \n";
        if (table.size() > FlushSize) {
            append(table);
            table.clear();
        }
    }
    append(table);
    // Both halves of the identifier are the same: a new document that no one has changed yet.
    append("trailer\n<< /Size " + QByteArray::number(m_offsets.size()) + " /Root "
        + ref(CatalogObject) + " /Info " + ref(info) + " /ID [" + id + ' ' + id
        + "] >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
    flush();
}

}
