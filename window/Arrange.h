#pragma once

#include <cstdint>

namespace vorlix::window {

// The main window's layout rules, in twips (15 per screen pixel), free of any widget so that they
// can be checked without a screen. The window converts the results to pixels.
class Arrange {
public:
    static constexpr int TwipsPerPixel = 15;
    static constexpr int TopBarHeight = 420;
    static constexpr int BottomBarHeight = 210;
    static constexpr int SplitterWidth = 100;
    static constexpr int ScrollBarWidth = 210;
    // Releasing the splitter this close to an edge hides the pane on that side.
    static constexpr int EdgeZone = 840;
    // Below this client height the window is made taller instead of being arranged.
    static constexpr int MinimumHeight = 640;
    static constexpr int GrowHeight = 840;

    // The panes of one arrangement; widths and positions in twips.
    struct Layout {
        // 0 preview only, 1 editor only, otherwise the editor's share of the width.
        double splitNow = 0.0;
        bool editorVisible = false;
        bool scrollBarsVisible = false;
        int editorWidth = 0;
        int splitterLeft = 0;
        int previewLeft = 0;
        int previewWidth = 0;
        int contentHeight = 0;
    };

    // Arranges a client area of formWidth x formHeight for a split (below 0.01 preview only,
    // above 0.99 editor only, otherwise the editor's share).
    [[nodiscard]] static Layout layout(int formWidth, int formHeight, double split);

    // Where the splitter is drawn while it is dragged with the pointer at x.
    [[nodiscard]] static int splitterDragPosition(int x, int formWidth);

    // What releasing the splitter at x does.
    struct Release {
        double split = 0.0;
        // The split becomes the saved ratio of the "both" mode.
        bool remember = false;
        // The editor gets the focus (otherwise the preview).
        bool focusEditor = false;
    };
    [[nodiscard]] static Release splitterRelease(int x, int formWidth);

    // The split a resize keeps: the current mode when one pane is hidden, else the saved ratio.
    [[nodiscard]] static double resizeSplit(double splitNow, double splitSaved);
};

}
