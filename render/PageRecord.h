#pragma once

#include "render/GdiTypes.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;

namespace vorlix::render {

// One recorded page: the device calls in device units of the reference device, with that
// device's resolution and the page frame in 0.01 mm. It replays onto any QPainter and has a
// stable text dump, one line per call, so that drawing can be compared exactly.
class PageRecord {
public:
    enum class Op : std::uint8_t {
        MoveTo,
        LineTo,
        Rectangle,
        FillRect,
        Ellipse,
        Arc,
        TextOut,
        SelectFont,
        SelectPen,
        SelectBrush,
        InitialFont,
        InitialPen,
        SetClip,
        ClearClip,
        StretchImage,
    };

    // One call; the meaning of the numbers depends on the operation, index points into the
    // text, font or image table.
    struct Call {
        Op op;
        std::int32_t v[8];
        std::int32_t index;
    };

    PageRecord() = default;
    // expectedCalls reserves room (a page usually makes about as many calls as the last one).
    PageRecord(
        int dpi, const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls = 256);

    [[nodiscard]] int dpi() const { return m_dpi; }
    // Frame in 0.01 mm.
    [[nodiscard]] const DeviceRect& frame() const { return m_frame; }
    // Page size in device units.
    [[nodiscard]] const QSize& deviceSize() const { return m_deviceSize; }
    [[nodiscard]] const std::vector<Call>& calls() const { return m_calls; }
    [[nodiscard]] bool isEmpty() const { return m_calls.empty(); }

    void add(Op op, std::initializer_list<std::int32_t> values, std::int32_t index = -1);
    void addText(int x, int y, const QString& text);
    void addFont(const LogFont& font);
    void addPen(const PenDesc& pen);
    void addBrush(const BrushDesc& brush);
    void addImage(int x, int y, int w, int h, const QImage& image, int srcW, int srcH);

    [[nodiscard]] const QString& text(int index) const { return m_texts.at(index); }
    [[nodiscard]] const LogFont& font(int index) const { return m_fonts.at(index); }
    [[nodiscard]] const QImage& image(int index) const { return m_images.at(index); }

    // The stable text dump: a head line "page dpi=400 frame=21000x29700 size=3307x4677", then one
    // line per call: "moveTo x y", "lineTo x y", "rectangle l t r b", "fillRect l t r b #rrggbb",
    // "ellipse l t r b", "arc l t r b xs ys xe ye", "textOut x y "text"" (quotes and backslashes
    // escaped, control characters as \xNN), "selectFont h= w= esc= weight= italic= underline=
    // strikeOut= face="..."", "selectPen style= width= color=#rrggbb", "selectBrush hollow" or
    // "selectBrush solid #rrggbb", "initialFont", "initialPen", "setClip l t r b" (normalised),
    // "clearClip", "stretchImage x y w h src=WxH image=WxH".
    [[nodiscard]] QString dump() const;

    // Replays the page into the rectangle of the painter's device (in the painter's current
    // coordinates); the page's device units are scaled to fit it.
    void play(QPainter& painter, const QRectF& target) const;

private:
    int m_dpi = 0;
    DeviceRect m_frame;
    QSize m_deviceSize;
    std::vector<Call> m_calls;
    std::vector<QString> m_texts;
    std::vector<LogFont> m_fonts;
    std::vector<QImage> m_images;
};

}
