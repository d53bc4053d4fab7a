#pragma once

#include "render/Device.h"
#include "render/PageRecord.h"

#include <memory>

namespace vorlix::render {

class TextMetrics;

// The surface's device context. While a page is recording every call is appended to its
// PageRecord; without a page (before the first one, between pages) drawing goes nowhere, as it
// does on a device context of 0. Either way it keeps the selected font and measures text in it at
// the resolution of the page, or of the reference device when no page is recording.
class PageRecorder final : public Device {
public:
    // An idle recorder measuring at dpi.
    PageRecorder(std::shared_ptr<const TextMetrics> metrics, int dpi);
    // A recorder that has begun a page.
    PageRecorder(std::shared_ptr<const TextMetrics> metrics, int dpi, const DeviceRect& frame,
        const QSize& deviceSize, std::size_t expectedCalls = 256);

    // Begins a page; the device starts with its initial font.
    void begin(
        int dpi, const DeviceRect& frame, const QSize& deviceSize, std::size_t expectedCalls = 256);
    // Hands over the recorded page; the recorder is idle afterwards, with its initial font.
    [[nodiscard]] PageRecord take();
    [[nodiscard]] bool recording() const { return m_recording; }
    [[nodiscard]] const PageRecord& record() const { return m_record; }
    // The resolution text is measured at while no page is recording.
    void setIdleDpi(int dpi) { m_idleDpi = dpi; }

    // Size of the text's cell in the selected font, unrotated (GetTextExtentPoint32).
    [[nodiscard]] QSize textExtent(const QString& text) const;
    // The text's advance in the selected font before rounding to whole device units.
    [[nodiscard]] double textAdvance(const QString& text) const;
    [[nodiscard]] const LogFont& selectedFont() const { return m_font; }

    VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_DECLARE_DEVICE_OPERATION)

    // The font a fresh device starts with (the platform's system font, 16 pixels).
    [[nodiscard]] static LogFont initialFont();

private:
    template <PageRecord::Op op, typename... Args> void note(const Args&... args);
    [[nodiscard]] int measuringDpi() const { return m_recording ? m_record.dpi() : m_idleDpi; }

    std::shared_ptr<const TextMetrics> m_metrics;
    PageRecord m_record;
    LogFont m_font;
    int m_idleDpi;
    bool m_recording = false;
};

}
