#include "RenderTestSupport.h"

#include "render/FileSink.h"
#include "render/PageRecord.h"
#include "tests/support/PdfCheck.h"
#include "tests/support/PdfPixels.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <unistd.h>

using namespace vorlix::render;
using vorlix::test::PdfCheck;
using vorlix::test::PdfPixels;

namespace {

constexpr int Dpi = 400;
const DeviceRect A4 { 0, 0, 21000, 29700 };
const QSize A4Device(3307, 4677);
const QRect A4Target(QPoint(0, 0), A4Device);

// Runs a poppler tool on a PDF, checked strictly first.
QString tool(const QString& name, const QStringList& arguments)
{
    PdfCheck::expectSound(arguments.first());
    QProcess process;
    process.start(name, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << name.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

LogFont font(const QString& face, int height, int weight = 400, int escapement = 0)
{
    LogFont f;
    f.lfFaceName = face;
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfEscapement = escapement;
    return f;
}

// A small picture with a transparent corner and an asymmetric mark, so that mirroring shows.
QImage picture()
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(QColor(20, 60, 200));
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(0, 0, 10, 10), Qt::transparent);
    painter.fillRect(QRect(30, 12, 8, 6), Qt::red);
    return image;
}

// One page of everything a page record draws: text upright, turned, bold, slanted, narrowed and
// underlined; styled and wide pens; filled shapes; arcs; clips; plain and mirrored pictures.
PageRecord everything(int shiftText = 0)
{
    PageRecord page(Dpi, A4, A4Device);
    using Op = PageRecord::Op;
    const QString gothic = QStringLiteral("ＭＳ ゴシック");
    page.append(Op::SelectFont, font(gothic, 80));
    page.append(Op::TextOut, 200 + shiftText, 200, QStringLiteral("請求書 Invoice 123"));
    page.append(Op::SelectFont, font(gothic, 80, 700));
    page.append(Op::TextOut, 200, 350, QStringLiteral("太字 Bold"));
    LogFont slanted = font(QStringLiteral("ＭＳ 明朝"), 80);
    slanted.lfItalic = true;
    slanted.lfUnderline = true;
    slanted.lfStrikeOut = true;
    page.append(Op::SelectFont, slanted);
    page.append(Op::TextOut, 200, 500, QStringLiteral("斜体と下線 italic"));
    LogFont narrow = font(gothic, 80);
    narrow.lfWidth = 25;
    page.append(Op::SelectFont, narrow);
    page.append(Op::TextOut, 200, 650, QStringLiteral("長体の文字 narrow"));
    page.append(Op::SelectFont, font(gothic, 80, 400, 900));
    page.append(Op::TextOut, 2600, 1400, QStringLiteral("縦に回転"));
    page.append(Op::SelectFont, font(gothic, 60, 700, 300));
    page.append(Op::TextOut, 1500, 1400, QStringLiteral("斜め 30°"));
    page.append(Op::InitialFont);
    page.append(Op::TextOut, 200, 800, QStringLiteral("初期フォント"));
    int y = 1000;
    for (int style = 0; style <= 6; ++style, y += 60) {
        page.append(Op::SelectPen, PenDesc { style, style == 6 ? 9 : 2, rgb(0, 0, 160) });
        page.append(Op::MoveTo, 200, y);
        page.append(Op::LineTo, 1200, y);
    }
    page.append(Op::SelectPen, PenDesc { 0, 12, rgb(200, 0, 0) });
    page.append(Op::MoveTo, 200, 1500);
    page.append(Op::LineTo, 900, 1900);
    page.append(Op::SelectBrush, BrushDesc { false, rgb(220, 220, 0) });
    page.append(Op::Rectangle, 200, 2000, 700, 2300);
    page.append(Op::Ellipse, 800, 2000, 1400, 2300);
    page.append(Op::SelectBrush, BrushDesc { true, 0 });
    page.append(Op::Rectangle, 1500, 2000, 2000, 2300);
    page.append(Op::InitialPen);
    page.append(Op::Arc, 200, 2400, 800, 2800, 800, 2600, 500, 2400);
    page.append(Op::SelectPen, PenDesc { 1, 4, 0 });
    page.append(Op::Arc, 900, 2400, 1500, 2800, 900, 2600, 1500, 2600);
    page.append(Op::FillRect, 1600, 2400, 2000, 2500, rgb(0, 160, 0));
    page.append(Op::SetClip, DeviceRect { 2100, 2500, 2400, 2000 });
    page.append(Op::SelectPen, PenDesc { 0, 30, rgb(0, 0, 0) });
    page.append(Op::MoveTo, 2000, 2000);
    page.append(Op::LineTo, 2600, 2600);
    page.append(Op::ClearClip);
    page.append(Op::SetClip, DeviceRect { 0, 0, 0, 0 });
    page.append(Op::FillRect, 0, 0, 3000, 3000, rgb(255, 0, 0));
    page.append(Op::ClearClip);
    const QImage image = picture();
    page.append(Op::StretchImage, 200, 3000, 800, 400, image, 40, 20);
    page.append(Op::StretchImage, 1900, 3000, -800, 400, image, 40, 20);
    page.append(Op::StretchImage, 2000, 3800, 800, -400, image, 30, 20);
    // Bars of a fifth of a device unit more than five, exactly where they fall.
    auto bars = std::make_shared<std::vector<QRectF>>();
    for (int i = 0; i < 40; i += 3)
        bars->emplace_back(i, 0, 1 + i % 2, 60);
    page.append(Op::FillBars,
        BarPattern { QPointF(2200, 3000.4), 5.2, 5.2, false, rgb(0, 0, 0), std::move(bars) });
    return page;
}

QString exportPages(
    const QString& path, FileSink::PdfEngine engine, const std::vector<PageRecord>& pages)
{
    FileSink sink(FileSink::Format::Pdf, path, engine);
    sink.begin(QStringLiteral("試験 document"));
    for (const PageRecord& page : pages)
        EXPECT_TRUE(sink.write(page, A4Target));
    EXPECT_TRUE(sink.finish());
    return path;
}

long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

TEST(PdfWriter, DrawsEveryOperationAsQtsEngineDoes)
{
    QTemporaryDir dir;

    const auto own = PdfPixels::render(
        exportPages(dir.filePath("own.pdf"), FileSink::PdfEngine::Own, { everything() }), 100);
    const auto qt = PdfPixels::render(
        exportPages(dir.filePath("qt.pdf"), FileSink::PdfEngine::Qt, { everything() }), 100);
    ASSERT_EQ(own.size(), 1);
    ASSERT_EQ(qt.size(), 1);
    const PdfPixels::Difference difference = PdfPixels::compare(own[0], qt[0]);
    EXPECT_TRUE(PdfPixels::matches(difference))
        << difference.differing << " of " << difference.ink << " differ";
    EXPECT_GT(difference.ink, 20000);
}

TEST(PdfWriter, AWordMovedByAFifthOfAMillimetreIsCaught)
{
    // 3 device units at 400 dpi are 0.19 mm.
    QTemporaryDir dir;
    const auto moved = PdfPixels::render(
        exportPages(dir.filePath("own.pdf"), FileSink::PdfEngine::Own, { everything(3) }), 100);
    const auto qt = PdfPixels::render(
        exportPages(dir.filePath("qt.pdf"), FileSink::PdfEngine::Qt, { everything() }), 100);
    ASSERT_EQ(moved.size(), 1);
    ASSERT_EQ(qt.size(), 1);
    EXPECT_FALSE(PdfPixels::matches(PdfPixels::compare(moved[0], qt[0])));
}

// The rectangle of pixels darker than near-white.
QRect inkOf(const QImage& page)
{
    QRect ink;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 160)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

TEST(PdfWriter, AFaceWithoutOutlineTablesIsDrawnAsOutlines)
{
    // fontconfig offers this family as a Type 1 font too, which has no tables to embed.
    PageRecord page(Dpi, A4, A4Device);
    page.append(PageRecord::Op::SelectFont, font(QStringLiteral("Nimbus Sans"), 120));
    page.append(PageRecord::Op::TextOut, 400, 400, QStringLiteral("Outlined Type"));
    QTemporaryDir dir;
    const auto own = PdfPixels::render(
        exportPages(dir.filePath("own.pdf"), FileSink::PdfEngine::Own, { page }), 100);
    const auto qt = PdfPixels::render(
        exportPages(dir.filePath("qt.pdf"), FileSink::PdfEngine::Qt, { page }), 100);
    ASSERT_EQ(own.size(), 1);
    ASSERT_EQ(qt.size(), 1);
    const QRect drawn = inkOf(own[0]);
    const QRect expected = inkOf(qt[0]);
    ASSERT_FALSE(expected.isEmpty());
    for (const auto& [a, b] :
        { std::pair { drawn.left(), expected.left() }, std::pair { drawn.top(), expected.top() },
            std::pair { drawn.right(), expected.right() },
            std::pair { drawn.bottom(), expected.bottom() } })
        EXPECT_NEAR(a, b, 1);
}

TEST(PdfWriter, TextComesBackAndFontsAreEmbeddedSubsets)
{
    QTemporaryDir dir;
    const QString pdf
        = exportPages(dir.filePath("own.pdf"), FileSink::PdfEngine::Own, { everything() });
    const QString text = tool("pdftotext", { pdf, "-" });
    for (const char* expected : { "請求書 Invoice 123", "太字 Bold", "斜体と下線 italic",
             "長体の文字 narrow", "初期フォント" })
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    // The second, offset copy of emboldened text carries no text of its own.
    EXPECT_EQ(text.count(QStringLiteral("太字")), 1) << text.toStdString();
    const QStringList fonts = tool("pdffonts", { pdf }).split(u'\n', Qt::SkipEmptyParts).mid(2);
    // Bold and regular come from one file and share one subset.
    ASSERT_EQ(fonts.size(), 2);
    for (const QString& line : fonts) {
        const QStringList columns = line.simplified().split(u' ');
        ASSERT_EQ(columns.size(), 9) << line.toStdString();
        EXPECT_TRUE(QRegularExpression("^[A-Z]{6}\\+IPA").match(columns[0]).hasMatch())
            << line.toStdString();
        EXPECT_EQ(columns.mid(1, 6).join(u' '), "CID TrueType Identity-H yes yes yes");
    }
    const QString info = tool("pdfinfo", { pdf });
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+試験 document\\n")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Creator:\\s+Vorlix\\n")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595 x 842 pts \\(A4\\)")));
}

