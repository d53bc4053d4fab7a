#include "RenderTestSupport.h"

#include "render/SurfaceMapping.h"

#include <limits>

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::errorNumberOf;

namespace {

// A mapping bound and opened as given; at 254 dpi one face unit is one device pixel.
SurfaceMapping opened(bool preview, int dpi, double ratio = 1.0, int width = 2100,
    int height = 2970, double boxTwips = 0.0)
{
    SurfaceMapping mapping;
    mapping.bind(preview, dpi, ratio, width, height, 30, 40);
    mapping.openPage(boxTwips);
    mapping.home(0, 0, 0);
    return mapping;
}

Point mapped(const SurfaceMapping& mapping, int x, int y)
{
    Point point;
    mapping.MapPoint(x, y, point);
    return point;
}

TEST(SurfaceMapping, BindingByTargetKind)
{
    struct Case {
        const char* name;
        bool preview;
        int dpi;
        double ratio;
        double boxTwips;
        double penScale;
        double fontScale;
        int margin;
        DeviceRect frame;
        QSize deviceSize;
        int referenceDpi;
    };
    const Case cases[] = {
        { "printer", false, 400, 1.0, 0, 1.0, 1.0, 0, { 0, 0, 21000, 29700 }, { 3307, 4677 }, 400 },
        { "printer zoomed", false, 400, 2.0, 0, 2.0, 2.0, 0, { 0, 0, 42000, 59400 }, { 6614, 9354 },
            400 },
        { "printer at 254", false, 254, 0.5, 0, 0.5, 0.5, 0, { 0, 0, 10500, 14850 }, { 1050, 1485 },
            254 },
        // The preview scales pens by screen pixels per inch over the DPI at the zoom and keeps
        // the margins.
        { "preview", true, 400, 1.0, 0, 0.24, 1.0, 30, { 0, 0, 21000, 29700 }, { 794, 1123 }, 96 },
        { "preview zoomed", true, 254, 2.0, 0, 192.0 / 254.0, 2.0, 30, { 0, 0, 42000, 59400 },
            { 1587, 2245 }, 96 },
        // A box half the page's width shows fonts at twice their size.
        { "preview box", true, 400, 1.0, 397 * 15.0, 0.24, 2.0, 30, { 0, 0, 21000, 29700 },
            { 794, 1123 }, 96 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SurfaceMapping m = opened(c.preview, c.dpi, c.ratio, 2100, 2970, c.boxTwips);
        EXPECT_EQ(m.isPreview(), c.preview);
        EXPECT_DOUBLE_EQ(m.penScale(), c.penScale);
        EXPECT_DOUBLE_EQ(m.fontScale(), c.fontScale);
        EXPECT_EQ(m.marginX(), c.margin);
        EXPECT_EQ(m.marginY(), c.margin == 0 ? 0 : 40);
        EXPECT_EQ(m.frame(), c.frame);
        EXPECT_EQ(m.deviceSize(), c.deviceSize);
        EXPECT_EQ(m.referenceDpi(), c.referenceDpi);
    }
}

TEST(SurfaceMapping, FrameRoundsHalfToEven)
{
    SurfaceMapping mapping;
    mapping.bind(false, 400, 0.25, 1, 3, 0, 0);
    EXPECT_EQ(mapping.frame(), (DeviceRect { 0, 0, 2, 8 }));
}

TEST(SurfaceMapping, EveryAxisModeMapsFacePointsAsTheTableSays)
{
    struct Case {
        int mode;
        Point point;
        double scaleX;
        double scaleY;
    };
    const Case cases[] = {
        { 0, { 110, 220 }, 1, 1 },
        { 1, { 90, 220 }, -1, 1 },
        { 2, { 110, 180 }, 1, -1 },
        { 3, { 90, 180 }, -1, -1 },
        { 4, { 120, 210 }, 1, 1 },
        { 5, { 120, 190 }, 1, -1 },
        { 6, { 80, 210 }, -1, 1 },
        { 7, { 80, 190 }, -1, -1 },
        { 9, { 120, 210 }, 1, 1 },
        { -1, { 110, 220 }, 1, 1 },
    };
    SurfaceMapping m = opened(false, 254);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        m.home(c.mode, 100, 200);
        EXPECT_EQ(m.mode(), c.mode);
        EXPECT_EQ(mapped(m, 10, 20), c.point);
        EXPECT_DOUBLE_EQ(m.scaleX(), c.scaleX);
        EXPECT_DOUBLE_EQ(m.scaleY(), c.scaleY);
    }
}

TEST(SurfaceMapping, LengthsAndSingleCoordinatesFollowTheAxes)
{
    SurfaceMapping m = opened(false, 254);
    m.home(1, 500, 0);
    EXPECT_EQ(m.LenX(100), -100);
    EXPECT_EQ(m.LenY(50), 50);
    EXPECT_EQ(m.MapX(10), 490);
    m.home(5, 0, 500);
    // Face x runs along device y, upwards; face y along device x.
    EXPECT_EQ(m.LenX(100), -100);
    EXPECT_EQ(m.LenY(50), 50);
    EXPECT_EQ(m.MapX(10), 490);
    EXPECT_EQ(m.MapY(20), 20);
    Point point { 7, 8 };
    m.moveX(30, point);
    EXPECT_EQ(point, (Point { 7, 470 }));
    m.moveY(40, point);
    EXPECT_EQ(point, (Point { 40, 470 }));
    m.home(0, 0, 0);
    m.moveX(30, point);
    EXPECT_EQ(point, (Point { 30, 470 }));
}

// A shift moves face points along the face's own axes, adds up, outlives a new origin and ends
// with the page.
TEST(SurfaceMapping, ShiftMovesFacePointsAsIfTheyWereFurtherOn)
{
    SurfaceMapping m = opened(false, 254);
    for (const int mode : { 0, 3, 5 }) {
        SCOPED_TRACE(mode);
        m.home(mode, 500, 600);
        const Point unshifted = mapped(m, 40, 70);
        m.shift(10, 20);
        m.shift(30, 50);
        m.home(mode, 500, 600);
        EXPECT_EQ(mapped(m, 0, 0), unshifted);
        EXPECT_EQ(m.MapY(0), mode == 5 ? unshifted.x : unshifted.y);
        m.shift(-40, -70);
    }
    m.shift(0, 100);
    m.openPage(0.0);
    m.home(0, 0, 0);
    EXPECT_EQ(mapped(m, 1, 2), (Point { 1, 2 }));
    m.shift(std::numeric_limits<std::int32_t>::max(), 0);
    EXPECT_EQ(errorNumberOf([&] { m.shift(1, 0); }), 6);
}

TEST(SurfaceMapping, A4PageTurnedAroundAndSwapped)
{
    SurfaceMapping m = opened(false, 400);
    m.home(3, 2100, 2970);
    EXPECT_EQ(mapped(m, 0, 0), (Point { 3307, 4677 }));
    EXPECT_EQ(mapped(m, 2100, 2970), (Point { 0, 0 }));
    m.home(4, 0, 0);
    // 100 x 4677 / 2970 = 157.47
    EXPECT_EQ(mapped(m, 100, 0), (Point { 0, 157 }));
}

TEST(SurfaceMapping, RoundsHalfToEven)
{
    struct Case {
        int x;
        int y;
        Point point;
    };
    // At 127 dpi one face unit is half a device pixel.
    const Case cases[] = {
        { 5, 7, { 2, 4 } },
        { -3, -5, { -2, -2 } },
        { 1, 3, { 0, 2 } },
        { 4, 6, { 2, 3 } },
    };
    const SurfaceMapping m = opened(false, 127);
    for (const Case& c : cases)
        EXPECT_EQ(mapped(m, c.x, c.y), c.point) << c.x;
}

TEST(SurfaceMapping, LagMovesPrintedOutputOnly)
{
    for (const bool preview : { false, true }) {
        SurfaceMapping m = opened(preview, 254, preview ? 2.54 / 0.96 : 1.0);
        m.setLag(10, 20);
        m.home(0, 100, 100);
        EXPECT_EQ(mapped(m, 0, 0), preview ? (Point { 100, 100 }) : (Point { 110, 120 }))
            << preview;
    }
}

TEST(SurfaceMapping, OverflowsAndAnEmptyPageRaiseErrors)
{
    constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    const SurfaceMapping doubled = opened(false, 508);
    Point point { 1, 2 };
    EXPECT_EQ(errorNumberOf([&] { doubled.MapPoint(5, largest, point); }), 6);
    // The first coordinate is set before the second fails.
    EXPECT_EQ(point, (Point { 10, 2 }));
    EXPECT_EQ(errorNumberOf([&] { (void)doubled.LenX(largest); }), 6);

    SurfaceMapping lagged = opened(false, 254);
    lagged.setLag(largest, 0);
    EXPECT_EQ(errorNumberOf([&] { lagged.home(0, 1, 0); }), 6);

    SurfaceMapping empty;
    empty.bind(false, 400, 1.0, 0, 2970, 0, 0);
    empty.openPage(0.0);
    EXPECT_EQ(errorNumberOf([&] { empty.home(0, 0, 0); }), 6);
    SurfaceMapping noResolution;
    EXPECT_EQ(errorNumberOf([&] { noResolution.bind(true, 0, 1.0, 2100, 2970, 0, 0); }), 11);
}

TEST(SurfaceMapping, PlaybackRectangleInPixelsOfTheTarget)
{
    // 21000 / 3.6 x 0.567 comes out just below 3307.5 in doubles.
    EXPECT_EQ(opened(false, 400).playbackRect(), QRect(0, 0, 3307, 4678));
    EXPECT_EQ(opened(false, 254).playbackRect(), QRect(0, 0, 2100, 2970));
    EXPECT_EQ(opened(true, 400).playbackRect(), QRect(0, 0, 794, 1123));
}

}
