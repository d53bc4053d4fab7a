#include "RenderTestSupport.h"

#include "render/Bitmap.h"

#include <QImage>

#include <limits>

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::dumpLines;
using vorlix::test::errorNumberOf;
using vorlix::test::RenderLogCapture;
using vorlix::test::SurfaceTest;

namespace {

using EMFBinding = SurfaceTest;

// The head line of the page a surface records once it is bound as given.
QString pageHead(EMF& surface)
{
    surface.Start();
    const auto page = surface.Picture();
    return page ? page->dump().section(u'\n', 0, 0) : QString();
}

TEST_F(EMFBinding, PrinterScalesPensAndFontsByTheRatio)
{
    emf.SetObject(sink, 0, 254, 2.0, 2100, 2970, 30, 40);
    emf.Start();
    mark();
    emf.setPenType(2, 1, 0, 0);
    QString face = QStringLiteral("ＭＳ 明朝");
    emf.setFontType(2, face, 9, 0, 0);
    // Width 1 x 2.0; 9 points x 2.0 at 254 dpi: a cell of rnd(63.5) = 64.
    EXPECT_EQ(drawn(),
        (QStringList { "selectPen style=0 width=2 color=#000000",
            "selectFont h=64 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=0 "
            "face=\"ＭＳ 明朝\"" }));
    EXPECT_EQ(pageHead(emf), "page dpi=254 frame=42000x59400 size=4200x5940");
}

TEST_F(EMFBinding, PreviewShowsPensAtTheirPrintedWidthAndMeasuresFontsOnTheScreen)
{
    emf.SetObject(preview, 0, 400, 1.0, 2100, 2970, 30, 40);
    emf.Start();
    mark();
    // 96 / 400 = 0.24 pixels a dot: a 1-dot pen prints, so it shows one pixel wide; 95 dots
    // (6 mm) show 23 pixels.
    emf.setPenType(2, 1, 0, 0);
    emf.setPenType(3, 95, 0, 0);
    QString face = QStringLiteral("ＭＳ 明朝");
    emf.setFontType(2, face, 9, 0, 0);
    EXPECT_EQ(drawn(),
        (QStringList { "selectPen style=0 width=1 color=#000000",
            "selectPen style=0 width=23 color=#000000",
            "selectFont h=12 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=0 "
            "face=\"ＭＳ 明朝\"" }));
    emf.setRatio(1.5);
    EXPECT_EQ(pageHead(emf), "page dpi=96 frame=31500x44550 size=1191x1684");
}

TEST_F(EMFBinding, LogsTheTargetTechnology)
{
    RenderLogCapture log;
    bindPrinter();
    bindPreview();
    EXPECT_EQ(log.lines(), (QStringList { "2", "1" }));
}

TEST_F(EMFBinding, DeviceSizeFollowsTheReferenceResolution)
{
    struct Case {
        bool preview;
        int dpi;
        double ratio;
        QString head;
    };
    const Case cases[] = {
        { false, 400, 1.0, "page dpi=400 frame=21000x29700 size=3307x4677" },
        { false, 254, 1.0, "page dpi=254 frame=21000x29700 size=2100x2970" },
        { false, 254, 0.5, "page dpi=254 frame=10500x14850 size=1050x1485" },
        { true, 400, 1.0, "page dpi=96 frame=21000x29700 size=794x1123" },
        { true, 254, 2.0, "page dpi=96 frame=42000x59400 size=1587x2245" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head.toStdString());
        EMF surface(std::make_shared<FakeTextMetrics>());
        surface.SetObject(c.preview ? PageTarget(preview) : PageTarget(sink), 0, c.dpi, c.ratio,
            2100, 2970, 0, 0);
        EXPECT_EQ(pageHead(surface), c.head);
    }
}

TEST_F(EMFBinding, PreviewBoxNarrowerThanThePageScalesFonts)
{
    PreviewSink box;
    box.setBoxWidth(397);
    emf.SetObject(box, 0, 400, 1.0, 2100, 2970, 0, 0);
    emf.Start();
    // The page is 794 pixels wide in a box of 397: fonts are measured at twice their size.
    const QStringList fonts = dumpLines(*emf.Picture()).filter("selectFont");
    ASSERT_FALSE(fonts.isEmpty());
    EXPECT_TRUE(fonts.first().startsWith("selectFont h=24 ")) << fonts.first().toStdString();
}

using EMFMapping = SurfaceTest;

TEST_F(EMFMapping, ScalesCarryTheSignOfTheMode)
{
    startPage();
    emf.Home(3, 0, 0);
    double sx = 0;
    double sy = 0;
    emf.getLtoP(sx, sy);
    EXPECT_DOUBLE_EQ(sx, -1.0);
    EXPECT_DOUBLE_EQ(sy, -1.0);
}

TEST_F(EMFMapping, Mode3FromTheFarCornerTurnsTheA4PageAround)
{
    startPage(400);
    emf.Home(3, 2100, 2970);
    EXPECT_EQ(pointOf(0, 0), "moveTo 3307 4677");
    EXPECT_EQ(pointOf(2100, 2970), "moveTo 0 0");
}

TEST_F(EMFMapping, Mode4SwapsTheAxes)
{
    startPage(400);
    emf.Home(4, 0, 0);
    // 100 x 4677 / 2970 = 157.47
    EXPECT_EQ(pointOf(100, 0), "moveTo 0 157");
}

TEST_F(EMFMapping, LagMovesPrintedOutputOnlyAndResetsTheMode)
{
    startPage();
    emf.Home(3, 50, 50);
    emf.setLag(10, 20);
    EXPECT_EQ(pointOf(0, 0), "moveTo 10 20");
    emf.Home(0, 100, 100);
    EXPECT_EQ(pointOf(0, 0), "moveTo 110 120");

    EMF shown(std::make_shared<FakeTextMetrics>());
    shown.SetObject(preview, 0, 254, 2.54 / 0.96, 2100, 2970, 0, 0);
    shown.Start();
    shown.setLag(10, 20);
    shown.XY(0, 0);
    EXPECT_EQ(dumpLines(*shown.Picture()).last(), "moveTo 0 0");
}

TEST_F(EMFMapping, OverflowAndZeroPageSizeRaiseErrors)
{
    constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    startPage(508);
    EXPECT_EQ(errorNumberOf([&] { emf.XY(largest, 0); }), 6);
    EXPECT_EQ(errorNumberOf([&] { emf.setLag(largest, 0); }), 6);
    emf.KillDoc();

    EMF atScaleOne(std::make_shared<FakeTextMetrics>());
    atScaleOne.SetObject(sink, 0, 254, 1.0, 2100, 2970, 0, 0);
    atScaleOne.Start();
    atScaleOne.setLag(largest, 0);
    EXPECT_EQ(errorNumberOf([&] { atScaleOne.Home(0, 1, 0); }), 6);

    EMF empty(std::make_shared<FakeTextMetrics>());
    empty.SetObject(sink, 0, 400, 1.0, 0, 2970, 0, 0);
    EXPECT_EQ(errorNumberOf([&] { empty.Start(); }), 6);
}

TEST_F(EMFMapping, XAndYPropertiesMoveOneDeviceCoordinate)
{
    startPage();
    emf.XY(10, 20);
    emf.X(50);
    EXPECT_EQ(emf.X(), 50);
    emf.Y(70);
    EXPECT_EQ(emf.Y(), 70);
    emf.Home(4, 0, 0);
    emf.X(30);
    emf.Y(40);
    EXPECT_EQ(emf.X(), 30);
    EXPECT_EQ(emf.Y(), 40);
    EXPECT_EQ(drawn("moveTo"),
        (QStringList {
            "moveTo 10 20", "moveTo 50 20", "moveTo 50 70", "moveTo 50 30", "moveTo 40 30" }));
}

using EMFLines = SurfaceTest;

TEST_F(EMFLines, RelativeOffsetsStartFromTheXYPoint)
{
    startPage();
    emf.XY(0, 0);
    emf.DDxy(100, 0);
    emf.DDxy(100, 0);
    EXPECT_EQ(drawn(),
        (QStringList {
            "moveTo 0 0", "moveTo 0 0", "lineTo 100 0", "moveTo 100 0", "lineTo 100 0" }));
}

TEST_F(EMFLines, CompositeLinesSetThePointFirst)
{
    startPage();
    emf.HDxy(10, 20, 100);
    emf.VDxy(10, 20, 50);
    emf.MDxy(1, 2, 3, 4);
    emf.DMDxy(5, 6, 10, 10);
    EXPECT_EQ(drawn("lineTo"),
        (QStringList { "lineTo 110 20", "lineTo 10 70", "lineTo 3 4", "lineTo 15 16" }));
    EXPECT_EQ(emf.X(), 5);
    EXPECT_EQ(emf.Y(), 6);
}

TEST_F(EMFLines, PatternedThickPenDrawsParallelStrokesAcrossTheLine)
{
    startPage();
    emf.setPenType(3, 5, 4, 2);
    mark();
    emf.HDxy(10, 20, 100);
    QStringList expected { "moveTo 10 20" };
    for (int k = -2; k <= 3; ++k)
        expected << QStringLiteral("moveTo 10 %1").arg(20 + k)
                 << QStringLiteral("lineTo 110 %1").arg(20 + k);
    EXPECT_EQ(drawn(), expected);

    mark();
    emf.VDxy(10, 20, 100);
    const QStringList vertical = drawn("lineTo");
    ASSERT_EQ(vertical.size(), 6);
    EXPECT_EQ(vertical.first(), "lineTo 8 120");
    EXPECT_EQ(vertical.last(), "lineTo 13 120");
}

// A face cannot multiply its lines without bound through the width of a patterned pen: beyond
// MaxPatternStrokes the line is one stroke of the wide patterned pen.
TEST_F(EMFLines, WidePatternedPenDrawsOneStroke)
{
    startPage();
    mark();
    emf.setPenType(3, 1000000, 4, 1);
    emf.HDxy(10, 20, 100);
    EXPECT_EQ(drawn(),
        (QStringList { "selectPen style=1 width=1000000 color=#800000", "moveTo 10 20",
            "moveTo 10 20", "lineTo 110 20" }));
    EXPECT_EQ(emf.PenWidth(), 1000000);
}

using EMFShapes = SurfaceTest;

TEST_F(EMFShapes, BoxOutlineOrFillWithPaletteWriteBack)
{
    startPage();
    std::int32_t outline = -1;
    emf.Box(10, 20, 100, 50, outline);
    std::int32_t palette = 4;
    emf.Box(10, 20, 100, 50, palette);
    std::int32_t rgbValue = 16;
    emf.Box(10, 20, 100, 50, rgbValue);
    std::int32_t white = 15;
    emf.Box(0, 0, 5, 5, white);
    EXPECT_EQ(outline, -1);
    EXPECT_EQ(palette, 128);
    EXPECT_EQ(rgbValue, 16);
    EXPECT_EQ(white, 0xffffff);
    EXPECT_EQ(drawn(),
        (QStringList { "rectangle 10 20 110 70", "fillRect 10 20 110 70 #800000",
            "fillRect 10 20 110 70 #100000", "fillRect 0 0 5 5 #ffffff" }));
}

TEST_F(EMFShapes, BoxInAMirroredModeSpansBackwards)
{
    startPage();
    emf.Home(1, 500, 0);
    std::int32_t outline = -1;
    emf.Box(10, 20, 100, 50, outline);
    EXPECT_EQ(drawn(), (QStringList { "rectangle 490 20 390 70" }));
}

TEST_F(EMFShapes, CircleOutlineOrFilledWithItsOwnBrush)
{
    startPage();
    emf.Circ(100, 200, 50, -1);
    emf.Circ(100, 200, 50, 12);
    emf.Circ(100, 200, 50, 0x123456);
    EXPECT_EQ(drawn(),
        (QStringList { "ellipse 50 250 150 150", "selectBrush solid #ff0000",
            "ellipse 50 250 150 150", "selectBrush hollow", "selectBrush solid #563412",
            "ellipse 50 250 150 150", "selectBrush hollow" }));
}

TEST_F(EMFShapes, HalfCircleFollowsTheAxisMode)
{
    struct Case {
        int mode;
        QString arc;
    };
    const Case cases[] = {
        { 0, "arc 50 150 150 250 50 200 150 200" },
        { 3, "arc 150 250 50 150 150 200 50 200" },
        { 1, "arc 150 150 50 250 50 200 150 200" },
        { 2, "arc 50 250 150 150 150 200 50 200" },
        { 4, "arc 50 150 150 250 100 250 100 150" },
        { 7, "arc 150 250 50 150 100 150 100 250" },
        { 5, "arc 50 250 150 150 100 250 100 150" },
        { 6, "arc 150 150 50 250 100 150 100 250" },
    };
    startPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        emf.Home(c.mode, 100, 200);
        mark();
        emf.hCirc(0, 0, 50);
        EXPECT_EQ(drawn("arc"), QStringList { c.arc });
    }
    emf.Home(8, 100, 200);
    mark();
    emf.hCirc(0, 0, 50);
    EXPECT_TRUE(drawn("arc").isEmpty());
}