TEST(PdfWriter, APictureOnManyPagesIsWrittenOnce)
{
    QTemporaryDir dir;
    const QString pdf = exportPages(dir.filePath("own.pdf"), FileSink::PdfEngine::Own,
        { everything(), everything(), everything() });
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // The whole picture and its cropped part, each with its opacity.
    EXPECT_EQ(bytes.count("/Subtype /Image"), 4);
    EXPECT_EQ(bytes.count("/SMask"), 2);
    EXPECT_EQ(bytes.count("/Type /Page "), 3);
    EXPECT_EQ(bytes.count("/FontFile2"), 2);
}

TEST(PdfWriter, PagesOfDifferentSizesKeepTheirOwnFrame)
{
    QTemporaryDir dir;
    PageRecord landscape(Dpi, DeviceRect { 0, 0, 29700, 21000 }, QSize(4677, 3307));
    landscape.append(PageRecord::Op::FillRect, 0, 0, 100, 100, 0);
    const QString pdf = exportPages(
        dir.filePath("own.pdf"), FileSink::PdfEngine::Own, { everything(), landscape });
    const QString info = tool("pdfinfo", { pdf, "-f", "1", "-l", "2" });
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+1 size:\\s+595 x 842")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+2 size:\\s+842 x 595")))
        << info.toStdString();
}

