#include "lang/CECurve.h"
#include "tests/support/RunErrorNumber.h"

#include <gtest/gtest.h>

#include <cmath>

using vorlix::lang::CECurve;

namespace {

using Points = std::vector<CECurve::PointRow>;

CECurve curveThrough(const Points& points)
{
    CECurve curve;
    curve.Init(points, 0, 1, 0, static_cast<std::int32_t>(points.size()) - 1);
    return curve;
}

TEST(CECurve, PassesThroughEveryPoint)
{
    const Points cases[] = {
        { { 0, 0 }, { 1, 1 }, { 2, 4 }, { 3, 9 } },
        { { 10, 5 }, { 20, -3 }, { 25, 8 }, { 40, 8 }, { 41, 0 } },
        { { 30, 3 }, { 20, 1 }, { 10, 2 } },
        { { -5, 100 }, { 5, -100 } },
    };
    for (const Points& points : cases) {
        const CECurve curve = curveThrough(points);
        for (std::size_t j = 0; j + 1 < points.size(); ++j) {
            const auto i = static_cast<std::int32_t>(j);
            EXPECT_NEAR(curve.Y(points[j][0], i), points[j][1], 1e-9);
            EXPECT_NEAR(curve.Y(points[j + 1][0], i), points[j + 1][1], 1e-9);
        }
    }
}

TEST(CECurve, SlopesComeFromTheNeighboursAndMirrorAtTheEnds)
{
    const CECurve curve = curveThrough({ { 0, 0 }, { 1, 1 }, { 2, 4 }, { 3, 9 } });
    const auto& s = curve.slopes();
    ASSERT_EQ(s.size(), 4u);
    EXPECT_DOUBLE_EQ(s[1], 2.0); // (4 - 0) / (2 - 0)
    EXPECT_DOUBLE_EQ(s[2], 4.0); // (9 - 1) / (3 - 1)
    EXPECT_DOUBLE_EQ(s[0], std::tan(2 * std::atan(1.0) - std::atan(2.0)));
    EXPECT_DOUBLE_EQ(s[3], std::tan(2 * std::atan(5.0) - std::atan(4.0)));
}

TEST(CECurve, ThreePointsOnALineGiveThatLine)
{
    const CECurve curve = curveThrough({ { 0, 10 }, { 10, 15 }, { 20, 20 } });
    for (const double s : curve.slopes())
        EXPECT_NEAR(s, 0.5, 1e-12);
    for (double x = 0; x <= 20; x += 1.25)
        EXPECT_NEAR(curve.Y(x, x < 10 ? 0 : 1), 10 + x / 2, 1e-9) << x;
    const auto& c = curve.coefficients();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_NEAR(c[1][0], 0, 1e-12);
    EXPECT_NEAR(c[1][1], 0, 1e-12);
    EXPECT_NEAR(c[1][2], 0.5, 1e-12);
    EXPECT_NEAR(c[1][3], 10, 1e-9);
    EXPECT_DOUBLE_EQ(c[1][4], 10);
}

TEST(CECurve, SegmentIsFoundByWalkingWhenOutsideTheRows)
{
    const Points up { { 0, 0 }, { 1, 1 }, { 2, 4 }, { 3, 9 } };
    const CECurve rising = curveThrough(up);
    EXPECT_DOUBLE_EQ(rising.Y(2.5, -1), rising.Y(2.5, 2));
    EXPECT_DOUBLE_EQ(rising.Y(0.5, 99), rising.Y(0.5, 0));
    EXPECT_DOUBLE_EQ(rising.Y(1.5, -1), rising.Y(1.5, 1));
    const CECurve falling = curveThrough({ { 3, 9 }, { 2, 4 }, { 1, 1 }, { 0, 0 } });
    EXPECT_DOUBLE_EQ(falling.Y(0.5, -1), falling.Y(0.5, 2));
    EXPECT_DOUBLE_EQ(falling.Y(2.5, -1), falling.Y(2.5, 0));
}

TEST(CECurve, BadInputFailsOrJumps)
{
    auto errorOf = [](const Points& points) {
        return vorlix::test::errorNumberOf([&] { (void)curveThrough(points); });
    };
    EXPECT_EQ(errorOf({ { 1, 1 } }), 9);
    EXPECT_EQ(errorOf({}), 9);
    EXPECT_EQ(errorOf({ { 0, 0 }, { 5, 1 }, { 0, 2 } }), 11);
    EXPECT_EQ(errorOf({ { 0, 0 }, { 1e300, 1 }, { 2e300, 2 } }), 6);
    // A vertical step is no error, inside the data or at either end: the segment is a jump
    // without a cubic, and its neighbours keep theirs.
    const CECurve jump = curveThrough({ { 0, 0 }, { 1, 1 }, { 1, 3 }, { 2, 4 } });
    EXPECT_EQ(jump.coefficients()[1], (CECurve::Coefficients { 0, 0, 0, 0, 1 }));
    EXPECT_NEAR(jump.Y(2, 2), 4, 1e-9);
    for (const Points& points : { Points { { 5, 1 }, { 5, 2 } }, Points { { 5, 1 }, { 5, 1 } },
             Points { { 0, 0 }, { 0, 5 }, { 0, 9 } }, Points { { 0, 0 }, { 0, 5 }, { 2, 9 } },
             Points { { 0, 0 }, { 2, 5 }, { 2, 9 } } }) {
        const CECurve ends = curveThrough(points);
        for (std::size_t j = 0; j + 1 < points.size(); ++j) {
            if (points[j][0] != points[j + 1][0])
                EXPECT_NEAR(
                    ends.Y(points[j + 1][0], static_cast<std::int32_t>(j)), points[j + 1][1], 1e-9);
            else
                EXPECT_EQ(
                    ends.coefficients()[j], (CECurve::Coefficients { 0, 0, 0, 0, points[j][0] }));
        }
    }
}

// Mirroring may reach or pass the vertical: the end tangent is then held at 70 degrees, or halfway
// from a steeper chord to the vertical, so every curve stays by its points.
TEST(CECurve, EndSlopesStayShortOfVertical)
{
    const double limit = std::tan(70.0 * std::atan(1.0) / 45.0);
    // A 45-degree chord beside a level point mirrors to 90 degrees.
    const CECurve valley = curveThrough({ { 100, 100 }, { 600, 600 }, { 1100, 100 } });
    EXPECT_NEAR(valley.slopes()[0], limit, 1e-12);
    EXPECT_NEAR(valley.slopes()[2], -limit, 1e-12);
    const CECurve backwards = curveThrough({ { 1100, 1300 }, { 600, 1800 }, { 100, 1300 } });
    EXPECT_NEAR(backwards.slopes()[0], -limit, 1e-12);
    EXPECT_NEAR(backwards.slopes()[2], limit, 1e-12);
    // A chord at 84 degrees beside a level point would wrap round to a falling tangent.
    const CECurve steep = curveThrough({ { 0, 0 }, { 10, 100 }, { 20, 0 } });
    EXPECT_NEAR(steep.slopes()[0], std::sqrt(101.0) + 10.0, 1e-9);
    // Points on a steep straight line keep that line's slope everywhere.
    const CECurve line = curveThrough({ { 0, 0 }, { 1, 20 }, { 2, 40 } });
    for (const double s : line.slopes())
        EXPECT_NEAR(s, 20.0, 1e-9);
    // Where mirroring gives a slope short of the limit, it stands.
    EXPECT_DOUBLE_EQ(curveThrough({ { 0, 0 }, { 160, 80 } }).slopes()[0], 4.0 / 3.0);
    for (const Points& points : { Points { { 100, 100 }, { 600, 600 }, { 1100, 100 } },
             Points { { 0, 0 }, { 1, 1000 }, { 2, 0 } },
             Points { { 0, 0 }, { 10, 100 }, { 20, 0 } } }) {
        const CECurve curve = curveThrough(points);
        for (std::size_t j = 0; j + 1 < points.size(); ++j) {
            const double x0 = points[j][0];
            const double x1 = points[j + 1][0];
            const double low = std::min(points[j][1], points[j + 1][1]);
            const double high = std::max(points[j][1], points[j + 1][1]);
            for (int k = 0; k <= 16; ++k) {
                const double y = curve.Y(x0 + (x1 - x0) * k / 16, static_cast<std::int32_t>(j));
                EXPECT_GE(y, low - 1e-9 - (high - low) * 0.1) << j << ' ' << k;
                EXPECT_LE(y, high + 1e-9 + (high - low) * 0.1) << j << ' ' << k;
            }
        }
    }
}

}
