#include "RenderTestSupport.h"

#include "render/FileSink.h"
#include "render/QtFontCache.h"
#include "render/QtTextMetrics.h"
#include "render/VerticalLayout.h"
#include "tests/support/PdfCheck.h"

#include <QPainter>
#include <QProcess>
#include <QRawFont>
#include <QTemporaryDir>
#include <QtEndian>

using namespace vorlix;
using namespace vorlix::render;

namespace {

const QString line = QStringLiteral("東京都千代田区一丁目「二」ー");

LogFont font(const QString& face, int height, int escapement)
{
    LogFont f;
    f.lfFaceName = face;
    f.lfHeight = height;
    f.lfEscapement = escapement;
    f.lfOrientation = escapement;
    return f;
}

// Text drawn on a page of installed fonts at 254 dpi, where a device unit is a pixel of the
// picture: 400 x 1000 pixels, white, ink black.
class Drawing {
public:
    Drawing()
        : m_device(std::make_shared<QtTextMetrics>(), 254, { 0, 0, 4000, 10000 }, { 400, 1000 })
    {
    }
    Drawing& text(const LogFont& f, int x, int y, const QString& text)
    {
        m_device.selectFont(f);
        m_device.textOut(x, y, text);
        return *this;
    }
    [[nodiscard]] int advance(const LogFont& f, const QString& text)
    {
        m_device.selectFont(f);
        return m_device.textExtent(text).width();
    }
    // The page drawn so far; the next text starts a new one.
    [[nodiscard]] QImage picture()
    {
        QImage image(400, 1000, QImage::Format_Grayscale8);
        image.fill(Qt::white);
        QPainter painter(&image);
        m_device.take().play(painter, QRectF(0, 0, 400, 1000));
        m_device.begin(254, { 0, 0, 4000, 10000 }, { 400, 1000 });
        return image;
    }

private:
    PageRecorder m_device;
};

// The box around the ink of a part of a picture.
QRect inkBox(const QImage& picture, const QRect& part)
{
    QRect ink;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            if (qGray(picture.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

// How many inked pixels of either picture have no ink near them in the other (a pixel either
// way: anti-aliasing moves edges that far); -1 when their sizes differ by more than a tenth (or
// two pixels: a vertical form may draw a stroke a little bolder).
qsizetype differing(const QImage& a, const QImage& b)
{
    const auto near
        = [](int x, int y) { return std::abs(x - y) > std::max(2, std::max(x, y) / 10); };
    if (near(a.width(), b.width()) || near(a.height(), b.height()))
        return -1;
    const auto inked = [](const QImage& image, int x, int y) {
        return image.rect().contains(x, y) && qGray(image.pixel(x, y)) < 128;
    };
    const auto strays = [&](const QImage& from, const QImage& to) {
        qsizetype count = 0;
        for (int y = 0; y < from.height(); ++y) {
            for (int x = 0; x < from.width(); ++x) {
                bool found = false;
                for (int dy = -1; dy <= 1 && !found; ++dy) {
                    for (int dx = -1; dx <= 1 && !found; ++dx)
                        found = inked(to, x + dx, y + dy);
                }
                count += inked(from, x, y) && !found ? 1 : 0;
            }
        }
        return count;
    };
    return strays(a, b) + strays(b, a);
}

// The line runs down the page from the top of its first cell, on the line's right side: each
// ideograph stands there as the same glyph drawn upright in the column; brackets and the long
// vowel mark take their vertical forms, which are the horizontal glyphs turned a quarter; half-
// width characters lie exactly as the face without "@" turned draws them.
TEST(VerticalFace, UprightGlyphsStandInTheColumnAndTheOthersAreTurned)
{
    const LogFont vertical = font("@ＭＳ 明朝", 60, 2700);
    const LogFont upright = font("ＭＳ 明朝", 60, 0);
    const LogFont turned = font("ＭＳ 明朝", 60, 2700);
    const int right = 300;
    const int top = 20;
    Drawing drawing;
    const QImage column = drawing.text(vertical, right, top, line).picture();
    // The column is one cell (60) across; an upright glyph one em wide stands in its middle.
    const int across = 60;
    const int em = drawing.advance(upright, QStringLiteral("東"));
    const int left = right - across / 2 - em / 2;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QString c = line.mid(i, 1);
        SCOPED_TRACE(c.toStdString());
        const int y = top + drawing.advance(vertical, line.left(i));
        const QRect place(right - across, y, across, drawing.advance(vertical, c));
        const QRect ink = inkBox(column, place);
        const bool turnedForm = QStringLiteral("「」ー").contains(c);
        const QImage alone = turnedForm ? drawing.text(turned, right, y, c).picture()
                                        : drawing.text(upright, left, y, c).picture();
        const QRect expected = inkBox(alone, place);
        if (!turnedForm) {
            EXPECT_LE((ink.topLeft() - expected.topLeft()).manhattanLength(), 2) << "moved";
        }
        const qsizetype apart = differing(column.copy(ink), alone.copy(expected));
        EXPECT_GE(apart, 0) << "not the same glyph";
        // The long vowel mark's vertical form is a bar of the turned one's size, drawn bolder
        // and with other ends.
        if (c != u"ー") {
            EXPECT_LE(apart, ink.width() * ink.height() / 50);
        }
    }
    const QString latin = QStringLiteral("Vorlix 2026");
    EXPECT_EQ(drawing.text(vertical, right, top, latin).picture(),
        drawing.text(turned, right, top, latin).picture());
}

// The advance of an upright glyph, in pixels, as the font's vertical metrics give it.
double verticalAdvance(const QRawFont& raw, quint32 glyph)
{
    const QByteArray vhea = raw.fontTable("vhea");
    const QByteArray vmtx = raw.fontTable("vmtx");
    const int longMetrics = qFromBigEndian<quint16>(vhea.constData() + 34);
    const qsizetype at = 4 * std::min<qsizetype>(glyph, longMetrics - 1);
    return qFromBigEndian<quint16>(vmtx.constData() + at) * raw.pixelSize() / raw.unitsPerEm();
}

TEST(VerticalFace, EachUprightGlyphAdvancesByItsVerticalAdvance)
{
    const QFont face = QtFontCache::shared().get(font("@ＭＳ 明朝", 53, 2700)).font;
    double whole = 0.0;
    for (const QChar c : line) {
        SCOPED_TRACE(QString(c).toStdString());
        const VerticalLayout layout = VerticalLayout::layOut(face, QString(c));
        ASSERT_EQ(layout.runs.size(), 1u);
        ASSERT_TRUE(layout.runs[0].upright);
        const QGlyphRun& glyphs = layout.runs[0].glyphs;
        const double expected = verticalAdvance(glyphs.rawFont(), glyphs.glyphIndexes().at(0));
        EXPECT_NEAR(layout.advance, expected, 1.0 / 64);
        whole += layout.advance;
    }
    EXPECT_EQ(VerticalLayout::measure(face, line), whole);
}

// An A4 page of the surface bound to the sink at dpi, with font 1 the face written down the page.
void startVertical(EMF& emf, PageOutput& sink, int dpi, QString face, double size)
{
    emf.SetObject(sink, 0, dpi, 1.0, 2100, 2970, 0, 0);
    emf.Start();
    emf.setFontType(1, face, size, 0, 270);
}

// On a surface of installed fonts: a wrapped vertical line breaks at the width measured down the
// page and the next line stands to the left; mark-up raises a superscript across the line.
TEST(VerticalFace, WrapsDownThePageAndMarksUpAcrossTheLine)
{
    PageCollector sink;
    EMF emf(std::make_shared<QtTextMetrics>());
    startVertical(emf, sink, 254, QStringLiteral("@ＭＳ 明朝"), 9);
    QString text = line;
    // 9 points are an em of 32 pixels: six fit 200; the lines stand rnd(35 x 1.1) apart, 35
    // being the cell's height.
    emf.XY(1000, 100);
    emf.LPK(text, 200);
    QString formula = QStringLiteral("x^2");
    emf.XY(500, 100);
    emf.PrintLn(formula, 0);
    const auto* device = dynamic_cast<PageRecorder*>(emf.hDC());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(test::dumpLines(device->record()).filter("textOut"),
        (QStringList { "textOut 1000 100 \"東京都千代田\"", "textOut 962 100 \"区一丁目「二\"",
            "textOut 924 100 \"」ー\"", "textOut 500 100 \"x\"", "textOut 508 116 \"2\"" }));
}

// Our own PDF keeps vertical text in reading order, upright and mixed lines alike.
TEST(VerticalFace, PdfTextReadsInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vertical.pdf");
    FileSink pdf(FileSink::Format::Pdf, path);
    EMF emf(std::make_shared<QtTextMetrics>());
    startVertical(emf, pdf, 400, QStringLiteral("@ＭＳ ゴシック"), 14);
    QString first = line;
    QString second = QStringLiteral("二番地 3 号 ABC ビル");
    emf.XY(1500, 200);
    emf.LPK(first, 0);
    emf.XY(1000, 200);
    emf.LPK(second, 0);
    emf.NewPage();
    emf.EndDoc();
    ASSERT_TRUE(pdf.finish());
    vorlix::test::PdfCheck::expectSound(path);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { path, QStringLiteral("-") });
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QStringList lines
        = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.mid(0, 2), (QStringList { line, QStringLiteral("二番地 3 号 ABC ビル") }));
}

}
