#define ZX_USE_UTF8 1

#include "LangTestSupport.h"

#include "render/FileSink.h"
#include "shell/CodePage.h"
#include "tests/support/MissingTool.h"
#include "tests/support/PdfPixels.h"

#include <ZXing/ReadBarcode.h>
#include <zint.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>

// "bc" end to end: faces rendered as a user exports them, read back by independent readers.
namespace {

using namespace vorlix;
using ZXing::BarcodeFormat;

// One symbol of the test sheet: the statement's arguments after x and y, what a reader must
// find, and what else is known of it.
struct Symbol {
    const char* arguments;
    BarcodeFormat format;
    const char* text;
    // QR Code only: the error correction level the reader reports.
    const char* level = "";
    // The symbol's width in modules where the standard fixes it; 0 where it does not.
    int modules = 0;
};

// Module 3.3 is 0.33 mm, JAN's nominal size; 2.5 (0.25 mm) is the smallest a label printer is
// trusted with. The ten characters of Shift_JIS fit QR version 1 at level L only in kanji mode;
// ①②③ are of the Windows code page, which libzint's own conversion does not know.
const Symbol Sheet[] = {
    { "\"ean13\",150,3.3,490123456789,1", BarcodeFormat::EAN13, "4901234567894", "", 95 },
    { "\"jan13\",150,3.3,\"4912345123459\"", BarcodeFormat::EAN13, "4912345123459", "", 95 },
    { "\"ean8\",150,3.3,\"4901234\",1", BarcodeFormat::EAN8, "49012347", "", 67 },
    { "\"upca\",150,3.3,\"03600029145\",1", BarcodeFormat::UPCA, "036000291452", "", 95 },
    { "\"code39\",150,3.3,\"CODE-39 $/+%.\",1", BarcodeFormat::Code39, "CODE-39 $/+%." },
    { "\"code128\",150,3.3,\"Vorlix\",\"-2026/12 #42\",1", BarcodeFormat::Code128,
        "Vorlix-2026/12 #42" },
    { "\"code128\",120,2.5,\"TRK-0001-7788\"", BarcodeFormat::Code128, "TRK-0001-7788" },
    { "\"gs1-128\",150,3.3,\"(01)04912345123459(10)ABC123\",1", BarcodeFormat::Code128,
        "010491234512345910ABC123" },
    { "\"itf\",150,3.3,0123456789,1", BarcodeFormat::ITF, "0123456789" },
    { "\"itf\",150,3.3,\"4901234567894\",1", BarcodeFormat::ITF, "49012345678942" },
    { "\"nw7\",150,3.3,\"A1234-5678B\",1", BarcodeFormat::Codabar, "A1234-5678B" },
    { "\"qr\",0,5,\"①②③郵便番号と住所\",1", BarcodeFormat::QRCode, "①②③郵便番号と住所", "L",
        21 },
    { "\"qr\",0,2.5,\"https://example.com/invoice/HS-2026-000042\",4", BarcodeFormat::QRCode,
        "https://example.com/invoice/HS-2026-000042", "H" },
    { "\"qr\",0,5,\"請求番号 HS-2026-000042\"", BarcodeFormat::QRCode, "請求番号 HS-2026-000042",
        "M" },
    { "\"datamatrix\",0,5,\"Vorlix データ行列\"", BarcodeFormat::DataMatrix, "Vorlix データ行列" },
    { "\"pdf417\",0,3,\"Vorlix PDF417 テスト\"", BarcodeFormat::PDF417, "Vorlix PDF417 テスト" },
};

constexpr int Columns = 2;
constexpr int CellWidth = 1000;
constexpr int CellHeight = 350;
constexpr int Margin = 100;

QPoint cornerOf(int index)
{
    return { Margin + index % Columns * CellWidth, Margin + index / Columns * CellHeight };
}

QString sheetFace()
{
    QString face = QStringLiteral("fs,1,\"ＭＳ ゴシック\",8,0;\n");
    for (int i = 0; i < static_cast<int>(std::size(Sheet)); ++i) {
        const QPoint at = cornerOf(i);
        face += QStringLiteral("bc,%1,%2,%3;\n")
                    .arg(at.x())
                    .arg(at.y())
                    .arg(QString::fromUtf8(Sheet[i].arguments));
    }
    return face;
}

// One way of putting the page on paper: a PNG export at its resolution, or a PDF export at the
// printer's 400 dpi rasterised by pdftoppm.
struct Output {
    const char* name;
    render::FileSink::Format format;
    int dpi;
    // Pixels of the picture the readers get.
    int pictureDpi;
};

const Output Outputs[] = {
    { "PNG at 400 dpi", render::FileSink::Format::Png, 400, 400 },
    { "PNG at 200 dpi", render::FileSink::Format::Png, 200, 200 },
    { "PDF at 300 dpi", render::FileSink::Format::Pdf, 400, 300 },
};

// The face exported as the output makes it, in grey.
QImage exported(const QString& face, const Output& output, const QTemporaryDir& dir)
{
    const bool png = output.format == render::FileSink::Format::Png;
    const QString path
        = dir.filePath(png ? QStringLiteral("sheet.png") : QStringLiteral("sheet.pdf"));
    {
        render::FileSink sink(output.format, path);
        lang::DControl control;
        control.SetObject(sink, 0, output.dpi, 1.0, 2100, 2970, 0, 0);
        control.SetDoc(face);
        control.PagePrint(1, 1);
        EXPECT_TRUE(control.report.clean()) << control.report.sErrMsg.toStdString();
        EXPECT_TRUE(sink.finish());
    }
    if (png)
        return QImage(dir.filePath(QStringLiteral("sheet-1.png")))
            .convertToFormat(QImage::Format_Grayscale8);
    const QList<QImage> pages = test::PdfPixels::render(path, output.pictureDpi);
    return pages.isEmpty() ? QImage() : pages.first();
}

bool dark(const QImage& image, int x, int y)
{
    return image.constScanLine(y)[x] < 128;
}

// The lengths of the dark and light runs of one row, from its first dark pixel to its last.
std::vector<int> runsOf(const QImage& image, int y)
{
    std::vector<int> runs;
    int first = 0;
    while (first < image.width() && !dark(image, first, y))
        ++first;
    int last = image.width() - 1;
    while (last > first && !dark(image, last, y))
        --last;
    for (int x = first; x <= last;) {
        const bool ink = dark(image, x, y);
        int end = x;
        while (end <= last && dark(image, end, y) == ink)
            ++end;
        runs.push_back(end - x);
        x = end;
    }
    return runs;
}

// How wide the ink of rows from..to is, from its leftmost pixel to its rightmost.
int inkWidth(const QImage& image, int from, int to)
{
    int left = image.width();
    int right = -1;
    for (int y = std::max(0, from); y < std::min(to, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (dark(image, x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right - left + 1;
}

ZXing::Result read(const QImage& cell, BarcodeFormat format)
{
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setReturnCodabarStartEnd(true);
    return ZXing::ReadBarcode(ZXing::ImageView(cell.constBits(), cell.width(), cell.height(),
                                  ZXing::ImageFormat::Lum, static_cast<int>(cell.bytesPerLine())),
        hints);
}

// Every kind, read back by ZXing from each output. On a PNG every module of a symbol is the same
// whole number of pixels, so every bar and space is a multiple of it; the PDF's vectors keep the
// exact module, so the symbol is as wide as its modules times 0.33 mm, not as the 400-dpi grid.
TEST(Barcodes, EveryKindScansFromEveryOutput)
{
    QTemporaryDir dir;
    const QString face = sheetFace();
    std::map<int, int> modulesAcross;
    for (const Output& output : Outputs) {
        SCOPED_TRACE(output.name);
        const QImage page = exported(face, output, dir);
        ASSERT_FALSE(page.isNull());
        const double perFaceUnit = output.pictureDpi / 254.0;
        const bool snapped = output.format == render::FileSink::Format::Png;
        for (int i = 0; i < static_cast<int>(std::size(Sheet)); ++i) {
            const Symbol& symbol = Sheet[i];
            SCOPED_TRACE(symbol.arguments);
            const QPoint corner = cornerOf(i);
            const QRect cellArea(QPoint(std::lround((corner.x() - 60) * perFaceUnit),
                                     std::lround((corner.y() - 60) * perFaceUnit)),
                QSize(std::lround((CellWidth - 40) * perFaceUnit),
                    std::lround((CellHeight - 20) * perFaceUnit)));
            const QImage cell = page.copy(cellArea);
            const ZXing::Result result = read(cell, symbol.format);
            ASSERT_TRUE(result.isValid()) << ZXing::ToString(result.error());
            EXPECT_EQ(result.text(), symbol.text);
            if (*symbol.level) {
                EXPECT_EQ(result.ecLevel(), symbol.level);
            }

            const double module
                = QString::fromUtf8(symbol.arguments).section(u',', 2, 2).toDouble();
            const double modulePixels
                = snapped ? std::max(1.0, std::round(module * perFaceUnit)) : module * perFaceUnit;
            // Every bar and space of a row 2.2 mm into the symbol (inside the bars of every kind)
            // is a whole number of modules on a PNG.
            if (snapped) {
                for (const int run : runsOf(cell, std::lround((60 + 22) * perFaceUnit)))
                    EXPECT_EQ(run % static_cast<int>(modulePixels), 0) << run;
            }
            // The symbol's width, from the rows of its bars: the text of linear symbols starts
            // 12 mm below their top at the earliest.
            const int span
                = inkWidth(cell, std::lround(60 * perFaceUnit) - 1, std::lround(160 * perFaceUnit));
            if (snapped) {
                EXPECT_EQ(span % static_cast<int>(modulePixels), 0) << span;
                const int modules = span / static_cast<int>(modulePixels);
                if (symbol.modules > 0) {
                    EXPECT_EQ(modules, symbol.modules);
                }
                if (modulesAcross.contains(i)) {
                    EXPECT_EQ(modules, modulesAcross[i]);
                }
                modulesAcross[i] = modules;
            } else {
                EXPECT_NEAR(span, modulesAcross[i] * modulePixels, 1.5);
            }
        }
    }
}

// A second reader, as a user would check a label: zbarimg on the 400-dpi PNG.
TEST(Barcodes, ZbarReadsTheCommonKinds)
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        VORLIX_SKIP_WITHOUT_TOOL("zbarimg (zbar-tools) is not installed");
    QTemporaryDir dir;
    const QString face = QStringLiteral("bc,100,100,\"ean13\",150,3.3,\"490123456789\",1;\n"
                                        "bc,100,500,\"code128\",150,3.3,\"Vorlix-2026/12\";\n"
                                        "bc,100,900,\"itf\",150,3.3,\"0123456789\";\n"
                                        "bc,100,1300,\"qr\",0,5,\"請求番号 HS-2026-000042\";\n");
    {
        render::FileSink sink(render::FileSink::Format::Png, dir.filePath(QStringLiteral("z.png")));
        lang::DControl control;
        control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0);
        control.SetDoc(face);
        control.PagePrint(1, 1);
        ASSERT_TRUE(sink.finish());
    }
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
        { QStringLiteral("-q"), dir.filePath(QStringLiteral("z-1.png")) });
    ASSERT_TRUE(zbar.waitForFinished(60000));
    const QStringList lines
        = QString::fromUtf8(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const char* expected : { "EAN-13:4901234567894", "CODE-128:Vorlix-2026/12",
             "I2/5:0123456789", "QR-Code:請求番号 HS-2026-000042" })
        EXPECT_TRUE(lines.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                 << lines.join(u'\n').toStdString();
}

// Japan Post's bar patterns: 1 long, 2 upper semi-long, 3 lower semi-long, 4 timing bar.
const std::map<QString, QString> JapanPostPatterns = {
    { "1", "114" },
    { "2", "132" },
    { "3", "312" },
    { "4", "123" },
    { "5", "141" },
    { "6", "321" },
    { "7", "213" },
    { "8", "231" },
    { "9", "411" },
    { "0", "144" },
    { "-", "414" },
    { "CC4", "432" },
};

// 〒263-0023, address display number 3-30-8: the twenty characters are the seven digits, the
// six characters of the number and seven CC4 to fill. The check character makes the sum of
// their values a multiple of 19: 2+6+3+0+0+2+3 + 3+10+3+0+10+8 + 7×14 = 148, and 148 + 4 = 152
// = 8×19, so it is 4. Start code 13, stop code 31: 2 + 20×3 + 3 + 2 = 67 bars.
QString workedExample()
{
    QString bars = QStringLiteral("13");
    for (const char* character : { "2", "6", "3", "0", "0", "2", "3", "3", "-", "3", "0", "-", "8",
             "CC4", "CC4", "CC4", "CC4", "CC4", "CC4", "CC4", "4" })
        bars += JapanPostPatterns.at(QString::fromLatin1(character));
    return bars + QStringLiteral("31");
}

// The same data as libzint encodes it: rows 0 (upper), 1 (timing) and 2 (lower) of each bar.
QString libzintBars(const QByteArray& data)
{
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(
        ZBarcode_Create(), ZBarcode_Delete);
    symbol->symbology = BARCODE_JAPANPOST;
    EXPECT_LT(
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()),
            static_cast<int>(data.size())),
        ZINT_ERROR);
    const auto set = [&](int row, int column) {
        return (symbol->encoded_data[row][column / 8] >> (column % 8)) & 1;
    };
    QString bars;
    for (int column = 0; column < symbol->width; column += 2) {
        const bool up = set(0, column);
        const bool down = set(2, column);
        bars += up && down ? u'1' : up ? u'2' : down ? u'3' : u'4';
    }
    return bars;
}

// The customer barcode at its standard size, read off a 400-dpi PNG: 67 bars 0.6 mm wide (9
// pixels) on a 1.2 mm pitch, long bars 3.6 mm, semi-long 2.4 mm and timing bars 1.2 mm, in the
// sequence Japan Post's rules give and libzint encodes.
TEST(Barcodes, CustomerBarcodeFollowsJapanPostsRules)
{
    QTemporaryDir dir;
    const Output png { "PNG at 400 dpi", render::FileSink::Format::Png, 400, 400 };
    const QImage page
        = exported(QStringLiteral("bc,100,100,\"postal\",0,0,\"2630023\",\"3-30-8\";"), png, dir);
    ASSERT_FALSE(page.isNull());
    constexpr int Module = 9;
    int top = 0;
    while (top < page.height() && runsOf(page, top).empty())
        ++top;
    // The timing band crosses every bar.
    const std::vector<int> runs = runsOf(page, top + 3 * Module);
    ASSERT_EQ(runs.size(), 67u * 2 - 1);
    for (const int run : runs)
        EXPECT_EQ(run, Module);
    int left = 0;
    while (!dark(page, left, top + 3 * Module))
        ++left;
    QString drawn;
    for (int bar = 0; bar < 67; ++bar) {
        const int x = left + bar * 2 * Module + Module / 2;
        int from = top - 1;
        while (!dark(page, x, ++from)) { }
        int to = from;
        while (dark(page, x, to))
            ++to;
        const int upper = (from - top) / Module;
        const int lower = (to - top) / Module;
        EXPECT_EQ((from - top) % Module, 0);
        EXPECT_EQ((to - top) % Module, 0);
        drawn += upper == 0 && lower == 6 ? u'1'
            : upper == 0 && lower == 4    ? u'2'
            : upper == 2 && lower == 6    ? u'3'
            : upper == 2 && lower == 4    ? u'4'
                                          : u'?';
    }
    EXPECT_EQ(drawn.toStdString(), workedExample().toStdString());
    EXPECT_EQ(drawn.toStdString(), libzintBars("26300233-30-8").toStdString());
}

// Data a symbology cannot hold fails the statement with the kind and the reason; the rest of
// the page is drawn.
TEST(Barcodes, DataThatCannotBeASymbolFailsWithTheKindAndTheReason)
{
    const struct {
        const char* statement;
        const char* message;
    } cases[] = {
        { "bc,100,100,\"ean13\",150,3.3,\"49012345678A\";",
            "バーコード ean13: 使えない文字「A」があります（数字だけ）" },
        { "bc,100,100,\"jan13\",150,3.3,\"4901234567890\";",
            "バーコード jan13: チェックディジットが違います（Invalid check digit '0', expecting "
            "'4'）" },
        { "bc,100,100,\"ean8\",150,3.3,\"123456\";",
            "バーコード ean8: 6 桁です（7 桁か 8 桁で書きます）" },
        { "bc,100,100,\"itf\",150,3.3,\"12345\";",
            "バーコード itf: 奇数の 5 桁です（偶数桁か、ITF-14 の 13 桁で書きます）" },
        { "bc,100,100,\"code39\",150,3.3,\"abc\";",
            "バーコード code39: 使えない文字「a」があります（英大文字・数字と -. $/+% だけ）" },
        { "bc,100,100,\"nw7\",150,3.3,\"1234\";",
            "バーコード nw7: データが正しくありません（Does not begin with \"A\", \"B\", \"C\" or "
            "\"D\"）" },
        { "bc,100,100,\"gs1-128\",150,3.3,\"0104912345123459\";",
            "バーコード gs1-128: データが正しくありません（Data does not start with an AI）" },
        { "bc,100,100,\"postal\",0,0,\"263-0023\";",
            "バーコード postal: 郵便番号の 7 桁の数字で始まっていません" },
        { "bc,100,100,\"ean14\",150,3.3,\"1\";", "バーコード ean14: この種類はありません" },
        { "bc,100,100,\"code128\",150,0,\"A\";",
            "バーコード code128: モジュールの幅 0 は使えません（0 より大きい数で書きます）" },
        { "bc,100,100,\"code128\",0,3.3,\"A\";", "バーコード code128: バーの高さがありません" },
        { "bc,100,100,\"qr\",0,5,\"A\",7;",
            "バーコード qr: 誤り訂正レベル 7 はありません（1 から 4 で L、M、Q、H）" },
        { "bc,100,100,\"ean13\",150,3.3,\"490123456789\",2;",
            "バーコード ean13: オプション 2 は使えません（0 は文字なし、1 は文字あり）" },
        { "bc,100,100,\"qr\",0,5,\"\";", "バーコード qr: データがありません" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        test::BoundInterpreter run;
        run.control.GoDoc(QStringLiteral("start;") + QString::fromUtf8(c.statement)
            + QStringLiteral("h,100,2000,500;out;"));
        EXPECT_TRUE(run.control.report.fError);
        EXPECT_EQ(run.control.report.ErrNumber, 5);
        EXPECT_EQ(run.control.report.sErrMsg.toStdString(), c.message);
        EXPECT_TRUE(run.dumps().contains(QStringLiteral("lineTo 945 3149")))
            << run.dumps().toStdString();
    }
    // QR Code at level H holds about 1,800 letters, not 3,000.
    test::BoundInterpreter run;
    run.control.GoDoc(
        QStringLiteral("start;bc,100,100,\"qr\",0,5,\"%1\",4;out;").arg(QString(3000, u'A')));
    EXPECT_EQ(run.control.report.sErrMsg.toStdString(),
        "バーコード qr: データの長さが合いません（Input too long for selected error correction "
        "level）");
}

}
