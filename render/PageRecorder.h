#pragma once

#include "render/Device.h"
#include "render/PageRecord.h"

#include <memory>

namespace vorlix::render {

class TextMetrics;

// The recording device of one page: every call is appended to a PageRecord; text is measured
// with the metrics of the reference resolution in the selected font.
class PageRecorder final : public Device {
public:
    PageRecorder(std::shared_ptr<const TextMetrics> metrics, int dpi, const DeviceRect& frame,
        const QSize& deviceSize, std::size_t expectedCalls = 256);

    // Hands over the recorded page; the recorder is empty afterwards.
    [[nodiscard]] PageRecord take();
    [[nodiscard]] const PageRecord& record() const { return m_record; }

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void fillRect(int left, int top, int right, int bottom, ColorRef color) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
        int yEnd) override;
    void textOut(int x, int y, const QString& text) override;
    [[nodiscard]] QSize textExtent(const QString& text) override;
    void selectFont(const LogFont& font) override;
    void selectPen(const PenDesc& pen) override;
    void selectBrush(const BrushDesc& brush) override;
    void selectInitialFont() override;
    void selectInitialPen() override;
    void setClip(const DeviceRect& rect) override;
    void clearClip() override;
    void stretchImage(int x, int y, int width, int height, const QImage& image, int srcWidth,
        int srcHeight) override;

    // The font a fresh device starts with (the platform's system font, 16 pixels).
    [[nodiscard]] static LogFont initialFont();

private:
    std::shared_ptr<const TextMetrics> m_metrics;
    PageRecord m_record;
    LogFont m_font;
};

}