TEST_F(EMFShapes, MarksSitOnThePointByKind)
{
    struct Case {
        int kind;
        QString text;
    };
    // H = 32, W = 16 for the default font at 254 dpi.
    const Case cases[] = {
        { 1, "textOut 85 85 \"○\"" },
        { 4, "textOut 85 85 \"■\"" },
        { 12, "textOut 85 85 \"★\"" },
        { 13, "textOut 68 84 \"→\"" },
        { 14, "textOut 100 84 \"←\"" },
        { 15, "textOut 84 100 \"↑\"" },
        { 16, "textOut 84 68 \"↓\"" },
    };
    startPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        mark();
        emf.MarkOut(100, 100, c.kind);
        EXPECT_EQ(drawn("textOut"), QStringList { c.text });
    }
    for (const int kind : { 0, 17, -1 }) {
        mark();
        emf.MarkOut(100, 100, kind);
        EXPECT_TRUE(drawn().isEmpty()) << kind;
    }
}

TEST_F(EMFShapes, MarkOffsetsRoundHalfToEven)
{
    startPage();
    QString face = "ＭＳ 明朝";
    emf.setFontType(2, face, 10, 0, 0); // 10 points at 254 dpi: H = 35, W = 17
    mark();
    emf.MarkOut(100, 100, 1);
    EXPECT_EQ(drawn("textOut"), QStringList { "textOut 84 84 \"○\"" });
}

