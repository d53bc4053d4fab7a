#include "render/PdfFont.h"

#include "render/HbFont.h"
#include "render/PdfFontFile.h"

#include <QFile>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <hb-subset.h>
#include <hb.h>

namespace vorlix::render {

namespace {

    // The tables a PDF font program needs, in tag order: no layout tables (the glyphs are
    // shaped already), no hinting (viewers scale outlines), no character map (glyphs are
    // named by id). Metrics come from the others when the font is read.
    constexpr const char* EmbeddedTables[]
        = { "CFF ", "OS/2", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "post" };

    std::uint32_t tagOf(const char* name)
    {
        return (std::uint32_t(std::uint8_t(name[0])) << 24)
            | (std::uint32_t(std::uint8_t(name[1])) << 16)
            | (std::uint32_t(std::uint8_t(name[2])) << 8) | std::uint32_t(std::uint8_t(name[3]));
    }

    // Big-endian reads that give 0 past the end of a table, so a short table cannot be overread.
    std::uint16_t u16(const QByteArray& table, qsizetype at)
    {
        if (at < 0 || at + 2 > table.size())
            return 0;
        return qFromBigEndian<std::uint16_t>(table.constData() + at);
    }
    std::int16_t s16(const QByteArray& table, qsizetype at)
    {
        return static_cast<std::int16_t>(u16(table, at));
    }
    std::uint32_t u32(const QByteArray& table, qsizetype at)
    {
        if (at < 0 || at + 4 > table.size())
            return 0;
        return qFromBigEndian<std::uint32_t>(table.constData() + at);
    }

    std::uint32_t checksum(const QByteArray& data)
    {
        std::uint32_t sum = 0;
        for (qsizetype at = 0; at < data.size(); at += 4) {
            std::uint32_t word = 0;
            for (int i = 0; i < 4; ++i)
                word = (word << 8) | (at + i < data.size() ? std::uint8_t(data[at + i]) : 0);
            sum += word;
        }
        return sum;
    }

    void putU16(QByteArray& out, std::uint32_t value)
    {
        out.append(char((value >> 8) & 0xff)).append(char(value & 0xff));
    }
    void putU32(QByteArray& out, std::uint32_t value)
    {
        putU16(out, value >> 16);
        putU16(out, value & 0xffff);
    }

    // A font file made again from its tables (the subsetter reads a table directory).
    QByteArray buildSfnt(const std::vector<std::pair<std::uint32_t, QByteArray>>& tables, bool cff)
    {
        const auto count = static_cast<std::uint32_t>(tables.size());
        std::uint32_t power = 1;
        std::uint32_t log2 = 0;
        while (power * 2 <= count) {
            power *= 2;
            ++log2;
        }
        QByteArray out;
        putU32(out, cff ? 0x4F54544F : 0x00010000);
        putU16(out, count);
        putU16(out, power * 16);
        putU16(out, log2);
        putU16(out, count * 16 - power * 16);
        std::uint32_t offset = 12 + 16 * count;
        for (const auto& [tag, data] : tables) {
            putU32(out, tag);
            putU32(out, checksum(data));
            putU32(out, offset);
            putU32(out, static_cast<std::uint32_t>(data.size()));
            offset += (static_cast<std::uint32_t>(data.size()) + 3) & ~3u;
        }
        for (const auto& table : tables) {
            out.append(table.second);
            while (out.size() % 4)
                out.append('\0');
        }
        return out;
    }

    // The PostScript name (name id 6) of the font, letters and digits only.
    QByteArray postScriptNameOf(const QByteArray& name, const QString& family)
    {
        const int count = u16(name, 2);
        const int strings = u16(name, 4);
        for (int i = 0; i < count; ++i) {
            const qsizetype record = 6 + 12 * i;
            if (u16(name, record + 6) != 6)
                continue;
            const int platform = u16(name, record);
            const qsizetype at = strings + u16(name, record + 10);
            const int length = u16(name, record + 8);
            if (at + length > name.size())
                continue;
            QByteArray raw = name.mid(at, length);
            QByteArray ascii;
            for (qsizetype c = (platform == 3 || platform == 0) ? 1 : 0; c < raw.size();
                 c += (platform == 3 || platform == 0) ? 2 : 1)
                ascii.append(raw[c]);
            if (!ascii.isEmpty())
                return ascii;
        }
        return family.toLatin1();
    }

