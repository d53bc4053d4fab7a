#include "RenderTestSupport.h"

#include "render/SlotTable.h"

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::dumpLines;
using vorlix::test::errorNumberOf;
using vorlix::test::mincho;

namespace {

// A slot table on a recording page at 254 dpi with fixed metrics: 9 points give a cell of 32.
class SlotTableTest : public ::testing::Test {
protected:
    PageRecorder device { std::make_shared<FakeTextMetrics>(), 254, { 0, 0, 21000, 29700 },
        { 2100, 2970 } };
    FakeTextMetrics metrics;
    SlotTable table;
    SlotContext context { device, metrics, 254, 1.0, 1.0, false };

    // The dump lines recorded so far.
    [[nodiscard]] QStringList recorded() const { return dumpLines(device.record()); }
};

TEST_F(SlotTableTest, SelectingAnEmptySlotDefinesTheDefaultFontAndMeasuresIt)
{
    table.FontNo(1, context);
    EXPECT_EQ(table.FontNo(), 1);
    EXPECT_EQ(table.currentFont().faceName, mincho);
    EXPECT_DOUBLE_EQ(table.currentFont().size, 9.0);
    // The font is selected as defined (a cell of rnd(31.75)); its metrics come from the
    // full-width circle measured in it: H 32, W 16.
    EXPECT_EQ(recorded(),
        QStringList { "selectFont h=32 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=0 "
                      "face=\"ＭＳ 明朝\"" });
    EXPECT_EQ(table.description(1).lfHeight, 32);
    EXPECT_EQ(table.description(1).lfWidth, 16);
    EXPECT_EQ(table.currentDescription(), table.description(1));
}

TEST_F(SlotTableTest, DefinitionsCarryStyleBitsScaleAndDirection)
{
    struct Case {
        double size;
        std::int32_t flags;
        std::int32_t orientation;
        double fontScale;
        QString font;
    };
    const Case cases[] = {
        { 12, 0, 0, 1.0, "h=42 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=0" },
        { 12, 1 | 2 | 4 | 8, 90, 1.0,
            "h=42 w=0 esc=900 weight=700 italic=1 underline=1 strikeOut=1" },
        { 9, 2, -45, 2.0, "h=64 w=0 esc=-450 weight=400 italic=1 underline=0 strikeOut=0" },
        { 10.5, 8, 0, 1.0, "h=37 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=1" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font.toStdString());
        SlotTable defined;
        SlotContext scaled = context;
        scaled.fontScale = c.fontScale;
        defined.setFontType(3, mincho, c.size, c.flags, c.orientation, scaled);
        EXPECT_EQ(defined.FontNo(), 3);
        EXPECT_EQ(recorded().last(), "selectFont " + c.font + " face=\"ＭＳ 明朝\"");
        EXPECT_EQ(defined.direction().orientation, c.orientation);
        EXPECT_NEAR(defined.direction().sinA, std::sin(c.orientation * M_PI / 180.0), 1e-12);
    }
}

TEST_F(SlotTableTest, SelectingTheCurrentSlotDoesNothing)
{
    table.FontNo(1, context);
    table.PenNo(1, context);
    const auto before = device.record().calls().size();
    table.FontNo(1, context);
    table.PenNo(1, context);
    EXPECT_EQ(device.record().calls().size(), before);
}

TEST_F(SlotTableTest, RedefiningTheCurrentSlotDeselectsItFirst)
{
    table.FontNo(1, context);
    table.setPenType(2, 1, 0, 0, context);
    table.setFontType(1, mincho, 18, 0, 0, context);
    table.setPenType(2, 3, 0, 0, context);
    EXPECT_EQ(recorded().mid(2),
        (QStringList { "initialFont",
            "selectFont h=64 w=0 esc=0 weight=400 italic=0 underline=0 strikeOut=0 "
            "face=\"ＭＳ 明朝\"",
            "initialPen", "selectPen style=0 width=3 color=#000000" }));
    EXPECT_DOUBLE_EQ(table.currentFont().size, 18.0);
    EXPECT_EQ(table.currentPen().width, 3);
}

TEST_F(SlotTableTest, SlotNumbersAndFaceNamesOutOfRangeRaiseTheIndexError)
{
    struct Case {
        const char* call;
        std::function<void()> run;
        int error;
    };
    const QString fits = QString(15, QChar(u'明')) + u'A';
    const QString tooLong = QString(16, QChar(u'明'));
    const Case cases[] = {
        { "font 17", [&] { table.setFontType(17, mincho, 9, 0, 0, context); }, 9 },
        { "font 16", [&] { table.setFontType(16, mincho, 9, 0, 0, context); }, 9 },
        { "font -1", [&] { table.setFontType(-1, mincho, 9, 0, 0, context); }, 9 },
        { "select 16", [&] { table.FontNo(16, context); }, 9 },
        { "select 17", [&] { table.FontNo(17, context); }, 9 },
        { "31 bytes", [&] { table.setFontType(2, fits, 9, 0, 0, context); }, 0 },
        { "32 bytes", [&] { table.setFontType(3, tooLong, 9, 0, 0, context); }, 9 },
        { "turned too far", [&] { table.setFontType(4, mincho, 9, 0, 300000000, context); }, 6 },
        { "font 15", [&] { table.setFontType(15, mincho, 9, 0, 0, context); }, 0 },
        { "pen 16", [&] { table.setPenType(16, 2, 0, 0, context); }, 0 },
        { "pen 17", [&] { table.setPenType(17, 2, 0, 0, context); }, 9 },
        { "select pen 17", [&] { table.PenNo(17, context); }, 9 },
        { "select pen -1", [&] { table.PenNo(-1, context); }, 9 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorNumberOf(c.run), c.error) << c.call;
    EXPECT_EQ(table.FontNo(), 15);
    EXPECT_EQ(table.PenNo(), 16);
}

TEST_F(SlotTableTest, ReadingWithoutASelectionRaisesTheIndexError)
{
    EXPECT_EQ(errorNumberOf([&] { (void)table.currentFont(); }), 9);
    EXPECT_EQ(errorNumberOf([&] { (void)table.currentPen(); }), 9);
    EXPECT_EQ(table.strokes(), std::make_pair(0, 0));
    EXPECT_EQ(table.direction().orientation, 0);
    EXPECT_EQ(table.currentDescription(), PageRecorder::initialFont());
}

TEST(SlotTablePens, PrinterWidthThresholds)
{
    struct Case {
        int width;
        double penScale;
        int effective;
        PenDesc pen;
    };
    const Case cases[] = {
        { 1, 0.2, 0, { 5, 1, 0 } },
        { 1, 0.3, 1, { 0, 1, 0 } },
        { 1, 1.4, 1, { 0, 1, 0 } },
        { 1, 1.5, 2, { 0, 2, 0 } },
        { 5, 0.5, 2, { 0, 2, 0 } }, // 2.5 rounds to even
        { 7, 0.5, 4, { 0, 4, 0 } },
        { -3, 1.0, 0, { 5, 1, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width * c.penScale);
        const SlotTable::PenSlot slot = SlotTable::definePen(c.width, 0, 0, c.penScale, false);
        EXPECT_EQ(slot.width, c.effective);
        EXPECT_EQ(slot.pen, c.pen);
    }
}

TEST(SlotTablePens, PreviewShowsThePrintedWidth)
{
    struct Case {
        double penScale;
        int width;
        int effective;
    };
    const Case cases[] = {
        { 0.24, 0, 0 }, // prints nothing: a null pen
        { 0.24, 1, 1 }, // prints one dot: never thinner than a pixel
        { 0.24, 95, 23 }, // 6 mm at 400 dpi on a 96-dpi screen
        { 0.48, 95, 46 }, // the same at 200 %
        { 0.24, 20, 5 }, // 4.8
        { 96.0 / 254.0, 3, 1 }, // 1.13 at 254 dpi
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.penScale * 1000 + c.width);
        EXPECT_EQ(SlotTable::definePen(c.width, 0, 0, c.penScale, true).width, c.effective);
    }
}

TEST(SlotTablePens, PaletteColoursAndPatternedThickPens)
{
    struct Case {
        int width;
        int color;
        int style;
        PenDesc pen;
        std::pair<int, int> strokes;
    };
    const Case cases[] = {
        { 1, 4, 0, { 0, 1, 128 }, { 0, 0 } },
        // Thick and patterned: six one-pixel strokes, rnd(-2.5) = -2 to 3.
        { 5, 4, 2, { 2, 1, 128 }, { -2, 3 } },
        { 4, 0x123456, 1, { 1, 1, 0x123456 }, { -2, 2 } },
        // Thick and solid: one wide stroke; a negative colour is kept as it is.
        { 5, -7, 0, { 0, 5, -7 }, { 0, 0 } },
        { 1, 15, 3, { 3, 1, 0xffffff }, { 0, 0 } },
        // Up to 64 units wide a patterned pen is drawn stroke by stroke, wider as one stroke.
        { 64, 0, 1, { 1, 1, 0 }, { -32, 32 } },
        { 65, 0, 1, { 1, 65, 0 }, { 0, 0 } },
        { 1000000, 0, 4, { 4, 1000000, 0 }, { 0, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width * 100 + c.style);
        const SlotTable::PenSlot slot = SlotTable::definePen(c.width, c.color, c.style, 1.0, false);
        EXPECT_EQ(slot.pen, c.pen);
        EXPECT_EQ(std::make_pair(slot.strokeFrom, slot.strokeTo), c.strokes);
        EXPECT_EQ(slot.style, c.style);
    }
}

TEST_F(SlotTableTest, ReleaseBlanksEverySlotButKeepsTheDescriptions)
{
    table.setPenType(3, 9, 12, 0, context);
    table.setPenType(16, 7, 12, 0, context);
    table.setFontType(4, mincho, 20, 0, 0, context);
    const LogFont measured = table.description(4);
    table.release();
    EXPECT_EQ(table.FontNo(), -1);
    EXPECT_EQ(table.PenNo(), -1);
    EXPECT_EQ(table.description(4), measured);
    // The last selection still gives the text metrics until a slot is selected again.
    EXPECT_EQ(table.currentDescription(), measured);
    table.PenNo(3, context);
    EXPECT_EQ(table.currentPen().width, 1);
    EXPECT_EQ(table.currentPen().color, 0);
    table.FontNo(4, context);
    EXPECT_DOUBLE_EQ(table.currentFont().size, 9.0);
}

}
