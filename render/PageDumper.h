#pragma once

#include "render/Device.h"
#include "render/PageRecord.h"

#include <QString>

namespace vorlix::render {

// The device that writes a page as text: the head line "page dpi=400 frame=21000x29700
// size=3307x4677", then one line per call: "moveTo x y", "lineTo x y", "rectangle l t r b",
// "fillRect l t r b #rrggbb", "ellipse l t r b", "arc l t r b xs ys xe ye", "textOut x y "text""
// (quotes and backslashes escaped, control characters as \xNN), "selectFont h= w= esc= weight=
// italic= underline= strikeOut= face="..."", "selectPen style= width= color=#rrggbb",
// "selectBrush hollow" or "selectBrush solid #rrggbb", "initialFont", "initialPen", "setClip l t
// r b", "clearClip", "stretchImage x y w h src=WxH image=WxH", "fillBars x,y module=WxH
// grid=square|bars #rrggbb n=N" followed by the bars in modules ("x,y,w,h" each). Golden files hold
// this text, so it never changes for the same drawing.
class PageDumper final : public Device {
public:
    explicit PageDumper(const PageRecord& page);

    // The head line and every line so far, each ended by a line feed.
    [[nodiscard]] const QString& text() const { return m_text; }

    VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_DECLARE_DEVICE_OPERATION)

private:
    // Starts the line of a call: the operation's name and the numbers, each after a blank.
    QString& begin(PageRecord::Op op, std::initializer_list<int> numbers = {});

    QString m_text;
};

}
