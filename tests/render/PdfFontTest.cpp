#include "render/PdfFont.h"
#include "render/PdfFontFile.h"
#include "render/PdfPreparedPage.h"
#include "render/PdfWriter.h"
#include "shell/Deflate.h"
#include "tests/support/PdfCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QPainterPath>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <fontconfig/fontconfig.h>
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

namespace {

// A page written straight through the writer with one CFF font: viewers find the font program,
// draw the glyph and give its text back.
TEST(PdfFont, ACffFontEmbedsAsOpenTypeThatViewersRead)
{
    const QRawFont raw(
        QStringLiteral("/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf"), 40);
    const auto font = PdfFont::fromRawFont(raw);
    ASSERT_NE(font, nullptr);
    const QList<quint32> ids = raw.glyphIndexesForString(QStringLiteral("Hi"));
    ASSERT_EQ(ids.size(), 2);
    PdfPreparedPage page;
    page.widthPoints = 200;
    page.heightPoints = 100;
    const QByteArray content = "BT /F0 40 Tf 1 0 0 1 20 40 Tm [<"
        + QByteArray::number(ids[0] + 0x10000, 16).mid(1)
        + QByteArray::number(ids[1] + 0x10000, 16).mid(1) + ">] TJ ET";
    page.content = vorlix::shell::Deflate::compress(content);
    page.fonts.push_back(
        { font, { { ids[0], QStringLiteral("H") }, { ids[1], QStringLiteral("i") } } });
    QTemporaryDir dir;
    const QString path = dir.filePath("cff.pdf");
    PdfWriter writer(path);
    ASSERT_TRUE(writer.open());
    EXPECT_TRUE(writer.writePage(page));
    EXPECT_TRUE(writer.finish(QStringLiteral("cff")));
    vorlix::test::PdfCheck::expectSound(path);
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), { path });
    ASSERT_TRUE(fonts.waitForFinished(30000));
    const QString listing = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_TRUE(QRegularExpression(
        "[A-Z]{6}\\+NimbusSans-Regular\\s+CID Type 0C \\(OT\\)\\s+Identity-H\\s+yes\\s+yes\\s+yes")
                    .match(listing)
                    .hasMatch())
        << listing.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), { path, QStringLiteral("-") });
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(text.readAllStandardOutput()).trimmed(), QStringLiteral("Hi"));
    EXPECT_TRUE(text.readAllStandardError().isEmpty());
}

}

namespace {

// A font whose program cannot be had when the document is finished (here its file went after
// the pages were drawn) fails the document and names the font, instead of embedding a font
// without glyphs that shows no text.
TEST(PdfFont, AFontThatCannotBeSubsetFailsTheDocument)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath("gothic-copy.ttf");
    {
        QFile file(copy);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(unknownCopy(fileBytes(Gothic)));
    }
    // The copy is an installed font for this process, so the writer reads it from its file.
    ASSERT_TRUE(FcConfigAppFontAddFile(
        nullptr, reinterpret_cast<const FcChar8*>(QFile::encodeName(copy).constData())));
    const QRawFont raw(copy, 40);
    const auto font = PdfFont::fromRawFont(raw);
    ASSERT_NE(font, nullptr);
    const QList<quint32> ids = raw.glyphIndexesForString(QStringLiteral("漢"));
    ASSERT_EQ(ids.size(), 1);
    ASSERT_FALSE(font->subset({ 0, ids[0] }).isEmpty());
    PdfPreparedPage page;
    page.widthPoints = 200;
    page.heightPoints = 100;
    page.content = vorlix::shell::Deflate::compress(
        "BT /F0 40 Tf 20 40 Td <" + QByteArray::number(ids[0] + 0x10000, 16).mid(1) + "> Tj ET");
    page.fonts.push_back({ font, { { ids[0], QStringLiteral("漢") } } });
    PdfWriter writer(dir.filePath("gone.pdf"));
    ASSERT_TRUE(writer.open());
    EXPECT_TRUE(writer.writePage(page));
    ASSERT_TRUE(QFile::remove(copy));
    EXPECT_FALSE(writer.finish(QStringLiteral("gone")));
    EXPECT_EQ(writer.errorString(), QStringLiteral("IPAGothic: フォントを埋め込めません"));
}

}
