#pragma once

#include "render/Device.h"
#include "render/GdiTypes.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

class QPainter;

namespace vorlix::render {

// One recorded page: the device calls in device units of the reference device, with that
// device's resolution and the page frame in 0.01 mm. It replays onto any Device: the painter
// (printer, PDF, image, preview) and the stable text dump, one line per call, that lets tests
// compare drawing exactly.
class PageRecord {
public:
    enum class Op : std::uint8_t {
#define VORLIX_PAGE_OPERATION_ENUM(Name, member, parameters, arguments) Name,
        VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_PAGE_OPERATION_ENUM)
#undef VORLIX_PAGE_OPERATION_ENUM
    };

    // One call: the integer arguments in the order the Device member takes them (a pen takes
    // three, a brush two, a rectangle four), and the index of its text, font or image in the
    // page's tables.
    struct Call {
        Op op;
        std::int32_t v[8];
        std::int32_t index;
    };

    PageRecord() = default;
    // expectedCalls reserves room (a page usually makes about as many calls as the last one).
    PageRecord(
        int dpi, const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls = 256);

    [[nodiscard]] int dpi() const
    {
        return m_dpi;
    }
    // Frame in 0.01 mm.
    [[nodiscard]] const DeviceRect& frame() const
    {
        return m_frame;
    }
    // Page size in device units.
    [[nodiscard]] const QSize& deviceSize() const
    {
        return m_deviceSize;
    }
    [[nodiscard]] const std::vector<Call>& calls() const
    {
        return m_calls;
    }
    [[nodiscard]] bool isEmpty() const
    {
        return m_calls.empty();
    }

    // Records one call with the arguments of its Device member.
    template <typename... Args> void append(Op op, const Args&... args)
    {
        Call& call = m_calls.emplace_back();
        call.op = op;
        call.index = -1;
        [[maybe_unused]] int slot = 0;
        (store(call, slot, args), ...);
    }

    [[nodiscard]] const QString& text(int index) const
    {
        return m_texts.at(index);
    }
    [[nodiscard]] const LogFont& font(int index) const
    {
        return m_fonts.at(index);
    }
    [[nodiscard]] const QImage& image(int index) const
    {
        return m_images.at(index);
    }
    [[nodiscard]] const BarPattern& bars(int index) const
    {
        return m_bars.at(index);
    }

    // The name of an operation in the dump: "moveTo", "selectFont", "initialPen", ...
    [[nodiscard]] static const QString& name(Op op);

    // Hands every call, in order, to the device.
    void replay(Device& device) const;

    // The stable text dump: a head line "page dpi=400 frame=21000x29700 size=3307x4677", then one
    // line per call as PageDumper writes it.
    [[nodiscard]] QString dump() const;

    // Replays the page into the rectangle of the painter's device (in the painter's current
    // coordinates); the page's device units are scaled to fit it.
    void play(QPainter& painter, const QRectF& target) const;

private:
    // How many integers of a call an argument of each type takes.
    template <typename T> static constexpr int slotsOf()
    {
        if constexpr (std::is_same_v<T, PenDesc>)
            return 3;
        else if constexpr (std::is_same_v<T, BrushDesc>)
            return 2;
        else if constexpr (std::is_same_v<T, DeviceRect>)
            return 4;
        else if constexpr (std::is_same_v<T, int>)
            return 1;
        else
            return 0;
    }

    static void store(Call& call, int& slot, int value)
    {
        call.v[slot++] = value;
    }
    void store(Call& call, int& slot, const PenDesc& pen);
    void store(Call& call, int& slot, const BrushDesc& brush);
    void store(Call& call, int& slot, const DeviceRect& rect);
    void store(Call& call, int& slot, const QString& text);
    void store(Call& call, int& slot, const LogFont& font);
    void store(Call& call, int& slot, const QImage& image);
    void store(Call& call, int& slot, const BarPattern& bars);

    template <typename... Params>
    void replayCall(Device& device, void (Device::*member)(Params...), const Call& call) const;

    int m_dpi = 0;
    DeviceRect m_frame;
    QSize m_deviceSize;
    std::vector<Call> m_calls;
    std::vector<QString> m_texts;
    std::vector<LogFont> m_fonts;
    std::vector<QImage> m_images;
    std::vector<BarPattern> m_bars;
};

}
