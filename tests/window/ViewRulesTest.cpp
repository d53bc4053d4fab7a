#include "window/ViewRules.h"

#include <gtest/gtest.h>

namespace {

using vorlix::window::ViewRules;

TEST(ViewRulesTest, ZoomIsClampedToFortyAndTwoHundredPercent)
{
    struct Case {
        int percent;
        double ratio;
    };
    for (const Case& c :
        { Case { 30, 0.4 }, Case { 39, 0.4 }, Case { 40, 0.4 }, Case { 60, 0.6 }, Case { 100, 1.0 },
            Case { 200, 2.0 }, Case { 201, 2.0 }, Case { 250, 2.0 }, Case { -5, 0.4 } })
        EXPECT_DOUBLE_EQ(ViewRules::zoomRatio(c.percent), c.ratio) << c.percent;
    EXPECT_EQ(ViewRules::zoomText(ViewRules::zoomRatio(30)), QStringLiteral("倍率 40%"));
    EXPECT_EQ(ViewRules::zoomText(ViewRules::zoomRatio(250)), QStringLiteral("倍率 200%"));
}

TEST(ViewRulesTest, MinusAndPlusStepTwentyPercentAndStopAtTheLimits)
{
    EXPECT_EQ(ViewRules::zoomOutPercent(1.0), 80);
    EXPECT_EQ(ViewRules::zoomInPercent(1.0), 120);
    // "－" at 40 % asks for 20 %, which stays at 40 %; "＋" at 200 % stays at 200 %.
    EXPECT_DOUBLE_EQ(ViewRules::zoomRatio(ViewRules::zoomOutPercent(0.4)), 0.4);
    EXPECT_DOUBLE_EQ(ViewRules::zoomRatio(ViewRules::zoomInPercent(2.0)), 2.0);
    // 0.6 - 0.2 is not exactly 0.4 in binary; the percentage still comes out whole.
    EXPECT_EQ(ViewRules::zoomOutPercent(0.6), 40);
}

TEST(ViewRulesTest, ScrollRangeFollowsPaneAndPicture)
{
    // A page smaller than the pane may move right or down: the maximum is positive.
    EXPECT_EQ(ViewRules::scrollMaximum(9000, 6000), 3000);
    EXPECT_GE(ViewRules::scrollMaximum(6000, 6000), 0);
    // A larger page moves left or up: the maximum is negative and reaches the far edge.
    EXPECT_EQ(ViewRules::scrollMaximum(6000, 16839), -10839);
    // No 16-bit limit: every part of a large page at 200 % can be reached.
    EXPECT_EQ(ViewRules::scrollMaximum(6000, 47628), -41628);
}

TEST(ViewRulesTest, ArrowStepsMoveTowardsTheMaximumAndAreClamped)
{
    EXPECT_EQ(ViewRules::stepScroll(0, -1000, +1), -210);
    EXPECT_EQ(ViewRules::stepScroll(-900, -1000, +1), -1000);
    EXPECT_EQ(ViewRules::stepScroll(-100, -1000, -1), 0);
    EXPECT_EQ(ViewRules::stepScroll(0, 500, +1), 210);
    EXPECT_EQ(ViewRules::stepScroll(400, 500, +1), 500);
    EXPECT_EQ(ViewRules::stepScroll(0, 500, -1), 0);
    EXPECT_EQ(ViewRules::clampScroll(-3000, -1000), -1000);
    EXPECT_EQ(ViewRules::clampScroll(3000, 500), 500);
}

TEST(ViewRulesTest, FaceUnitsAndPixelsConvertThroughTwips)
{
    // 100 % : 5.67 twips per unit and 15 twips per pixel.
    EXPECT_NEAR(ViewRules::pixels(2100, 1.0), 793.8, 1e-9);
    EXPECT_NEAR(ViewRules::faceUnits(ViewRules::pixels(1234, 0.6), 0.6), 1234, 1e-9);
    EXPECT_NEAR(ViewRules::pixels(2100, 2.0), 2 * ViewRules::pixels(2100, 1.0), 1e-9);
}

TEST(ViewRulesTest, StatusTexts)
{
    EXPECT_EQ(ViewRules::pointerText(1200, 455), QStringLiteral("1200x455"));
    EXPECT_EQ(ViewRules::pointerText(-3, 0), QStringLiteral("-3x0"));
    EXPECT_EQ(ViewRules::selectionText(100, 200, 350, 120), QStringLiteral("100x200 ⇒ 350x120"));
    EXPECT_EQ(ViewRules::pageText(2, 3), QStringLiteral("ページ 2/3"));
    EXPECT_EQ(ViewRules::zoomText(1.4), QStringLiteral("倍率 140%"));
}

}