TEST_F(EMFShapes, ClipSpansItsCornersAndCanBeRemoved)
{
    startPage();
    EXPECT_TRUE(emf.Clip(10, 20, 100, 50));
    EXPECT_TRUE(emf.Clip(110, 20, -100, 50));
    emf.DelClip();
    emf.DelClip();
    EXPECT_EQ(drawn(),
        (QStringList { "setClip 10 20 110 70", "clearClip", "setClip 10 20 110 70", "clearClip" }));
}

TEST_F(EMFShapes, ClipInSwappedAxesLandsWhereTheDrawingDoes)
{
    startPage();
    emf.Home(4, 0, 0);
    ASSERT_TRUE(emf.Clip(10, 20, 100, 50));
    EXPECT_EQ(drawn(), (QStringList { "setClip 20 10 70 110" }));
}

TEST_F(EMFShapes, WithoutAPageDrawingGoesNowhereAndClipFails)
{
    bindPrinter();
    std::int32_t color = 4;
    EXPECT_NO_THROW({
        emf.HDxy(10, 20, 100);
        emf.Box(10, 20, 100, 50, color);
        emf.Circ(100, 100, 50, 3);
        emf.hCirc(100, 100, 50);
        emf.MarkOut(100, 100, 1);
    });
    EXPECT_EQ(color, 128);
    EXPECT_EQ(emf.hDC(), nullptr);
    EXPECT_FALSE(emf.Clip(10, 20, 100, 50));
    emf.Start();
    EXPECT_TRUE(emf.Clip(10, 20, 100, 50));
    emf.EndDoc();
    ASSERT_EQ(sink.pages().size(), 1U);
    const QString page = sink.pages().front().dump();
    EXPECT_FALSE(page.contains("lineTo")) << page.toStdString();
    EXPECT_FALSE(page.contains("fillRect")) << page.toStdString();
}

