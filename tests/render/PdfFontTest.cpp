#include "render/PdfFont.h"
#include "render/PdfFontFile.h"

#include <QFile>
#include <QFileInfo>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vorlix::render;

namespace {

const QString Gothic = QStringLiteral("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The font file with its head table's modification date changed: the same outlines under an
// identity no installed file has.
QByteArray unknownCopy(QByteArray font)
{
    const int tables = qFromBigEndian<quint16>(font.constData() + 4);
    for (int i = 0; i < tables; ++i) {
        const char* record = font.constData() + 12 + 16 * i;
        if (QByteArray(record, 4) == "head") {
            const quint32 at = qFromBigEndian<quint32>(record + 8);
            font[at + 35] = static_cast<char>(font[at + 35] ^ 0x5a);
        }
    }
    return font;
}

// The number of glyph ids a font program has.
int glyphCountOf(const QByteArray& program)
{
    QRawFont font(program, 12);
    return font.isValid()
        ? static_cast<int>(qFromBigEndian<quint16>(font.fontTable("maxp").constData() + 4))
        : -1;
}

TEST(PdfFontFile, FindsTheInstalledFileByItsHeadTable)
{
    const QRawFont raw(Gothic, 40);
    ASSERT_TRUE(raw.isValid());
    const auto location = PdfFontFile::locate(raw.familyName(), raw.fontTable("head"));
    ASSERT_TRUE(location.has_value());
    EXPECT_EQ(PdfFontFile::headOf(location->path, location->index), raw.fontTable("head"));
    EXPECT_EQ(location->index, 0);
    // Another face of the family, or a file whose head differs, is not the font.
    EXPECT_FALSE(PdfFontFile::locate(raw.familyName(), unknownCopy(fileBytes(Gothic)).mid(0, 54)));
    EXPECT_TRUE(PdfFontFile::headOf(Gothic, 1).isEmpty());
    EXPECT_TRUE(PdfFontFile::headOf(QStringLiteral("/nonexistent.ttf"), 0).isEmpty());
}

TEST(PdfFont, SubsetsKeepGlyphIdsWhetherTheFileIsKnownOrNot)
{
    const QByteArray original = fileBytes(Gothic);
    ASSERT_FALSE(original.isEmpty());
    const QRawFont installed(Gothic, 40);
    const QRawFont unknown(unknownCopy(original), 40);
    ASSERT_TRUE(unknown.isValid());
    const int glyphs = glyphCountOf(original);
    for (const QRawFont* raw : { &installed, &unknown }) {
        const auto font = PdfFont::fromRawFont(*raw);
        ASSERT_NE(font, nullptr);
        EXPECT_FALSE(font->isCff());
        EXPECT_EQ(font->postScriptName(), "IPAGothic");
        // A full-width character is one em, a half-width one half of it.
        const QList<quint32> ids = raw->glyphIndexesForString(QStringLiteral("漢A"));
        ASSERT_EQ(ids.size(), 2);
        EXPECT_EQ(font->width(ids[0]), 1000);
        EXPECT_EQ(font->width(ids[1]), 500);
        const QByteArray program = font->subset({ 0, ids[0], ids[1] });
        ASSERT_FALSE(program.isEmpty());
        EXPECT_LT(program.size(), original.size() / 10);
        // Ids are kept: the subset runs up to the highest id used, within the font's own.
        const quint32 highest = std::max(ids[0], ids[1]);
        EXPECT_EQ(glyphCountOf(program), static_cast<int>(highest) + 1);
        EXPECT_LT(static_cast<int>(highest), glyphs);
        const QRawFont subset(program, 40);
        EXPECT_FALSE(subset.pathForGlyph(ids[0]).isEmpty());
        // A glyph left out has no outline.
        EXPECT_FALSE(QRawFont(original, 40).pathForGlyph(highest - 1).isEmpty());
        EXPECT_TRUE(subset.pathForGlyph(highest - 1).isEmpty());
    }
    EXPECT_EQ(PdfFont::keyOf(installed), PdfFont::keyOf(QRawFont(Gothic, 12)));
    EXPECT_NE(PdfFont::keyOf(installed), PdfFont::keyOf(unknown));
}

}

namespace {

TEST(PdfFont, CffOutlinesAreSubsetInTheirOpenTypeForm)
{
    const QString path
        = QStringLiteral("/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf");
    const QRawFont raw(path, 40);
    ASSERT_TRUE(raw.isValid());
    const auto font = PdfFont::fromRawFont(raw);
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->isCff());
    EXPECT_EQ(font->postScriptName(), "NimbusSans-Regular");
    const QList<quint32> ids = raw.glyphIndexesForString(QStringLiteral("AB"));
    ASSERT_EQ(ids.size(), 2);
    const QByteArray program = font->subset({ 0, ids[0] });
    ASSERT_GT(program.size(), 4);
    EXPECT_EQ(program.left(4), "OTTO");
    const QRawFont subset(program, 40);
    EXPECT_FALSE(subset.pathForGlyph(ids[0]).isEmpty());
    EXPECT_TRUE(subset.pathForGlyph(ids[1]).isEmpty());
}

}
