#include "render/EMF.h"

#include "render/PageRecorder.h"
#include "render/TextMetrics.h"

namespace vorlix::render {

namespace {

    // Messages stand apart from any face: one small gothic face, upright, from the paper's
    // corner, with the same room left of them kept on their right.
    const QString messageFace = QStringLiteral("ＭＳ ゴシック");
    constexpr double messagePoints = 7.0;
    constexpr std::int32_t messageLeft = 100;
    const QString cut = QStringLiteral("…");

    // Puts back the font and the clipping a message replaced, however the message ends.
    class MessageState {
    public:
        MessageState(PageRecorder& device, const std::optional<DeviceRect>& clip)
            : m_device(device)
            , m_font(device.selectedFont())
            , m_clip(clip)
        {
            if (m_clip)
                m_device.clearClip();
        }
        ~MessageState()
        {
            m_device.selectFont(m_font);
            if (m_clip)
                m_device.setClip(*m_clip);
        }
        MessageState(const MessageState&) = delete;
        MessageState& operator=(const MessageState&) = delete;

    private:
        PageRecorder& m_device;
        LogFont m_font;
        std::optional<DeviceRect> m_clip;
    };

    // The longest beginning of the text that fits the width, marked as cut.
    QString fitted(const PageRecorder& device, const QString& text, int width)
    {
        if (device.textExtent(text).width() <= width)
            return text;
        qsizetype low = 0;
        qsizetype high = text.size();
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (device.textExtent(text.left(middle) + cut).width() <= width)
                low = middle;
            else
                high = middle - 1;
        }
        return text.left(low) + cut;
    }

}

LogFont EMF::messageFont() const
{
    const QSize cell = m_metrics->pointExtent(messageFace, messagePoints * m_mapping.fontScale(),
        false, false, QStringLiteral("A"), m_mapping.referenceDpi());
    LogFont font;
    font.lfHeight = cell.height();
    font.lfFaceName = messageFace;
    return font;
}

void EMF::printMessage(std::int32_t y, const QString& text)
{
    if (!hDC())
        return;
    SurfaceMapping paper = m_mapping;
    paper.home(0, 0, 0);
    paper.clearShift();
    const std::int32_t left = paper.MapX(messageLeft);
    const std::int32_t top = paper.MapY(y);
    const LogFont font = messageFont();
    const QSize page = m_mapping.deviceSize();
    if (top < 0 || top + font.lfHeight > page.height())
        return;
    PageRecorder& device = dc();
    const MessageState state(device, m_clip);
    device.selectFont(font);
    device.textOut(left, top, fitted(device, text, page.width() - 2 * left));
}

}
