#include "RenderTestSupport.h"

#include "render/TextLayout.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

using namespace vorlix;
using namespace vorlix::render;

namespace {

constexpr double pi = 3.14159265358979;

// The direction of a font turned by degrees, as its slot computes it.
TextDirection turned(std::int32_t degrees)
{
    return { degrees, std::sin(degrees * pi / 180.0), std::cos(degrees * pi / 180.0) };
}

// Text laid out on a page at 254 dpi in the default font: H = 32, W = 16; a half-width
// character is 16 wide, a full-width one 32; a new line is rnd(32 x 1.1) = 35 lower. The point
// starts at (100, 100).
class TextLayoutTest : public ::testing::Test {
protected:
    PageRecorder device { std::make_shared<FakeTextMetrics>(), 254, { 0, 0, 21000, 29700 },
        { 2100, 2970 } };
    Point point { 100, 100 };
    TextDirection direction;
    // The slot's font as selected (the face's own proportion) and its metrics.
    LogFont selected;
    LogFont metrics;

    void SetUp() override
    {
        selected.lfHeight = 32;
        selected.lfFaceName = QStringLiteral("ＭＳ 明朝");
        metrics = selected;
        metrics.lfWidth = 16;
        device.selectFont(selected);
        mark();
    }
    void mark() { m_mark = device.record().calls().size(); }
    void moveTo(int x, int y)
    {
        point = { x, y };
        mark();
    }
    [[nodiscard]] QStringList drawn(const QString& kind)
    {
        return vorlix::test::dumpLines(device.record(), m_mark)
            .filter(QRegularExpression(u'^' + kind + u' '));
    }
    [[nodiscard]] std::pair<int, int> devicePoint() const { return { point.x, point.y }; }
    static std::optional<std::int32_t> widthOf(int width)
    {
        return width < 1 ? std::nullopt : std::optional(width);
    }
    QStringList plain(const QString& text, int width)
    {
        TextLayout(device, point, direction, metrics).LPK(text, widthOf(width));
        return drawn("textOut");
    }
    QStringList markup(const QString& text, int width = 0)
    {
        TextLayout(device, point, direction, metrics).PrintLn(text, widthOf(width));
        return drawn("textOut");
    }

private:
    std::size_t m_mark = 0;
};

TEST_F(TextLayoutTest, PlainTextWithoutWidthLeavesThePoint)
{
    EXPECT_EQ(plain("AB", 0), QStringList { "textOut 100 100 \"AB\"" });
    EXPECT_EQ(devicePoint(), std::make_pair(100, 100));
    EXPECT_EQ(plain("CD", 0), (QStringList { "textOut 100 100 \"AB\"", "textOut 100 100 \"CD\"" }));
}

TEST_F(TextLayoutTest, WrapsByMeasurementAtAnyCharacter)
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
        moveTo(100, 100);
        QStringList expected = c.lines;
        expected.removeAll("textOut 100 135 \"\"");
        EXPECT_EQ(plain(c.text, c.width), expected);
        EXPECT_EQ(devicePoint(), c.end);
    }
}

// Fixed metrics that count the characters they measure, and where asked draw "fi" as one
// half-width ligature: its characters then do not add up to the text they stand in.
class CountingMetrics final : public TextMetrics {
public:
    explicit CountingMetrics(bool ligatures)
        : m_ligatures(ligatures)
    {
    }
    [[nodiscard]] QSize extent(const LogFont& font, const QString& text, int dpi) const override
    {
        m_measured += text.size();
        QSize cell = m_fixed.extent(font, text, dpi);
        if (m_ligatures)
            cell.rwidth() -= static_cast<int>(text.count(QStringLiteral("fi"))) * cell.height() / 2;
        return cell;
    }
    [[nodiscard]] QSize pointExtent(const QString& face, double size, bool bold, bool italic,
        const QString& text, int dpi) const override
    {
        return m_fixed.pointExtent(face, size, bold, italic, text, dpi);
    }
    [[nodiscard]] qsizetype measured() const { return m_measured; }

private:
    FakeTextMetrics m_fixed;
    bool m_ligatures;
    mutable qsizetype m_measured = 0;
};

