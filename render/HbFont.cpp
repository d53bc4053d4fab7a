#include "render/HbFont.h"

#include <QByteArray>
#include <QHash>
#include <hb-ot.h>
#include <hb.h>

namespace vorlix::render {

namespace {

    // Fonts kept per thread; a document that keeps meeting new files starts over.
    constexpr qsizetype MaxFonts = 64;

    void releaseTable(void* table)
    {
        const std::unique_ptr<QByteArray> owned(static_cast<QByteArray*>(table));
    }

    // HarfBuzz asks for the tables it needs, each once; the bytes live as long as its blob.
    hb_blob_t* referenceTable(hb_face_t*, hb_tag_t tag, void* data)
    {
        const char name[] = { char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag), '\0' };
        auto table = std::make_unique<QByteArray>(static_cast<QRawFont*>(data)->fontTable(name));
        if (table->isEmpty())
            return nullptr;
        const auto length = static_cast<unsigned>(table->size());
        const char* bytes = table->constData();
        return hb_blob_create(
            bytes, length, HB_MEMORY_MODE_READONLY, table.release(), releaseTable);
    }

    // The same file whatever size or style the raw font was asked in.
    QString keyOf(const QRawFont& font)
    {
        return font.familyName() + u'\n' + font.styleName() + u'\n'
            + QString::fromLatin1(font.fontTable("head").toHex());
    }

}

void HbFont::Free::operator()(hb_face_t* face) const
{
    hb_face_destroy(face);
}

void HbFont::Free::operator()(hb_font_t* font) const
{
    hb_font_destroy(font);
}

HbFont::HbFont(const QRawFont& font)
    : m_raw(font)
    , m_face(hb_face_create_for_tables(referenceTable, &m_raw, nullptr))
{
    m_unitsPerEm = static_cast<int>(hb_face_get_upem(m_face.get()));
    m_font.reset(hb_font_create(m_face.get()));
    hb_tag_t tags[64];
    for (unsigned start = 0;;) {
        unsigned count = 64;
        hb_ot_layout_table_get_feature_tags(m_face.get(), HB_OT_TAG_GSUB, start, &count, tags);
        for (unsigned i = 0; i < count; ++i)
            m_verticalAlternates = m_verticalAlternates || tags[i] == HB_TAG('v', 'r', 't', '2');
        if (count < 64)
            break;
        start += count;
    }
}

HbFont::~HbFont() = default;

std::shared_ptr<const HbFont> HbFont::of(const QRawFont& font)
{
    thread_local QHash<QString, std::shared_ptr<const HbFont>> fonts;
    const QString key = keyOf(font);
    const auto found = fonts.constFind(key);
    if (found != fonts.constEnd())
        return *found;
    if (fonts.size() >= MaxFonts)
        fonts.clear();
    return *fonts.insert(key, std::make_shared<const HbFont>(font));
}

}