    QByteArray nameSafe(const QByteArray& name)
    {
        QByteArray safe;
        for (const char c : name) {
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                || c == '-' || c == '_')
                safe.append(c);
        }
        return safe.isEmpty() ? QByteArray("Font") : safe;
    }

    std::vector<std::pair<std::uint32_t, QByteArray>> tablesOf(const QRawFont& font)
    {
        std::vector<std::pair<std::uint32_t, QByteArray>> tables;
        for (const char* name : EmbeddedTables) {
            QByteArray data = font.fontTable(name);
            if (!data.isEmpty())
                tables.emplace_back(tagOf(name), std::move(data));
        }
        return tables;
    }

    struct BlobFree {
        void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
        void operator()(hb_face_t* face) const { hb_face_destroy(face); }
        void operator()(hb_subset_input_t* input) const { hb_subset_input_destroy(input); }
    };

}

// The family as it was asked for may differ in case, and the style name of a bold drawn from the
// regular file says bold: the family in lower case and the head table (checksum, dates)
// tell the files apart.
QString PdfFont::keyOf(const QRawFont& font, bool vertical)
{
    return font.familyName().toLower() + u'\n' + QString::fromLatin1(font.fontTable("head").toHex())
        + (vertical ? QStringLiteral("\nvertical") : QString());
}

std::shared_ptr<const PdfFont> PdfFont::fromRawFont(const QRawFont& font, bool vertical)
{
    if (!font.isValid())
        return nullptr;
    auto made = std::make_shared<PdfFont>();
    const QByteArray maxp = font.fontTable("maxp");
    // Version 0.5 of maxp goes with CFF outlines.
    made->m_cff = u32(maxp, 0) == 0x00005000;
    if (font.fontTable("head").isEmpty() || font.fontTable("hhea").isEmpty() || maxp.isEmpty()
        || (!made->m_cff && font.fontTable("loca").isEmpty()))
        return nullptr;
    // The outlines stay on disk when the file is known; otherwise they are kept from the font.
    if (auto location = PdfFontFile::locate(font.familyName(), font.fontTable("head")))
        made->m_location = std::move(*location);
    else
        made->m_tables = tablesOf(font);
    made->m_key = keyOf(font, vertical);
    made->readMetrics(font);
    if (vertical)
        made->readVerticalMetrics(font);
    return made;
}

void PdfFont::readMetrics(const QRawFont& font)
{
    const QByteArray head = font.fontTable("head");
    const QByteArray hhea = font.fontTable("hhea");
    const QByteArray hmtx = font.fontTable("hmtx");
    const QByteArray maxp = font.fontTable("maxp");
    const QByteArray os2 = font.fontTable("OS/2");
    const QByteArray post = font.fontTable("post");
    m_unitsPerEm = std::max<int>(u16(head, 18), 16);
    m_bbox = { toThousandths(s16(head, 36)), toThousandths(s16(head, 38)),
        toThousandths(s16(head, 40)), toThousandths(s16(head, 42)) };
    m_italic = (u16(head, 44) & 2) != 0;
    m_ascent = toThousandths(s16(hhea, 4));
    m_descent = toThousandths(s16(hhea, 6));
    const int glyphs = u16(maxp, 4);
    const int metrics = std::clamp<int>(u16(hhea, 34), 1, std::max(glyphs, 1));
    m_advances.resize(static_cast<std::size_t>(std::max(glyphs, metrics)));
    for (int i = 0; i < static_cast<int>(m_advances.size()); ++i)
        m_advances[static_cast<std::size_t>(i)] = u16(hmtx, 4 * std::min(i, metrics - 1));
    if (!os2.isEmpty()) {
        m_weightClass = u16(os2, 4);
        if (u16(os2, 0) >= 2)
            m_capHeight = toThousandths(s16(os2, 88));
        else
            m_capHeight = m_ascent;
    }
    m_italicAngle = static_cast<std::int32_t>(u32(post, 4)) / 65536.0;
    m_postScriptName = nameSafe(postScriptNameOf(font.fontTable("name"), font.familyName()));
}

