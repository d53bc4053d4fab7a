#include "render/PageRecorder.h"

#include "render/TextMetrics.h"

namespace vorlix::render {

using Op = PageRecord::Op;

namespace {

    // Drawing no characters leaves no trace on the page.
    bool drawsNothing(const QString& text)
    {
        return text.isEmpty();
    }
    bool drawsNothing(const BarPattern& bars)
    {
        return bars.size() == 0;
    }
    template <typename T> bool drawsNothing(const T&)
    {
        return false;
    }

}

PageRecorder::PageRecorder(std::shared_ptr<const TextMetrics> metrics, int dpi)
    : m_metrics(std::move(metrics))
    , m_font(initialFont())
    , m_idleDpi(dpi)
{
}

PageRecorder::PageRecorder(std::shared_ptr<const TextMetrics> metrics, int dpi,
    const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls)
    : PageRecorder(std::move(metrics), dpi)
{
    begin(dpi, frame, deviceSize, expectedCalls);
}

void PageRecorder::begin(
    int dpi, const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls)
{
    m_record = PageRecord(dpi, frame, deviceSize, expectedCalls);
    m_font = initialFont();
    m_recording = true;
}

PageRecord PageRecorder::take()
{
    PageRecord page = std::move(m_record);
    m_record = PageRecord(page.dpi(), page.frame(), page.deviceSize(), 0);
    m_font = initialFont();
    m_recording = false;
    return page;
}

LogFont PageRecorder::initialFont()
{
    LogFont font;
    font.lfHeight = 16;
    font.lfWeight = 700;
    font.lfCharSet = 0;
    font.lfFaceName = QStringLiteral("System");
    return font;
}

QSize PageRecorder::textExtent(const QString& text) const
{
    return m_metrics->extent(m_font, text, measuringDpi());
}

double PageRecorder::textAdvance(const QString& text) const
{
    return m_metrics->advance(m_font, text, measuringDpi());
}

template <PageRecord::Op op, typename... Args> void PageRecorder::note(const Args&... args)
{
    if constexpr (op == Op::SelectFont)
        ((m_font = args), ...);
    if constexpr (op == Op::InitialFont)
        m_font = initialFont();
    if (!m_recording || (drawsNothing(args) || ...))
        return;
    m_record.append(op, args...);
}

#define VORLIX_RECORD_OPERATION(Name, member, parameters, arguments)                               \
    void PageRecorder::member parameters                                                           \
    {                                                                                              \
        note<Op::Name> arguments;                                                                  \
    }
VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_RECORD_OPERATION)
#undef VORLIX_RECORD_OPERATION

}
