#include "render/FontWarmUp.h"

#include "render/QtFontCache.h"

#include <QFontDatabase>
#include <QFontMetricsF>

namespace vorlix::render {

void warmUpFonts()
{
    (void)QFontDatabase::families();
    // Latin, kana and kanji each have their own fallback list; a forms text needs all three.
    const QString sample = QStringLiteral("A\u3042\u30A2\u6F22");
    for (const QString& face : { QStringLiteral("ＭＳ 明朝"), QStringLiteral("ＭＳ ゴシック") })
        (void)QFontMetricsF(QtFontCache::pointFont(face, 10.0, false, false))
            .horizontalAdvance(sample);
}

}
