#include "RenderTestSupport.h"

#include <QImage>
#include <QPainter>

using namespace vorlix;
using namespace vorlix::render;

namespace {

// A recorder at 254 dpi whose frame is 200 x 200 device pixels (20 mm).
PageRecorder recorder()
{
    return PageRecorder(
        std::make_shared<FakeTextMetrics>(), 254, { 0, 0, 2000, 2000 }, { 200, 200 });
}

QStringList callLines(const PageRecord& page)
{
    return page.dump().split(u'\n', Qt::SkipEmptyParts).mid(1);
}

// Every operation once, with arguments that tell their positions apart.
void drawEveryOperation(Device& device)
{
    LogFont font;
    font.lfHeight = 40;
    font.lfWidth = 20;
    font.lfEscapement = 900;
    font.lfWeight = 700;
    font.lfItalic = true;
    font.lfFaceName = QStringLiteral("ＭＳ 明朝");
    device.moveTo(1, 2);
    device.lineTo(-3, 4);
    device.rectangle(1, 2, 3, 4);
    device.fillRect(5, 6, 7, 8, rgb(255, 16, 1));
    device.ellipse(1, 2, 3, 4);
    device.arc(1, 2, 3, 4, 5, 6, 7, 8);
    device.selectFont(font);
    device.textOut(9, 10, QStringLiteral("say \"hi\"\\\t"));
    device.textOut(9, 10, QString());
    device.selectPen({ 2, 1, rgb(0, 0, 255) });
    device.selectBrush({ true, 0 });
    device.selectBrush({ false, rgb(1, 2, 3) });
    device.selectInitialFont();
    device.selectInitialPen();
    device.setClip({ 30, 40, 10, 20 });
    device.clearClip();
    QImage image(4, 3, QImage::Format_RGB32);
    device.stretchImage(1, 2, -30, 40, image, 4, 3);
    device.fillBars({ QPointF(10.5, 20), 1.25, 2.5, true, rgb(0, 0, 128),
        std::make_shared<const std::vector<QRectF>>(
            std::vector<QRectF> { { 0, 0, 1, 6 }, { 2, 0.5, 3, 3.75 } }) });
    device.fillBars({ QPointF(1, 2), 1, 1, false, 0, {} });
}

TEST(PageRecordDump, OneStableLinePerCall)
{
    PageRecorder device = recorder();
    drawEveryOperation(device);
    const PageRecord page = device.take();
    EXPECT_TRUE(page.dump().startsWith("page dpi=254 frame=2000x2000 size=200x200\n"));
    EXPECT_EQ(callLines(page),
        (QStringList { "moveTo 1 2", "lineTo -3 4", "rectangle 1 2 3 4", "fillRect 5 6 7 8 #ff1001",
            "ellipse 1 2 3 4", "arc 1 2 3 4 5 6 7 8",
            "selectFont h=40 w=20 esc=900 weight=700 italic=1 underline=0 strikeOut=0 "
            "face=\"ＭＳ 明朝\"",
            "textOut 9 10 \"say \\\"hi\\\"\\\\\\x09\"", "selectPen style=2 width=1 color=#0000ff",
            "selectBrush hollow", "selectBrush solid #010203", "initialFont", "initialPen",
            "setClip 10 20 30 40", "clearClip", "stretchImage 1 2 -30 40 src=4x3 image=4x3",
            "fillBars 10.5,20 module=1.25x2.5 grid=square #000080 n=2 0,0,1,6 2,0.5,3,3.75" }));
    EXPECT_TRUE(device.record().isEmpty());
    EXPECT_FALSE(device.recording());
}

// Replaying a page onto a recorder records the very same page: every operation hands its
// arguments back in the order and with the values it took them.
TEST(PageRecordReplay, RecordsTheSamePageAgain)
{
    PageRecorder first = recorder();
    drawEveryOperation(first);
    for (int i = 0; i < 3; ++i)
        first.selectFont(PageRecorder::initialFont());
    const PageRecord page = first.take();
    PageRecorder second = recorder();
    page.replay(second);
    const PageRecord again = second.take();
    EXPECT_EQ(again.dump(), page.dump());
    ASSERT_EQ(again.calls().size(), page.calls().size());
    EXPECT_EQ(again.image(0).size(), QSize(4, 3));
}

TEST(PageRecordReplay, OperationsAreNamedAsInTheDump)
{
    using Op = PageRecord::Op;
    EXPECT_EQ(PageRecord::name(Op::MoveTo), "moveTo");
    EXPECT_EQ(PageRecord::name(Op::FillRect), "fillRect");
    EXPECT_EQ(PageRecord::name(Op::InitialFont), "initialFont");
    EXPECT_EQ(PageRecord::name(Op::InitialPen), "initialPen");
    EXPECT_EQ(PageRecord::name(Op::StretchImage), "stretchImage");
}

TEST(PageRecorderIdle, DrawsNowhereButKeepsTheFont)
{
    PageRecorder idle(std::make_shared<FakeTextMetrics>(), 254);
    EXPECT_FALSE(idle.recording());
    LogFont font;
    font.lfHeight = 30;
    idle.selectFont(font);
    idle.moveTo(1, 2);
    idle.textOut(1, 2, QStringLiteral("x"));
    EXPECT_TRUE(idle.record().isEmpty());
    EXPECT_EQ(idle.textExtent(QStringLiteral("AB")), QSize(30, 30));
    idle.selectInitialFont();
    EXPECT_EQ(idle.selectedFont(), PageRecorder::initialFont());
}

class PageRecordPlay : public ::testing::Test {
protected:
    PageRecorder device = recorder();

