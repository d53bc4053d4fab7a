#include "lang/GraphLineData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace vorlix::lang;

namespace {

using Offsets = std::vector<std::int32_t>;

TEST(GraphLineData, DecimalPaperHasTenthsAHalfAndThePeriodLine)
{
    const GridPattern p = GraphLineData(1, 100);
    EXPECT_EQ(p.of(GridWeight::Heavy), Offsets({ 0 }));
    EXPECT_EQ(p.of(GridWeight::Medium), Offsets({ 50 }));
    EXPECT_EQ(p.of(GridWeight::Thin), Offsets({ 10, 20, 30, 40, 60, 70, 80, 90 }));
}

TEST(GraphLineData, FifthsPaperHasNoMediumLines)
{
    const GridPattern p = GraphLineData(0, 50);
    EXPECT_EQ(p.of(GridWeight::Heavy), Offsets({ 0 }));
    EXPECT_TRUE(p.of(GridWeight::Medium).empty());
    EXPECT_EQ(p.of(GridWeight::Thin), Offsets({ 10, 20, 30, 40 }));
}

TEST(GraphLineData, OffsetsRoundHalfToEven)
{
    // 0.5 x 5 = 2.5 and 0.1 x 25 = 2.5 both go down to 2; 0.3 x 25 = 7.5 goes up to 8.
    EXPECT_EQ(GraphLineData(1, 5).of(GridWeight::Medium), Offsets({ 2 }));
    const GridPattern p = GraphLineData(1, 25);
    EXPECT_EQ(p.of(GridWeight::Thin)[0], 2);
    EXPECT_EQ(p.of(GridWeight::Thin)[2], 8);
}

TEST(GraphLineData, LogDecadeLines)
{
    const GridPattern p = GraphLineData(10, 300);
    EXPECT_EQ(p.of(GridWeight::Heavy), Offsets({ 0, 90, 143, 181, 210, 233, 254, 271, 286 }));
    EXPECT_TRUE(p.of(GridWeight::Medium).empty());
    const Offsets thin = p.of(GridWeight::Thin);
    ASSERT_EQ(thin.size(), 21u);
    EXPECT_EQ(thin.front(), 24); // 300 x log10(1.2) = 23.75
    EXPECT_EQ(thin[16], 222); // 5.5
    EXPECT_EQ(thin.back(), 293); // 9.5
}

TEST(GraphLineData, FineLogRulingLeavesOutWholeNumbersAndHalves)
{
    const std::int32_t period = 1000;
    const GridPattern p = GraphLineData(11, period);
    EXPECT_EQ(p.of(GridWeight::Heavy).size(), 9u);
    EXPECT_EQ(p.of(GridWeight::Medium), Offsets({ 176, 398, 544, 653 }));
    const Offsets thin = p.of(GridWeight::Thin);
    ASSERT_EQ(thin.size(), 52u);
    EXPECT_TRUE(std::is_sorted(thin.begin(), thin.end()));
    auto at
        = [&](double v) { return static_cast<std::int32_t>(std::lround(period * std::log10(v))); };
    EXPECT_EQ(thin.front(), at(1.1));
    EXPECT_EQ(thin[31], at(4.9));
    EXPECT_EQ(thin[32], at(5.2));
    EXPECT_EQ(thin.back(), at(9.8));
    for (const double excluded : { 2.0, 3.0, 1.5, 4.5, 6.0, 9.0 })
        EXPECT_EQ(std::count(thin.begin(), thin.end(), at(excluded)), 0) << excluded;
}

TEST(GraphLineData, UnknownTypesRuleNothing)
{
    for (const std::int32_t type : { -1, 2, 9, 12, 100 })
        EXPECT_TRUE(GraphLineData(type, 100).empty()) << type;
}

TEST(GridRuling, BatchesGoThinToHeavyPeriodAfterPeriod)
{
    const auto batches = GridRuling::lines(true, 5, 7, 40, 105, 100, GraphLineData(1, 100));
    std::vector<GridWeight> order;
    for (const GridBatch& batch : batches)
        order.push_back(batch.weight);
    // The second period's heavy line still fits, so a third period is tried; it sets up all three
    // pens although none of its lines fits.
    const GridWeight cycle[] = { GridWeight::Thin, GridWeight::Medium, GridWeight::Heavy };
    ASSERT_EQ(order.size(), 9u);
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order[i], cycle[i % 3]) << i;
    EXPECT_EQ(batches[0].lines.size(), 8u);
    EXPECT_EQ(batches[1].lines, std::vector<GridLine>({ { 5, 57, 40 } }));
    EXPECT_EQ(batches[2].lines, std::vector<GridLine>({ { 5, 7, 40 } }));
    EXPECT_TRUE(batches[3].lines.empty());
    EXPECT_TRUE(batches[4].lines.empty());
    EXPECT_EQ(batches[5].lines, std::vector<GridLine>({ { 5, 107, 40 } }));
    for (std::size_t i = 6; i < 9; ++i)
        EXPECT_TRUE(batches[i].lines.empty()) << i;
}

}