using EMFImages = SurfaceTest;

QImage pictureOf(int width, int height, int dotsPerMetre)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

TEST_F(EMFImages, SizesFromArgumentsOrTheNaturalSize)
{
    struct Case {
        int w;
        int h;
        QString call;
    };
    // 200 x 100 pixels at 96 dots per inch: 52.91 x 26.46 mm.
    const Case cases[] = {
        { 0, 0, "stretchImage 100 100 529 265 src=200x100 image=200x100" },
        { 300, 0, "stretchImage 100 100 300 150 src=200x100 image=200x100" },
        { 0, 50, "stretchImage 100 100 0 50 src=200x100 image=200x100" },
        { 300, 80, "stretchImage 100 100 300 80 src=200x100 image=200x100" },
        { -300, 0, "stretchImage 400 250 -300 -150 src=200x100 image=200x100" },
    };
    startPage();
    const QImage picture = pictureOf(200, 100, 3780);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        emf.XY(100, 100);
        mark();
        emf.LoadImage(Bitmap(picture), c.w, c.h);
        EXPECT_EQ(drawn(), QStringList { c.call });
    }
}

TEST_F(EMFImages, NaturalSizeComesFromTheImagesOwnResolution)
{
    startPage();
    emf.XY(0, 0);
    mark();
    emf.LoadImage(Bitmap(pictureOf(600, 300, 11811)), 0, 0); // 300 dpi: 2 x 1 inch
    EXPECT_EQ(drawn(), QStringList { "stretchImage 0 0 508 254 src=600x300 image=600x300" });
}

TEST_F(EMFImages, NullPictureDrawsNothing)
{
    startPage();
    mark();
    emf.LoadImage(Bitmap(), 100, 100);
    EXPECT_TRUE(drawn().isEmpty());
}

}
