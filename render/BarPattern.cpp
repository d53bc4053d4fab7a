#include "render/BarPattern.h"

namespace vorlix::render {

QRectF BarPattern::exactBar(qsizetype i) const
{
    const QRectF& bar = (*bars)[static_cast<std::size_t>(i)];
    return { origin.x() + bar.x() * moduleWidth, origin.y() + bar.y() * moduleHeight,
        bar.width() * moduleWidth, bar.height() * moduleHeight };
}

}
