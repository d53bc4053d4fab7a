#include "RenderTestSupport.h"

#include <limits>

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::errorNumberOf;
using vorlix::test::SurfaceTest;

namespace {

const QString mincho = QStringLiteral("ＭＳ 明朝");

using EMFFonts = SurfaceTest;

TEST_F(EMFFonts, EveryPageStartsWithTheDefaultFontInSlotOne)
{
    startPage();
    EXPECT_EQ(emf.FontNo(), 1);
    EXPECT_EQ(emf.FontName(), mincho);
    EXPECT_EQ(emf.FontSize(), 9);
    // 9 points at 254 dpi: a cell of rnd(31.75) = 32, the full-width circle 32 wide.
    EXPECT_EQ(emf.fontDescription(1).lfHeight, 32);
    EXPECT_EQ(emf.fontDescription(1).lfWidth, 16);
}

TEST_F(EMFFonts, DefinitionCarriesStyleBitsAndDirection)
{
    startPage();
    QString face = QStringLiteral("ＭＳ ゴシック");
    emf.setFontType(3, face, 12, 1 | 2 | 4 | 8, 90);
    EXPECT_EQ(emf.FontNo(), 3);
    EXPECT_EQ(emf.FontStyle(), 15);
    EXPECT_DOUBLE_EQ(emf.FontOrientation(), 90.0);
    EXPECT_EQ(drawn("selectFont"),
        QStringList { "selectFont h=42 w=0 esc=900 weight=700 italic=1 underline=1 strikeOut=1 "
                      "face=\"ＭＳ ゴシック\"" });
    EXPECT_EQ(emf.FontHeight(), 42);
}

TEST_F(EMFFonts, PrinterRatioScalesTheMeasuredSize)
{
    emf.SetObject(sink, 0, 254, 2.0, 2100, 2970, 0, 0);
    emf.Start();
    // 18 points at 254 dpi.
    EXPECT_EQ(emf.fontDescription(1).lfHeight, 64);
}

TEST_F(EMFFonts, SelectingTheCurrentSlotDoesNothing)
{
    startPage();
    emf.FontNo(1);
    EXPECT_TRUE(drawn().isEmpty());
}

TEST_F(EMFFonts, RedefiningTheCurrentSlotDeselectsItAndSelectsTheNewFont)
{
    startPage();
    QString face = mincho;
    emf.setFontType(1, face, 18, 0, 0);
    EXPECT_EQ(drawn(),
        (QStringList { "initialFont",
            "selectFont h=64 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=0 "
            "face=\"ＭＳ 明朝\"" }));
    EXPECT_EQ(emf.FontNo(), 1);
    EXPECT_EQ(emf.FontSize(), 18);
}

TEST_F(EMFFonts, SelectingAnEmptySlotDefinesTheDefaultFont)
{
    startPage();
    emf.FontNo(7);
    EXPECT_EQ(emf.FontNo(), 7);
    EXPECT_EQ(emf.FontName(), mincho);
    EXPECT_EQ(emf.fontDescription(7).lfHeight, 32);
}

TEST_F(EMFFonts, SlotNumbersOutOfRangeRaiseTheIndexError)
{
    startPage();
    QString face = mincho;
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(17, face, 9, 0, 0); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(16, face, 9, 0, 0); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(-1, face, 9, 0, 0); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.FontNo(16); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.FontNo(17); }), 9);
    EXPECT_EQ(emf.FontNo(), 1);
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(15, face, 9, 0, 0); }), 0);
}

TEST_F(EMFFonts, FaceNamesLongerThan31BytesAreRejected)
{
    startPage();
    QString fits = QString(15, QChar(u'明')) + u'A';
    QString tooLong = QString(16, QChar(u'明'));
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(2, fits, 9, 0, 0); }), 0);
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(3, tooLong, 9, 0, 0); }), 9);
}

TEST_F(EMFFonts, OrientationBeyondTheTenthsRangeOverflows)
{
    startPage();
    QString face = mincho;
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(2, face, 9, 0, 300000000); }), 6);
}

using EMFPens = SurfaceTest;

