#include "window/Arrange.h"

#include <cmath>

namespace vorlix::window {

namespace {

    int roundHalfEven(double value)
    {
        return static_cast<int>(std::nearbyint(value));
    }

}

Arrange::Layout Arrange::layout(int formWidth, int formHeight, double split)
{
    Layout result;
    result.contentHeight = formHeight - TopBarHeight - BottomBarHeight;
    if (split < 0.01) {
        result.splitNow = 0.0;
        result.scrollBarsVisible = true;
        result.editorWidth = 0;
        result.previewLeft = ScrollBarWidth;
        result.previewWidth = formWidth - 2 * ScrollBarWidth;
    } else if (split <= 0.99) {
        result.splitNow = split;
        result.editorVisible = true;
        result.scrollBarsVisible = true;
        result.editorWidth = roundHalfEven(formWidth * split);
        result.previewLeft = result.editorWidth + SplitterWidth;
        result.previewWidth = formWidth - result.previewLeft - ScrollBarWidth;
    } else {
        result.splitNow = 1.0;
        result.editorVisible = true;
        result.editorWidth = formWidth - ScrollBarWidth;
        result.previewLeft = formWidth;
        result.previewWidth = 0;
    }
    result.splitterLeft = result.editorWidth;
    return result;
}

int Arrange::splitterDragPosition(int x, int formWidth)
{
    if (x < EdgeZone)
        return 0;
    if (x > formWidth - EdgeZone)
        return formWidth - ScrollBarWidth;
    return x - SplitterWidth / 2;
}

Arrange::Release Arrange::splitterRelease(int x, int formWidth)
{
    if (x <= EdgeZone)
        return { 0.0, false, false };
    if (x >= formWidth - EdgeZone)
        return { 1.0, false, true };
    return { static_cast<double>(x) / formWidth, true, true };
}

double Arrange::resizeSplit(double splitNow, double splitSaved)
{
    return splitNow == 0.0 || splitNow == 1.0 ? splitNow : splitSaved;
}

}
