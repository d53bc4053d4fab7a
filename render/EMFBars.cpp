#include "render/EMF.h"

#include "render/PageRecorder.h"
#include "shell/Checked.h"

#include <algorithm>
#include <cmath>

// Symbols on the page: the bars as one pattern on a grid of modules, the texts beside them.
namespace vorlix::render {

using namespace shell::checked;

void EMF::Bars(double module, std::shared_ptr<const std::vector<QRectF>> bars, bool squareModules)
{
    BarPattern pattern;
    pattern.origin = QPointF(m_dev.x, m_dev.y);
    pattern.moduleWidth = module * std::abs(m_mapping.scaleX());
    pattern.moduleHeight = module * std::abs(m_mapping.scaleY());
    pattern.squareModules = squareModules;
    pattern.color = m_slots.currentPen().color;
    pattern.bars = std::move(bars);
    // The far corner must be a device coordinate, as any other drawing's.
    double right = 0.0;
    double bottom = 0.0;
    for (const QRectF& bar : *pattern.bars) {
        right = std::max(right, bar.right());
        bottom = std::max(bottom, bar.bottom());
    }
    (void)rnd(pattern.origin.x() + right * pattern.moduleWidth);
    (void)rnd(pattern.origin.y() + bottom * pattern.moduleHeight);
    if (!hDC())
        return;
    dc().fillBars(pattern);
}

void EMF::BarText(const QString& text, double dx, double dy, TextAlign align)
{
    const double share = align == TextAlign::Start ? 0.0 : align == TextAlign::Centre ? 0.5 : 1.0;
    const double width = dc().textExtent(text).width();
    const std::int32_t x = rnd(m_dev.x + dx * std::abs(m_mapping.scaleX()) - share * width);
    const std::int32_t y = rnd(m_dev.y + dy * std::abs(m_mapping.scaleY()));
    if (!hDC())
        return;
    dc().textOut(x, y, text);
}

}