TEST_F(EMFPens, PrinterWidthThresholds)
{
    struct Case {
        int width;
        double ratio;
        QString pen;
    };
    const Case cases[] = {
        { 1, 0.2, "selectPen style=5 width=1 color=#000000" },
        { 1, 0.3, "selectPen style=0 width=1 color=#000000" },
        { 1, 1.4, "selectPen style=0 width=1 color=#000000" },
        { 1, 1.5, "selectPen style=0 width=2 color=#000000" },
        { 5, 0.5, "selectPen style=0 width=2 color=#000000" },
        { 7, 0.5, "selectPen style=0 width=4 color=#000000" },
        { -3, 1.0, "selectPen style=5 width=1 color=#000000" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width * c.ratio);
        EMF surface(std::make_shared<FakeTextMetrics>());
        surface.SetObject(sink, 0, 254, c.ratio, 2100, 2970, 0, 0);
        surface.Start();
        surface.setPenType(2, c.width, 0, 0);
        const auto* device = dynamic_cast<PageRecorder*>(surface.hDC());
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->record().dump().split(u'\n', Qt::SkipEmptyParts).last(), c.pen);
        surface.KillDoc();
    }
}

TEST_F(EMFPens, PreviewWidthThresholds)
{
    struct Case {
        int dpi;
        int width;
        int effective;
    };
    const Case cases[] = {
        { 400, 1, 0 }, // 0.24: a null pen
        { 400, 2, 1 }, // 0.48 / 4 below 1: one pixel
        { 400, 40, 2 }, // 9.6 / 4
        { 60, 3, 2 }, // penScale 1.6: 4.8 / 2
        { 40, 3, 3 }, // penScale 2.4: the width as given
        { 400, 50, 3 }, // 12 / 4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi * 1000 + c.width);
        EMF surface(std::make_shared<FakeTextMetrics>());
        surface.SetObject(preview, 0, c.dpi, 1.0, 2100, 2970, 0, 0);
        surface.Start();
        surface.setPenType(2, c.width, 0, 0);
        EXPECT_EQ(surface.PenWidth(), c.effective);
        surface.KillDoc();
    }
}

TEST_F(EMFPens, ThinPaletteAndPatternedThickPens)
{
    startPage();
    emf.setPenType(3, 1, 4, 0);
    EXPECT_EQ(emf.PenColor(), 128);
    EXPECT_EQ(emf.penStrokes(3), std::make_pair(0, 0));
    emf.setPenType(3, 5, 4, 2);
    EXPECT_EQ(emf.PenWidth(), 5);
    EXPECT_EQ(emf.PenStyle(), 2);
    EXPECT_EQ(emf.penStrokes(3), std::make_pair(-2, 3));
    emf.setPenType(4, 4, 0x123456, 1);
    EXPECT_EQ(emf.penStrokes(4), std::make_pair(-2, 2));
    emf.setPenType(5, 5, -7, 0);
    EXPECT_EQ(emf.PenColor(), -7);
    EXPECT_EQ(emf.penStrokes(5), std::make_pair(0, 0));
    EXPECT_EQ(drawn(),
        (QStringList { "selectPen style=0 width=1 color=#800000", "initialPen",
            "selectPen style=2 width=1 color=#800000", "selectPen style=1 width=1 color=#563412",
            "selectPen style=0 width=5 color=#f9ffff" }));
}

TEST_F(EMFPens, SlotRulesForSelectionAndRange)
{
    startPage();
    EXPECT_EQ(emf.PenNo(), 1);
    emf.PenNo(1);
    EXPECT_TRUE(drawn().isEmpty());
    emf.PenNo(9);
    EXPECT_EQ(drawn(), QStringList { "selectPen style=0 width=1 color=#000000" });
    EXPECT_EQ(errorNumberOf([&] { emf.setPenType(16, 2, 0, 0); }), 0);
    EXPECT_EQ(emf.PenNo(), 16);
    EXPECT_EQ(errorNumberOf([&] { emf.setPenType(17, 2, 0, 0); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.PenNo(17); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.PenNo(-1); }), 9);
}

TEST_F(EMFPens, SlotsLiveForOnePage)
{
    startPage();
    emf.setPenType(3, 9, 12, 0);
    emf.setPenType(16, 7, 12, 0);
    QString face = mincho;
    emf.setFontType(4, face, 20, 0, 0);
    emf.NewPage();
    emf.Start();
    EXPECT_EQ(emf.PenNo(), 1);
    EXPECT_EQ(emf.FontNo(), 1);
    EXPECT_EQ(emf.PenWidth(), 1);
    emf.PenNo(3);
    EXPECT_EQ(emf.PenWidth(), 1);
    EXPECT_EQ(emf.PenColor(), 0);
    emf.FontNo(4);
    EXPECT_EQ(emf.FontSize(), 9);
}

}
