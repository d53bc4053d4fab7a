#include "RenderTestSupport.h"

#include <limits>

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::errorNumberOf;
using vorlix::test::mincho;
using vorlix::test::SurfaceTest;

namespace {

const QString defaultFont = QStringLiteral(
    "selectFont h=32 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=0 face=\"ＭＳ 明朝\"");

using EMFFonts = SurfaceTest;

// What the surface reports of its current font and pen.
QString readings(EMF& surface)
{
    return QStringLiteral("font %1 \"%2\" %3pt style %4 turned %5 H %6; pen %7 width %8 color %9 "
                          "style %10")
        .arg(surface.FontNo())
        .arg(surface.FontName())
        .arg(surface.FontSize())
        .arg(surface.FontStyle())
        .arg(surface.FontOrientation())
        .arg(surface.FontHeight())
        .arg(surface.PenNo())
        .arg(surface.PenWidth())
        .arg(surface.PenColor(), 6, 16, QLatin1Char('0'))
        .arg(surface.PenStyle());
}

TEST_F(EMFFonts, EveryPageStartsWithTheHollowBrushPenOneAndFontOne)
{
    bindPrinter();
    emf.Start();
    EXPECT_EQ(drawn(),
        (QStringList {
            "selectBrush hollow", "selectPen style=0 width=1 color=#000000", defaultFont }));
    EXPECT_EQ(readings(emf),
        "font 1 \"ＭＳ 明朝\" 9pt style 0 turned 0 H 32; pen 1 width 1 color 000000 style 0");
}

TEST_F(EMFFonts, ReadsTheCurrentSlot)
{
    startPage();
    QString face = QStringLiteral("ＭＳ ゴシック");
    emf.setFontType(3, face, 12.5, 1 | 2, 90);
    emf.setPenType(4, 3, 12, 2);
    // 12.5 points round to even; "H" is 44 high at 254 dpi; pen colour 12 is red.
    EXPECT_EQ(readings(emf),
        "font 3 \"ＭＳ ゴシック\" 12pt style 3 turned 90 H 44; pen 4 width 3 color 0000ff style 2");
}

TEST_F(EMFFonts, SlotsLiveForOnePage)
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

TEST_F(EMFFonts, ErrorsOfTheSlotsReachTheCaller)
{
    startPage();
    QString face = mincho;
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(16, face, 9, 0, 0); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.FontNo(17); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.PenNo(-1); }), 9);
    EXPECT_EQ(errorNumberOf([&] { emf.setFontType(2, face, 9, 0, 300000000); }), 6);
    EXPECT_EQ(emf.FontNo(), 1);
}

using EMFText = SurfaceTest;

TEST_F(EMFText, PlainTextWithoutWidthDoesNotMoveThePoint)
{
    startPage();
    emf.XY(100, 100);
    QString first = QStringLiteral("AB");
    QString second = QStringLiteral("CD");
    emf.LPK(first, 0);
    emf.LPK(second, 0);
    EXPECT_EQ(
        drawn("textOut"), (QStringList { "textOut 100 100 \"AB\"", "textOut 100 100 \"CD\"" }));
}

TEST_F(EMFText, LineWidthsAreFaceUnits)
{
    startPage(508);
    emf.XY(50, 50);
    // 50 face units are 100 pixels at 508 dpi; the default font is 64 high there, W = 32.
    QString text = QStringLiteral("ABCDEFGHIJ");
    emf.LPK(text, 50);
    EXPECT_EQ(drawn("textOut").first(), "textOut 100 100 \"ABC\"");
    EXPECT_EQ(drawn("textOut").value(1), "textOut 100 170 \"DEF\"");
    mark();
    emf.XY(50, 50);
    QString marked = QStringLiteral("x^2");
    emf.PrintLn(marked, 0);
    EXPECT_EQ(drawn("textOut"), (QStringList { "textOut 100 100 \"x\"", "textOut 132 84 \"2\"" }));
}

TEST_F(EMFText, TextFollowsTheSlotsDirection)
{
    startPage();
    QString face = mincho;
    emf.setFontType(2, face, 9, 0, 90);
    emf.XY(100, 300);
    mark();
    QString text = QStringLiteral("AB!C");
    emf.PrintLn(text, 0);
    EXPECT_EQ(
        drawn("textOut"), (QStringList { "textOut 100 300 \"AB\"", "textOut 100 268 \"C\"" }));
}

// A statement that fails inside a bold group leaves the slot's font selected: the page goes on in
// the normal weight.
TEST_F(EMFText, FailureInsideAGroupKeepsTheSlotsFont)
{
    startPage();
    emf.XY(std::numeric_limits<std::int32_t>::max() - 1, 100);
    QString bold = QStringLiteral("!{bbbb}");
    EXPECT_EQ(errorNumberOf([&] { emf.PrintLn(bold, 0); }), 6);
    emf.XY(100, 300);
    QString plain = QStringLiteral("plain2");
    emf.LPK(plain, 0);
    const QStringList fonts = drawn("selectFont");
    ASSERT_EQ(fonts.size(), 2);
    EXPECT_TRUE(fonts.first().contains(" weight=700 "));
    EXPECT_EQ(fonts.last(), defaultFont);
    EXPECT_EQ(drawn().last(), "textOut 100 300 \"plain2\"");
}

}