TEST(TextLayoutWrapping, MeasuresALongRunOnceAndBreaksWhereItsPartsMeasure)
{
    struct Case {
        bool ligatures;
        QString text;
        int width;
        QStringList lines;
    };
    // "fifififi" measures 64 with ligatures: "fifi" (32) fits a line of 40, "fifif" (48) does not.
    const Case cases[] = {
        { false, "fifififi", 40, { "fi", "fi", "fi", "fi" } },
        { true, "fifififi", 40, { "fifi", "fifi" } },
        { false, QString(3000, u'あ'), 40, QStringList(3000, "あ") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.left(8).toStdString());
        const auto metrics = std::make_shared<CountingMetrics>(c.ligatures);
        PageRecorder device(metrics, 254, { 0, 0, 21000, 29700 }, { 2100, 2970 });
        LogFont font;
        font.lfHeight = 32;
        device.selectFont(font);
        Point point { 100, 100 };
        TextLayout(device, point, {}, font).LPK(c.text, c.width);
        QStringList lines;
        for (const QString& line : vorlix::test::dumpLines(device.record()).filter("textOut"))
            lines << line.section(u'"', 1, 1);
        EXPECT_EQ(lines, c.lines);
        // Each line measured again would make millions for the long run.
        EXPECT_LE(metrics->measured(), 8 * c.text.size());
    }
}

TEST_F(TextLayoutTest, SuperscriptIsSmallerRaisedAndTheRunGoesOn)
{
    EXPECT_EQ(markup("x^2y"),
        (QStringList { "textOut 100 100 \"x\"", "textOut 116 92 \"2\"", "textOut 127 100 \"y\"" }));
    EXPECT_EQ(devicePoint(), std::make_pair(143, 100));
    const QStringList fonts = drawn("selectFont");
    ASSERT_EQ(fonts.size(), 2);
    EXPECT_TRUE(fonts[0].startsWith("selectFont h=22 w=11 ")) << fonts[0].toStdString();
    EXPECT_TRUE(fonts[1].startsWith("selectFont h=32 w=0 ")) << fonts[1].toStdString();
}

TEST_F(TextLayoutTest, SubscriptBoldItalicAndGroups)
{
    EXPECT_EQ(markup("H_2O"),
        (QStringList {
            "textOut 100 100 \"H\"", "textOut 116 116 \"2\"", "textOut 127 100 \"O\"" }));
    moveTo(100, 100);
    EXPECT_EQ(
        markup("!{ab}|c"), (QStringList { "textOut 100 100 \"ab\"", "textOut 132 100 \"c\"" }));
    const QStringList fonts = drawn("selectFont");
    ASSERT_EQ(fonts.size(), 4);
    EXPECT_TRUE(fonts[0].contains(" weight=700 italic=0 "));
    EXPECT_TRUE(fonts[2].contains(" weight=400 italic=1 "));
}

TEST_F(TextLayoutTest, NestedModifiersCompound)
{
    markup("^{a^{b}}");
    QStringList heights;
    for (const QString& line : drawn("selectFont"))
        heights << line.section(u' ', 1, 2);
    EXPECT_EQ(heights, (QStringList { "h=22 w=11", "h=15 w=8", "h=22 w=11", "h=32 w=0" }));
    EXPECT_EQ(drawn("textOut"), (QStringList { "textOut 100 92 \"a\"", "textOut 111 87 \"b\"" }));
}

TEST_F(TextLayoutTest, EscapesJoinTheRunAndBackslashesBreakLines)
{
    EXPECT_EQ(markup("a\\^b"), (QStringList { "textOut 100 100 \"a^\"", "textOut 132 100 \"b\"" }));
    moveTo(100, 100);
    // Every escape draws the pending run with its character at once.
    EXPECT_EQ(markup("a\\\\\\{\\}"),
        (QStringList {
            "textOut 100 100 \"a\\\\\"", "textOut 132 100 \"{\"", "textOut 148 100 \"}\"" }));
    moveTo(100, 100);
    EXPECT_EQ(markup("ab\\ncd\\xe"),
        (QStringList {
            "textOut 100 100 \"ab\"", "textOut 100 135 \"cd\"", "textOut 100 170 \"xe\"" }));
}

