#include "render/FontSubstitutions.h"

#include <QFont>
#include <QStringList>

namespace vorlix::render {

namespace {
    void insertAll()
    {
        const QStringList mincho { QStringLiteral("IPAMincho") };
        const QStringList pMincho { QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho") };
        const QStringList gothic { QStringLiteral("IPAGothic") };
        const QStringList pGothic { QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic") };
        QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), mincho);
        QFont::insertSubstitutions(QStringLiteral("MS Mincho"), mincho);
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), pMincho);
        QFont::insertSubstitutions(QStringLiteral("MS PMincho"), pMincho);
        QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), gothic);
        QFont::insertSubstitutions(QStringLiteral("MS Gothic"), gothic);
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), pGothic);
        QFont::insertSubstitutions(QStringLiteral("MS PGothic"), pGothic);
        QFont::insertSubstitutions(QStringLiteral("Terminal"),
            { QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono"),
                QStringLiteral("monospace") });
    }
}

// Once per process, whichever thread asks first (print jobs measure on worker threads).
void installFontSubstitutions()
{
    static const bool installed = [] {
        insertAll();
        return true;
    }();
    (void)installed;
}

}