TEST(PdfWriter, ManyPagesKeepFlatMemory)
{
    QTemporaryDir dir;
    PageRecord page(Dpi, A4, A4Device);
    page.append(PageRecord::Op::SelectFont, font(QStringLiteral("ＭＳ 明朝"), 60));
    for (int line = 0; line < 40; ++line)
        page.append(PageRecord::Op::TextOut, 200, 200 + 100 * line,
            QStringLiteral("明細 %1 行目 ¥12,345").arg(line));
    FileSink sink(FileSink::Format::Pdf, dir.filePath("many.pdf"), FileSink::PdfEngine::Own);
    sink.begin(QStringLiteral("many"));
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(sink.write(page, A4Target));
    const long settled = residentKiB();
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(sink.write(page, A4Target));
#if !defined(__SANITIZE_ADDRESS__)
    // 3,000 more pages of some 2 KB each written, a few bytes of offsets kept per page. (Under
    // AddressSanitizer the quarantine holds freed blocks back: resident memory tells nothing.)
    EXPECT_LT(residentKiB() - settled, 2048);
#else
    static_cast<void>(settled);
#endif
    EXPECT_TRUE(sink.finish());
    EXPECT_EQ(tool("pdfinfo", { dir.filePath("many.pdf") })
                  .contains(QRegularExpression("Pages:\\s+3300\\n")),
        true);
}