TEST_F(TextLayoutTest, LineEnds)
{
    EXPECT_EQ(
        markup("ab\r\ncd"), (QStringList { "textOut 100 100 \"ab\"", "textOut 100 135 \"cd\"" }));
    moveTo(100, 100);
    EXPECT_EQ(
        markup("ab\n\rcd"), (QStringList { "textOut 100 100 \"ab\"", "textOut 100 170 \"cd\"" }));
}

TEST_F(TextLayoutTest, ClosingBraceOutsideAGroupEndsTheText)
{
    EXPECT_EQ(markup("ab}cd"), QStringList { "textOut 100 100 \"ab\"" });
    moveTo(100, 100);
    EXPECT_EQ(markup("x^"), QStringList { "textOut 100 100 \"x\"" });
}

TEST_F(TextLayoutTest, MathematicalLettersByClass)
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
        moveTo(100, 100);
        EXPECT_EQ(markup(c.text), QStringList { c.drawnAt });
        EXPECT_EQ(devicePoint(), std::make_pair(c.endX, 100));
    }
}

TEST_F(TextLayoutTest, GridCharactersWrapWhenTheLineIsUsedUp)
{
    EXPECT_EQ(markup("#a#a#a#a", 40),
        (QStringList { "textOut 100 88 \"a\"", "textOut 116 88 \"a\"", "textOut 132 88 \"a\"",
            "textOut 100 123 \"a\"" }));
    EXPECT_EQ(devicePoint(), std::make_pair(116, 135));
    moveTo(100, 100);
    // A grid character is drawn before the line is found used up; the new line inside the
    // variant steps by the variant's height.
    EXPECT_EQ(markup("^A^B^C", 30),
        (QStringList { "textOut 100 92 \"A\"", "textOut 111 92 \"B\"", "textOut 122 92 \"C\"" }));
    EXPECT_EQ(devicePoint(), std::make_pair(100, 132));
}

TEST_F(TextLayoutTest, RotatedTextAdvancesAlongItsDirection)
{
    direction = turned(90);
    moveTo(100, 300);
    EXPECT_EQ(markup("AB!C\nD"),
        (QStringList {
            "textOut 100 300 \"AB\"", "textOut 100 268 \"C\"", "textOut 135 300 \"D\"" }));
    direction = turned(180);
    moveTo(100, 300);
    EXPECT_EQ(markup("AB!C"), (QStringList { "textOut 100 300 \"AB\"", "textOut 68 300 \"C\"" }));
}

TEST_F(TextLayoutTest, DeeplyNestedGroupsDoNotExhaustTheStack)
{
    const QString deep = QString(20000, u'{') + u'x';
    EXPECT_EQ(markup(deep).size(), 1);
    const QString raised = QString(10000, u'^') + QStringLiteral("{x}");
    EXPECT_NO_THROW(markup(raised));
}

// A statement that fails inside a variant group leaves the font as it was before the group:
// the next text is drawn in the slot's font, not in the variant.
TEST_F(TextLayoutTest, FailureInsideAVariantRestoresTheFontBeforeIt)
{
    constexpr int nearEnd = std::numeric_limits<std::int32_t>::max() - 1;
    const QString normal = vorlix::test::dumpLines(device.record()).last();
    const QString texts[] = { "!{bbbb}", "^{a^{bb}}", "|x#aaaa", "#a#a" };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        moveTo(nearEnd, 100);
        EXPECT_EQ(vorlix::test::errorNumberOf([&] { markup(text); }), 6);
        const QStringList fonts = drawn("selectFont");
        ASSERT_GE(fonts.size(), 2);
        EXPECT_EQ(fonts.last(), normal);
        EXPECT_EQ(device.selectedFont(), selected);
    }
}

// Enlarged letters and variant groups each select their font for themselves only.
TEST_F(TextLayoutTest, EveryVariantIsUndoneWhenItsGroupEnds)
{
    markup("!a#a|{b}^c_d");
    const QStringList fonts = drawn("selectFont");
    ASSERT_EQ(fonts.size(), 10);
    for (int i = 1; i < fonts.size(); i += 2)
        EXPECT_EQ(fonts[i], vorlix::test::dumpLines(device.record()).first()) << i;
    EXPECT_EQ(device.selectedFont(), selected);
}

}
