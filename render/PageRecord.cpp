#include "render/PageRecord.h"

#include "render/PageDumper.h"
#include "render/PagePainter.h"

namespace vorlix::render {

namespace {

    // The arguments of a call read back as the Device member's parameter types, each from its
    // own position so that the order of evaluation does not matter.
    struct CallReader {
        const PageRecord& page;
        const PageRecord::Call& call;

        [[nodiscard]] int read(std::type_identity<int>, int slot) const { return call.v[slot]; }
        [[nodiscard]] PenDesc read(std::type_identity<PenDesc>, int slot) const
        {
            return { call.v[slot], call.v[slot + 1], call.v[slot + 2] };
        }
        [[nodiscard]] BrushDesc read(std::type_identity<BrushDesc>, int slot) const
        {
            return { call.v[slot] != 0, call.v[slot + 1] };
        }
        [[nodiscard]] DeviceRect read(std::type_identity<DeviceRect>, int slot) const
        {
            return { call.v[slot], call.v[slot + 1], call.v[slot + 2], call.v[slot + 3] };
        }
        [[nodiscard]] const QString& read(std::type_identity<QString>, int) const
        {
            return page.text(call.index);
        }
        [[nodiscard]] const LogFont& read(std::type_identity<LogFont>, int) const
        {
            return page.font(call.index);
        }
        [[nodiscard]] const QImage& read(std::type_identity<QImage>, int) const
        {
            return page.image(call.index);
        }
        [[nodiscard]] const BarPattern& read(std::type_identity<BarPattern>, int) const
        {
            return page.bars(call.index);
        }
    };

    // Where each of n arguments starts among a call's integers.
    template <std::size_t N> constexpr std::array<int, N> startsOf(const std::array<int, N>& widths)
    {
        std::array<int, N> starts {};
        int next = 0;
        for (std::size_t i = 0; i < N; ++i) {
            starts[i] = next;
            next += widths[i];
        }
        return starts;
    }

    QString lowerFirst(const char* name)
    {
        QString text = QString::fromLatin1(name);
        text[0] = text[0].toLower();
        return text;
    }

}

PageRecord::PageRecord(
    int dpi, const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls)
    : m_dpi(dpi)
    , m_frame(frame)
    , m_deviceSize(deviceSize)
{
    m_calls.reserve(expectedCalls);
}

void PageRecord::store(Call& call, int& slot, const PenDesc& pen)
{
    for (const std::int32_t value : { pen.style, pen.width, pen.color })
        store(call, slot, value);
}

void PageRecord::store(Call& call, int& slot, const BrushDesc& brush)
{
    store(call, slot, brush.hollow ? 1 : 0);
    store(call, slot, brush.color);
}

void PageRecord::store(Call& call, int& slot, const DeviceRect& rect)
{
    const DeviceRect r = rect.normalized();
    for (const std::int32_t value : { r.left, r.top, r.right, r.bottom })
        store(call, slot, value);
}

void PageRecord::store(Call& call, int&, const QString& text)
{
    m_texts.push_back(text);
    call.index = static_cast<std::int32_t>(m_texts.size() - 1);
}

void PageRecord::store(Call& call, int&, const LogFont& font)
{
    // Pages select the same few fonts over and over: keep one copy of each.
    for (std::size_t i = m_fonts.size(); i-- > 0;) {
        if (m_fonts[i] == font) {
            call.index = static_cast<std::int32_t>(i);
            return;
        }
    }
    m_fonts.push_back(font);
    call.index = static_cast<std::int32_t>(m_fonts.size() - 1);
}

void PageRecord::store(Call& call, int&, const QImage& image)
{
    m_images.push_back(image);
    call.index = static_cast<std::int32_t>(m_images.size() - 1);
}

void PageRecord::store(Call& call, int&, const BarPattern& bars)
{
    m_bars.push_back(bars);
    call.index = static_cast<std::int32_t>(m_bars.size() - 1);
}

const QString& PageRecord::name(Op op)
{
    static const QString names[] = {
#define VORLIX_PAGE_OPERATION_NAME(Name, member, parameters, arguments) lowerFirst(#Name),
        VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_PAGE_OPERATION_NAME)
#undef VORLIX_PAGE_OPERATION_NAME
    };
    return names[static_cast<std::size_t>(op)];
}

template <typename... Params>
void PageRecord::replayCall(
    Device& device, void (Device::*member)(Params...), [[maybe_unused]] const Call& call) const
{
    static constexpr std::array<int, sizeof...(Params)> widths {
        slotsOf<std::remove_cvref_t<Params>>()...
    };
    [[maybe_unused]] static constexpr std::array<int, sizeof...(Params)> starts = startsOf(widths);
    [[maybe_unused]] const CallReader reader { *this, call };
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (device.*member)(
            reader.read(std::type_identity<std::remove_cvref_t<Params>> {}, starts[I])...);
    }
    (std::index_sequence_for<Params...> {});
}

void PageRecord::replay(Device& device) const
{
    for (const Call& call : m_calls) {
        switch (call.op) {
#define VORLIX_PAGE_OPERATION_REPLAY(Name, member, parameters, arguments)                          \
    case Op::Name:                                                                                 \
        replayCall(device, &Device::member, call);                                                 \
        break;
            VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_PAGE_OPERATION_REPLAY)
#undef VORLIX_PAGE_OPERATION_REPLAY
        }
    }
}

QString PageRecord::dump() const
{
    PageDumper dumper(*this);
    replay(dumper);
    return dumper.text();
}

void PageRecord::play(QPainter& painter, const QRectF& target) const
{
    PagePainter(painter, m_dpi).play(*this, target);
}

}
