#include "RenderTestSupport.h"

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::SurfaceTest;

namespace {

// The default font at 254 dpi: H = 32, W = 16; a half-width character is 16 wide, a full-width
// one 32; a new line is rnd(32 x 1.1) = 35 lower.
class EMFText : public SurfaceTest {
protected:
    void SetUp() override
    {
        startPage();
        emf.XY(100, 100);
        mark();
    }
    QStringList plain(const QString& text, int width)
    {
        QString copy = text;
        emf.LPK(copy, width);
        return drawn("textOut");
    }
    QStringList markup(const QString& text, int width = 0)
    {
        QString copy = text;
        emf.PrintLn(copy, width);
        return drawn("textOut");
    }
};

TEST_F(EMFText, PlainTextWithoutWidthLeavesThePoint)
{
    EXPECT_EQ(plain("AB", 0), QStringList { "textOut 100 100 \"AB\"" });
    EXPECT_EQ(devicePoint(), std::make_pair(100, 100));
    EXPECT_EQ(plain("CD", 0), (QStringList { "textOut 100 100 \"AB\"", "textOut 100 100 \"CD\"" }));
}

TEST_F(EMFText, WrapsByMeasurementAtAnyCharacter)
{
    struct Case {
        QString text;
        int width;
        QStringList lines;
        std::pair<int, int> end;
    };
    const Case cases[] = {
        { "ABCDEFGHIJ", 50,
            { "textOut 100 100 \"ABC\"", "textOut 100 135 \"DEF\"", "textOut 100 170 \"GHI\"",
                "textOut 100 205 \"J\"" },
            { 116, 205 } },
        { "あいうえお", 100, { "textOut 100 100 \"あいう\"", "textOut 100 135 \"えお\"" },
            { 164, 135 } },
        { "ABCD", 64, { "textOut 100 100 \"ABCD\"", "textOut 100 135 \"\"" }, { 100, 135 } },
        { "ABC", 49, { "textOut 100 100 \"ABC\"" }, { 148, 100 } },
        { QString::fromUtf8("A\xf0\xa0\x80\x8b\xf0\xa0\x80\x8b"), 50,
            { QString::fromUtf8("textOut 100 100 \"A\xf0\xa0\x80\x8b\""),
                QString::fromUtf8("textOut 100 135 \"\xf0\xa0\x80\x8b\"") },
            { 132, 135 } },
        { "WIDE", 10,
            { "textOut 100 100 \"W\"", "textOut 100 135 \"I\"", "textOut 100 170 \"D\"",
                "textOut 100 205 \"E\"" },
            { 100, 240 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        emf.XY(100, 100);
        mark();
        QStringList expected = c.lines;
        expected.removeAll("textOut 100 135 \"\"");
        EXPECT_EQ(plain(c.text, c.width), expected);
        EXPECT_EQ(devicePoint(), c.end);
    }
}

TEST_F(EMFText, SuperscriptIsSmallerRaisedAndTheRunGoesOn)
{
    EXPECT_EQ(markup("x^2y"),
        (QStringList { "textOut 100 100 \"x\"", "textOut 116 92 \"2\"", "textOut 127 100 \"y\"" }));
    EXPECT_EQ(devicePoint(), std::make_pair(143, 100));
    const QStringList fonts = drawn("selectFont");
    ASSERT_EQ(fonts.size(), 2);
    EXPECT_TRUE(fonts[0].startsWith("selectFont h=22 w=11 ")) << fonts[0].toStdString();
    EXPECT_TRUE(fonts[1].startsWith("selectFont h=32 w=0 ")) << fonts[1].toStdString();
}

TEST_F(EMFText, SubscriptBoldItalicAndGroups)
{
    EXPECT_EQ(markup("H_2O"),
        (QStringList {
            "textOut 100 100 \"H\"", "textOut 116 116 \"2\"", "textOut 127 100 \"O\"" }));
    mark();
    emf.XY(100, 100);
    EXPECT_EQ(
        markup("!{ab}|c"), (QStringList { "textOut 100 100 \"ab\"", "textOut 132 100 \"c\"" }));
    const QStringList fonts = drawn("selectFont");
    ASSERT_EQ(fonts.size(), 4);
    EXPECT_TRUE(fonts[0].contains(" weight=700 italic=0 "));
    EXPECT_TRUE(fonts[2].contains(" weight=400 italic=1 "));
}

TEST_F(EMFText, NestedModifiersCompound)
{
    markup("^{a^{b}}");
    QStringList heights;
    for (const QString& line : drawn("selectFont"))
        heights << line.section(u' ', 1, 2);
    EXPECT_EQ(heights, (QStringList { "h=22 w=11", "h=15 w=8", "h=22 w=11", "h=32 w=0" }));
    EXPECT_EQ(drawn("textOut"), (QStringList { "textOut 100 92 \"a\"", "textOut 111 87 \"b\"" }));
}

TEST_F(EMFText, EscapesJoinTheRunAndBackslashesBreakLines)
{
    EXPECT_EQ(markup("a\\^b"), (QStringList { "textOut 100 100 \"a^\"", "textOut 132 100 \"b\"" }));
    mark();
    emf.XY(100, 100);
    // Every escape draws the pending run with its character at once.
    EXPECT_EQ(markup("a\\\\\\{\\}"),
        (QStringList {
            "textOut 100 100 \"a\\\\\"", "textOut 132 100 \"{\"", "textOut 148 100 \"}\"" }));
    mark();
    emf.XY(100, 100);
    EXPECT_EQ(markup("ab\\ncd\\xe"),
        (QStringList {
            "textOut 100 100 \"ab\"", "textOut 100 135 \"cd\"", "textOut 100 170 \"xe\"" }));
}

TEST_F(EMFText, LineEnds)
{
    EXPECT_EQ(
        markup("ab\r\ncd"), (QStringList { "textOut 100 100 \"ab\"", "textOut 100 135 \"cd\"" }));
    mark();
    emf.XY(100, 100);
    EXPECT_EQ(
        markup("ab\n\rcd"), (QStringList { "textOut 100 100 \"ab\"", "textOut 100 170 \"cd\"" }));
}

TEST_F(EMFText, ClosingBraceOutsideAGroupEndsTheText)
{
    EXPECT_EQ(markup("ab}cd"), QStringList { "textOut 100 100 \"ab\"" });
    mark();
    emf.XY(100, 100);
    EXPECT_EQ(markup("x^"), QStringList { "textOut 100 100 \"x\"" });
}

TEST_F(EMFText, MathematicalLettersByClass)
{
    struct Case {
        QString text;
        QString drawnAt;
        int endX;
    };
    const Case cases[] = {
        { "#a", "textOut 100 88 \"a\"", 116 }, // 1.45: H 46, raised rnd(11.5) = 12
        { "#g", "textOut 100 93 \"g\"", 116 }, // 1.1: H 35, raised rnd(7) = 7
        { "#α", "textOut 93 89 \"α\"", 118 }, // 1.4: H 45, back 7, raised 11
        { "#β", "textOut 93 100 \"β\"", 118 }, // current font, back 7
        { "#φ", "textOut 93 93 \"φ\"", 118 }, // 1.1: H 35, back 7, raised 7
        { "#A", "textOut 100 100 \"A\"", 116 }, // grid character
        { "#漢", "textOut 100 100 \"漢\"", 132 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        emf.XY(100, 100);
        mark();
        EXPECT_EQ(markup(c.text), QStringList { c.drawnAt });
        EXPECT_EQ(devicePoint(), std::make_pair(c.endX, 100));
    }
}

TEST_F(EMFText, GridCharactersWrapWhenTheLineIsUsedUp)
{
    EXPECT_EQ(markup("#a#a#a#a", 40),
        (QStringList { "textOut 100 88 \"a\"", "textOut 116 88 \"a\"", "textOut 132 88 \"a\"",
            "textOut 100 123 \"a\"" }));
    EXPECT_EQ(devicePoint(), std::make_pair(116, 135));
    mark();
    emf.XY(100, 100);
    // A grid character is drawn before the line is found used up; the new line inside the
    // variant steps by the variant's height.
    EXPECT_EQ(markup("^A^B^C", 30),
        (QStringList { "textOut 100 92 \"A\"", "textOut 111 92 \"B\"", "textOut 122 92 \"C\"" }));
    EXPECT_EQ(devicePoint(), std::make_pair(100, 132));
}

TEST_F(EMFText, RotatedTextAdvancesAlongItsDirection)
{
    QString face = "ＭＳ 明朝";
    emf.setFontType(2, face, 9, 0, 90);
    emf.XY(100, 300);
    mark();
    EXPECT_EQ(markup("AB!C\nD"),
        (QStringList {
            "textOut 100 300 \"AB\"", "textOut 100 268 \"C\"", "textOut 135 300 \"D\"" }));
    emf.setFontType(3, face, 9, 0, 180);
    emf.XY(100, 300);
    mark();
    EXPECT_EQ(markup("AB!C"), (QStringList { "textOut 100 300 \"AB\"", "textOut 68 300 \"C\"" }));
}

TEST_F(EMFText, DeeplyNestedGroupsDoNotExhaustTheStack)
{
    const QString deep = QString(20000, u'{') + u'x';
    EXPECT_EQ(markup(deep).size(), 1);
    const QString raised = QString(10000, u'^') + QStringLiteral("{x}");
    EXPECT_NO_THROW(markup(raised));
}

}
