#pragma once

#include <QCursor>
#include <QPixmap>

namespace vorlix::window {

// The program's own pointer shapes, drawn here rather than taken from a theme: the cross-hair
// of the cross tool, the west-east arrow of the splitter and the open and closed hands of the
// hand tool. The marker "◎" uses the cross-hair too.
class Cursors {
public:
    enum class Shape { CrossHair, WestEast, OpenHand, ClosedHand };

    [[nodiscard]] static QCursor cursor(Shape shape);
    // The drawn picture of a shape (32 x 32, transparent where the pointer is not).
    [[nodiscard]] static QPixmap picture(Shape shape);
};

}