TEST(PdfWriter, AnUnwritableFileIsAFailure)
{
    QTemporaryDir dir;
    FileSink sink(FileSink::Format::Pdf, dir.filePath("missing/out.pdf"), FileSink::PdfEngine::Own);
    EXPECT_FALSE(sink.write(everything(), A4Target));
    EXPECT_TRUE(sink.failed());
    EXPECT_FALSE(sink.finish());
}

// With SOURCE_DATE_EPOCH the same pages give the same bytes, dated as it says; each document
// names itself by an identifier that changes with its content.
TEST(PdfWriter, SourceDateEpochMakesTheBytesReproducible)
{
    QTemporaryDir dir;
    const auto bytes = [&dir](const QString& name, int shift) {
        QFile file(exportPages(
            dir.filePath(name), FileSink::PdfEngine::Own, { everything(shift), everything() }));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    const QByteArray first = bytes("first.pdf", 0);
    const QByteArray second = bytes("second.pdf", 0);
    const QByteArray moved = bytes("moved.pdf", 1);
    qunsetenv("SOURCE_DATE_EPOCH");
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(first == second);
    const QRegularExpression id("/ID \\[(<[0-9a-f]{32}>) \\1\\]");
    const QRegularExpressionMatch firstId = id.match(QString::fromLatin1(first));
    const QRegularExpressionMatch movedId = id.match(QString::fromLatin1(moved));
    ASSERT_TRUE(firstId.hasMatch());
    ASSERT_TRUE(movedId.hasMatch());
    EXPECT_NE(firstId.captured(1), movedId.captured(1));
    EXPECT_TRUE(first.contains("/CreationDate (D:20231114221320Z)"));
    EXPECT_TRUE(tool("pdfinfo", { dir.filePath("first.pdf") }).contains("2023"));
}

TEST(PdfWriter, TheEnvironmentChoosesQtsEngine)
{
    EXPECT_EQ(FileSink::pdfEngineFromEnvironment(), FileSink::PdfEngine::Own);
    qputenv("VORLIX_PDF_ENGINE", "qt");
    EXPECT_EQ(FileSink::pdfEngineFromEnvironment(), FileSink::PdfEngine::Qt);
    QTemporaryDir dir;
    {
        FileSink sink(FileSink::Format::Pdf, dir.filePath("qt.pdf"));
        EXPECT_EQ(sink.prepare(everything(), A4Target), nullptr);
        EXPECT_TRUE(sink.write(everything(), A4Target));
        EXPECT_TRUE(sink.finish());
    }
    qunsetenv("VORLIX_PDF_ENGINE");
    EXPECT_TRUE(tool("pdfinfo", { dir.filePath("qt.pdf") }).contains("Qt"));
    FileSink own(FileSink::Format::Pdf, dir.filePath("own.pdf"));
    EXPECT_NE(own.prepare(everything(), A4Target), nullptr);
}

}