// Read for every glyph while the raw font is at hand: the document is written later, on another
// thread. HarfBuzz gives the metrics the layout used (vmtx and VORG, or the glyph's extents).
void PdfFont::readVerticalMetrics(const QRawFont& font)
{
    m_vertical = true;
    const std::shared_ptr<const HbFont> hb = HbFont::of(font);
    m_verticalMetrics.resize(m_advances.size());
    for (std::size_t glyph = 0; glyph < m_verticalMetrics.size(); ++glyph) {
        const auto id = static_cast<hb_codepoint_t>(glyph);
        hb_position_t x = 0;
        hb_position_t y = 0;
        hb_font_get_glyph_v_origin(hb->font(), id, &x, &y);
        m_verticalMetrics[glyph] = { toThousandths(hb_font_get_glyph_v_advance(hb->font(), id)),
            toThousandths(x), toThousandths(y) };
    }
}

PdfFont::VerticalMetrics PdfFont::verticalMetrics(std::uint32_t glyph) const
{
    if (glyph >= m_verticalMetrics.size())
        return {};
    return m_verticalMetrics[glyph];
}

int PdfFont::toThousandths(int units) const
{
    return static_cast<int>(std::lround(units * 1000.0 / m_unitsPerEm));
}

int PdfFont::width(std::uint32_t glyph) const
{
    if (m_advances.empty())
        return 0;
    return toThousandths(m_advances[std::min<std::size_t>(glyph, m_advances.size() - 1)]);
}

QByteArray PdfFont::subset(const std::vector<std::uint32_t>& glyphs) const
{
    // The file is read (mapped) again, or made whole from the kept tables, only now.
    QByteArray sfnt;
    std::unique_ptr<hb_blob_t, BlobFree> blob;
    if (!m_location.path.isEmpty()) {
        blob.reset(hb_blob_create_from_file(QFile::encodeName(m_location.path).constData()));
    } else {
        sfnt = buildSfnt(m_tables, m_cff);
        blob.reset(hb_blob_create(sfnt.constData(), static_cast<unsigned>(sfnt.size()),
            HB_MEMORY_MODE_READONLY, nullptr, nullptr));
    }
    const std::unique_ptr<hb_face_t, BlobFree> face(
        hb_face_create(blob.get(), static_cast<unsigned>(m_location.index)));
    // A file gone or changed since the pages were drawn gives no glyphs; the subsetter would
    // still make an (empty) font of it.
    if (hb_face_get_glyph_count(face.get()) == 0)
        return {};
    const std::unique_ptr<hb_subset_input_t, BlobFree> input(hb_subset_input_create_or_fail());
    if (!input)
        return {};
    // Only what a PDF viewer draws with: no layout, vertical or bitmap tables.
    hb_set_t* dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* name : { "GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "vhea", "vmtx",
             "VORG", "EBDT", "EBLC", "EBSC", "CBDT", "CBLC", "sbix", "DSIG", "kern", "morx" })
        hb_set_add(dropped, tagOf(name));
    hb_set_t* glyphSet = hb_subset_input_glyph_set(input.get());
    for (const std::uint32_t glyph : glyphs)
        hb_set_add(glyphSet, glyph);
    // Ids kept: the pages already name glyphs by them. Hinting goes, viewers scale outlines.
    hb_subset_input_set_flags(input.get(),
        HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    const std::unique_ptr<hb_face_t, BlobFree> result(hb_subset_or_fail(face.get(), input.get()));
    if (!result)
        return {};
    const std::unique_ptr<hb_blob_t, BlobFree> out(hb_face_reference_blob(result.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(out.get(), &length);
    return QByteArray(data, static_cast<qsizetype>(length));
}

}