    QImage play(int size = 200)
    {
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        device.take().play(painter, QRectF(0, 0, size, size));
        return image;
    }
    static bool isWhite(const QImage& image, int x, int y)
    {
        return image.pixel(x, y) == qRgb(255, 255, 255);
    }
    static bool isDark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 100; }
    // Whether any pixel of the rectangle is dark.
    static bool anyDark(const QImage& image, const QRect& area)
    {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (isDark(image, x, y))
                    return true;
        return false;
    }
};

TEST_F(PageRecordPlay, FillsOutlinesAndHollowBrush)
{
    device.fillRect(60, 60, 10, 10, rgb(255, 0, 0));
    device.selectBrush({ true, 0 });
    device.rectangle(100, 100, 150, 150);
    const QImage image = play();
    EXPECT_EQ(image.pixel(30, 30), qRgb(255, 0, 0));
    EXPECT_TRUE(isWhite(image, 75, 75));
    EXPECT_TRUE(isDark(image, 100, 125));
    EXPECT_TRUE(isWhite(image, 125, 125));
}

TEST_F(PageRecordPlay, ScalesTheFrameIntoTheTarget)
{
    device.fillRect(10, 10, 50, 50, rgb(0, 0, 255));
    const QImage image = play(100);
    EXPECT_EQ(image.pixel(15, 15), qRgb(0, 0, 255));
    EXPECT_TRUE(isWhite(image, 30, 30));
}

TEST_F(PageRecordPlay, SolidBrushFillsEllipses)
{
    device.selectBrush({ false, rgb(0, 255, 0) });
    device.ellipse(50, 150, 150, 50);
    const QImage image = play();
    EXPECT_EQ(image.pixel(100, 100), qRgb(0, 255, 0));
    EXPECT_TRUE(isWhite(image, 55, 55));
}

TEST_F(PageRecordPlay, ArcsRunCounterClockwiseFromStartToEnd)
{
    device.arc(50, 50, 150, 150, 50, 100, 150, 100);
    const QImage image = play();
    EXPECT_TRUE(anyDark(image, QRect(95, 145, 10, 8)));
    EXPECT_FALSE(anyDark(image, QRect(60, 40, 80, 30)));
}

TEST_F(PageRecordPlay, NullPenDrawsNoLineAndDashesLeaveGaps)
{
    device.selectPen({ 5, 1, 0 });
    device.moveTo(0, 20);
    device.lineTo(200, 20);
    device.selectPen({ 1, 1, 0 });
    device.moveTo(0, 60);
    device.lineTo(200, 60);
    const QImage image = play();
    EXPECT_FALSE(anyDark(image, QRect(0, 18, 200, 5)));
    int dark = 0;
    for (int x = 0; x < 200; ++x)
        dark += isDark(image, x, 60) ? 1 : 0;
    EXPECT_GT(dark, 60);
    EXPECT_LT(dark, 190);
}

TEST_F(PageRecordPlay, ClipLimitsDrawingUntilCleared)
{
    device.setClip({ 0, 0, 100, 100 });
    device.fillRect(0, 0, 200, 200, rgb(255, 0, 0));
    device.clearClip();
    device.fillRect(150, 150, 200, 200, rgb(0, 0, 255));
    const QImage image = play();
    EXPECT_EQ(image.pixel(50, 50), qRgb(255, 0, 0));
    EXPECT_TRUE(isWhite(image, 120, 120));
    EXPECT_EQ(image.pixel(175, 175), qRgb(0, 0, 255));
}

TEST_F(PageRecordPlay, TextHangsBelowItsAnchorAndTurnsWithTheEscapement)
{
    LogFont font;
    font.lfHeight = 40;
    font.lfFaceName = QStringLiteral("ＭＳ ゴシック");
    device.selectFont(font);
    device.textOut(20, 20, QStringLiteral("■"));
    font.lfEscapement = 900;
    device.selectFont(font);
    device.textOut(100, 190, QStringLiteral("■■"));
    const QImage image = play();
    EXPECT_TRUE(anyDark(image, QRect(25, 25, 30, 30)));
    EXPECT_FALSE(anyDark(image, QRect(0, 0, 200, 18)));
    // Turned a quarter to the left: the run goes up from the anchor, the cell lies to its right.
    EXPECT_TRUE(anyDark(image, QRect(105, 120, 30, 60)));
    EXPECT_FALSE(anyDark(image, QRect(60, 110, 35, 80)));
}

TEST_F(PageRecordPlay, NegativeImageSizeMirrors)
{
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 0, 255));
    device.stretchImage(100, 0, 100, 50, picture, 2, 1);
    device.stretchImage(100, 100, -100, 50, picture, 2, 1);
    const QImage image = play();
    EXPECT_EQ(image.pixel(120, 25), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(180, 25), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(20, 125), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(80, 125), qRgb(255, 0, 0));
}

TEST(GdiTypes, PaletteAndColourNumbers)
{
    EXPECT_EQ(qbColor(0), 0);
    EXPECT_EQ(qbColor(4), 0x000080);
    EXPECT_EQ(qbColor(9), 0xff0000);
    EXPECT_EQ(qbColor(14), 0x00ffff);
    EXPECT_EQ(qbColor(15), 0xffffff);
    EXPECT_EQ(paletteOrRgb(7), 0xc0c0c0);
    EXPECT_EQ(paletteOrRgb(16), 16);
    EXPECT_EQ(paletteOrRgb(-1), -1);
    EXPECT_EQ(redOf(rgb(1, 2, 3)), 1);
    EXPECT_EQ(greenOf(rgb(1, 2, 3)), 2);
    EXPECT_EQ(blueOf(rgb(1, 2, 3)), 3);
    EXPECT_EQ((DeviceRect { 5, 6, 1, 2 }.normalized()), (DeviceRect { 1, 2, 5, 6 }));
}

}
