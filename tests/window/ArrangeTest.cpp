#include "window/Arrange.h"

#include <gtest/gtest.h>

namespace {

using vorlix::window::Arrange;

TEST(ArrangeTest, ThreeModesSplitTheWidthAsTheRulesSay)
{
    // Preview only: the editor is gone and the preview keeps a scroll bar's width on each side.
    const auto preview = Arrange::layout(9000, 6000, 0.0);
    EXPECT_EQ(preview.splitNow, 0.0);
    EXPECT_FALSE(preview.editorVisible);
    EXPECT_TRUE(preview.scrollBarsVisible);
    EXPECT_EQ(preview.editorWidth, 0);
    EXPECT_EQ(preview.previewLeft, 210);
    EXPECT_EQ(preview.previewWidth, 9000 - 420);
    EXPECT_EQ(preview.contentHeight, 6000 - 630);

    // Both: the editor takes the share (rounded half to even), then the splitter, then the
    // preview up to the vertical bar.
    const auto both = Arrange::layout(9000, 6000, 0.25);
    EXPECT_EQ(both.splitNow, 0.25);
    EXPECT_TRUE(both.editorVisible);
    EXPECT_EQ(both.editorWidth, 2250);
    EXPECT_EQ(both.splitterLeft, 2250);
    EXPECT_EQ(both.previewLeft, 2350);
    EXPECT_EQ(both.previewWidth, 9000 - 2350 - 210);
    EXPECT_EQ(Arrange::layout(5, 6000, 0.5).editorWidth, 2); // 2.5 rounds to 2
    EXPECT_EQ(Arrange::layout(7, 6000, 0.5).editorWidth, 4); // 3.5 rounds to 4

    // Editor only: the preview and the scroll bars are gone.
    const auto editor = Arrange::layout(9000, 6000, 1.0);
    EXPECT_EQ(editor.splitNow, 1.0);
    EXPECT_FALSE(editor.scrollBarsVisible);
    EXPECT_EQ(editor.editorWidth, 9000 - 210);
    EXPECT_EQ(editor.previewLeft, 9000);
    EXPECT_EQ(editor.previewWidth, 0);
}

TEST(ArrangeTest, ModeBoundariesLieAtOneAndNinetyNineHundredths)
{
    EXPECT_EQ(Arrange::layout(9000, 6000, 0.0099).splitNow, 0.0);
    EXPECT_EQ(Arrange::layout(9000, 6000, 0.01).splitNow, 0.01);
    EXPECT_EQ(Arrange::layout(9000, 6000, 0.99).splitNow, 0.99);
    EXPECT_EQ(Arrange::layout(9000, 6000, 0.991).splitNow, 1.0);
}

TEST(ArrangeTest, SplitterReleaseNearAnEdgeHidesThatSide)
{
    const int width = 9000;
    const auto left = Arrange::splitterRelease(840, width);
    EXPECT_EQ(left.split, 0.0);
    EXPECT_FALSE(left.remember);
    EXPECT_FALSE(left.focusEditor);
    const auto right = Arrange::splitterRelease(width - 840, width);
    EXPECT_EQ(right.split, 1.0);
    EXPECT_FALSE(right.remember);
    EXPECT_TRUE(right.focusEditor);
    const auto middle = Arrange::splitterRelease(841, width);
    EXPECT_DOUBLE_EQ(middle.split, 841.0 / width);
    EXPECT_TRUE(middle.remember);
    EXPECT_TRUE(middle.focusEditor);
    EXPECT_TRUE(Arrange::splitterRelease(width - 841, width).remember);
}

TEST(ArrangeTest, DraggedSplitterFollowsThePointerAndSnapsAtTheEdges)
{
    EXPECT_EQ(Arrange::splitterDragPosition(839, 9000), 0);
    EXPECT_EQ(Arrange::splitterDragPosition(840, 9000), 790);
    EXPECT_EQ(Arrange::splitterDragPosition(4000, 9000), 3950);
    EXPECT_EQ(Arrange::splitterDragPosition(8160, 9000), 8110);
    EXPECT_EQ(Arrange::splitterDragPosition(8161, 9000), 9000 - 210);
}

TEST(ArrangeTest, ResizeKeepsASinglePaneModeAndOtherwiseTheSavedSplit)
{
    EXPECT_EQ(Arrange::resizeSplit(0.0, 0.4), 0.0);
    EXPECT_EQ(Arrange::resizeSplit(1.0, 0.4), 1.0);
    EXPECT_EQ(Arrange::resizeSplit(0.3, 0.4), 0.4);
}

}
