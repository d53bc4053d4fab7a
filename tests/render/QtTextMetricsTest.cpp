#include "RenderTestSupport.h"

#include "render/QtFontCache.h"
#include "render/QtTextMetrics.h"

#include <QFontInfo>

using namespace vorlix;
using namespace vorlix::render;

namespace {

LogFont described(const QString& face, int height, int width = 0)
{
    LogFont font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfFaceName = face;
    return font;
}

TEST(FontSubstitution, WindowsFaceNamesFindTheInstalledFaces)
{
    struct Case {
        QString windowsName;
        QString family;
    };
    const Case cases[] = {
        { "ＭＳ 明朝", "IPAMincho" },
        { "MS Mincho", "IPAMincho" },
        { "ＭＳ Ｐ明朝", "IPAPMincho" },
        { "ＭＳ ゴシック", "IPAGothic" },
        { "MS Gothic", "IPAGothic" },
        { "ＭＳ Ｐゴシック", "IPAPGothic" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windowsName.toStdString());
        const QFont font = QtFontCache::pointFont(c.windowsName, 9, false, false);
        EXPECT_EQ(QFontInfo(font).family(), c.family);
    }
    EXPECT_TRUE(QFontInfo(QtFontCache::pointFont("Terminal", 9, false, false)).fixedPitch());
}

TEST(QtTextMetrics, PointSizesAreMeasuredAtTheReferenceResolution)
{
    const QtTextMetrics metrics;
    const QSize at400 = metrics.pointExtent("ＭＳ 明朝", 9, false, false, "A", 400);
    const QSize at200 = metrics.pointExtent("ＭＳ 明朝", 9, false, false, "A", 200);
    const QSize at96 = metrics.pointExtent("ＭＳ 明朝", 9, false, false, "A", 96);
    // 9 points are 50 pixels at 400 dpi; the cell is a little taller than the em.
    EXPECT_GE(at400.height(), 50);
    EXPECT_LE(at400.height(), 56);
    EXPECT_NEAR(at400.height(), 2 * at200.height(), 1);
    EXPECT_NEAR(at400.height() * 96.0 / 400.0, at96.height(), 1);
    EXPECT_EQ(metrics.pointExtent("ＭＳ 明朝", 0, false, false, "A", 400), QSize(0, 0));
}

TEST(QtTextMetrics, DescriptionHeightIsTheCellHeight)
{
    const QtTextMetrics metrics;
    for (const int height : { 12, 32, 50, 133 }) {
        SCOPED_TRACE(height);
        const QSize full = metrics.extent(described("ＭＳ 明朝", height), "漢字", 400);
        const QSize half = metrics.extent(described("ＭＳ 明朝", height), "AB", 400);
        EXPECT_NEAR(full.height(), height, 1);
        // The em of the IPA faces is a little smaller than their cell; a half-width character
        // is half a full-width one.
        EXPECT_LE(full.width(), 2 * height);
        EXPECT_GE(full.width(), 2 * height * 0.85);
        EXPECT_NEAR(half.width() * 2, full.width(), 2);
    }
}

TEST(QtTextMetrics, WidthStretchesTheFace)
{
    const QtTextMetrics metrics;
    const QSize natural = metrics.extent(described("ＭＳ 明朝", 50), "○", 400);
    const QSize narrow = metrics.extent(described("ＭＳ 明朝", 50, 12), "○", 400);
    const QSize wide = metrics.extent(described("ＭＳ 明朝", 50, 40), "○", 400);
    EXPECT_NEAR(narrow.width(), 24, 1);
    EXPECT_NEAR(wide.width(), 80, 2);
    EXPECT_EQ(narrow.height(), natural.height());
}

TEST(QtTextMetrics, ProportionalFacesAreProportional)
{
    const QtTextMetrics metrics;
    const LogFont fixed = described("ＭＳ 明朝", 50);
    const LogFont proportional = described("ＭＳ Ｐ明朝", 50);
    EXPECT_EQ(metrics.extent(fixed, "i", 400).width(), metrics.extent(fixed, "W", 400).width());
    EXPECT_LT(metrics.extent(proportional, "i", 400).width(),
        metrics.extent(proportional, "W", 400).width());
}

}
