#include "RenderTestSupport.h"

#include "render/QtFontCache.h"

#include <thread>
#include <vector>

using namespace vorlix;
using namespace vorlix::render;

namespace {

LogFont described(int height, int width = 0, int weight = 400, int escapement = 0,
    const QString& face = test::mincho)
{
    LogFont font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfEscapement = escapement;
    font.lfOrientation = escapement;
    font.lfFaceName = face;
    return font;
}

// What a thread that has measured nothing else finds: its own cache starts empty.
QSize measuredAlone(const LogFont& font, const QString& text)
{
    QSize size;
    std::thread([&] { size = QtFontCache::shared().extent(font, text); }).join();
    return size;
}

struct Measurement {
    LogFont font;
    QString text;
};

// The same texts in fonts that differ in one field each: none may take another's cell.
std::vector<Measurement> neighbours()
{
    const QString grid = QStringLiteral("○");
    const QString run = QStringLiteral("請求書 No.12");
    return {
        { described(50), grid },
        { described(50, 12), grid },
        { described(50, 40), grid },
        { described(60), grid },
        { described(50, 0, 700), grid },
        { described(50, 0, 400, 900), grid },
        { described(50, 0, 400, 0, QStringLiteral("ＭＳ Ｐゴシック")), grid },
        { described(50), run },
        { described(50, 12), run },
        { described(50, 0, 400, 0, QStringLiteral("ＭＳ Ｐゴシック")), run },
        { described(50), QStringLiteral("○○") },
    };
}

TEST(QtFontCache, EveryFontAndTextKeepsItsOwnCell)
{
    const std::vector<Measurement> cases = neighbours();
    std::vector<QSize> alone;
    for (const Measurement& m : cases)
        alone.push_back(measuredAlone(m.font, m.text));
    // The cells really differ, so a shared entry could not go unnoticed.
    EXPECT_NE(alone[0].width(), alone[1].width());
    EXPECT_NE(alone[1].width(), alone[2].width());
    EXPECT_NE(alone[0].height(), alone[3].height());
    EXPECT_NE(alone[7].width(), alone[9].width());

    // One thread measuring them all, twice over in both orders, finds the same cells.
    QtFontCache& cache = QtFontCache::shared();
    for (int round = 0; round < 2; ++round) {
        for (std::size_t k = 0; k < cases.size(); ++k) {
            const std::size_t i = round == 0 ? k : cases.size() - 1 - k;
            SCOPED_TRACE(testing::Message() << "round " << round << ", case " << i);
            EXPECT_EQ(cache.extent(cases[i].font, cases[i].text), alone[i]);
        }
    }
}

TEST(QtFontCache, ACellIsTheFontsOwnMeasurement)
{
    QtFontCache& cache = QtFontCache::shared();
    for (const int height : { 20, 50, 133 }) {
        SCOPED_TRACE(height);
        const LogFont font = described(height, height / 3);
        const QString text = QStringLiteral("御請求金額 ABC");
        const auto& entry = cache.get(font);
        const QSize direct(static_cast<int>(std::lround(entry.metrics.horizontalAdvance(text))),
            static_cast<int>(std::lround(entry.metrics.height())));
        EXPECT_NEAR(cache.extent(font, text).width(), direct.width(), 1);
        EXPECT_NEAR(cache.extent(font, text).height(), direct.height(), 1);
    }
}

TEST(QtFontCache, KeptTextsStayBoundedOverALongJob)
{
    std::thread([] {
        QtFontCache& cache = QtFontCache::shared();
        const LogFont font = described(50);
        const QString first = QStringLiteral("0000 番地");
        const QSize firstCell = cache.extent(font, first);
        EXPECT_EQ(cache.measuredTexts(), 1);
        EXPECT_EQ(cache.extent(font, first), firstCell);
        EXPECT_EQ(cache.measuredTexts(), 1);

        // A hundred thousand pages of different numbers: the kept texts start over instead of
        // growing, and what is measured after that is still right.
        qsizetype most = 0;
        for (int i = 0; i < 100000; ++i) {
            (void)cache.extent(font, QStringLiteral("%1 番地").arg(i, 4, 10, QLatin1Char('0')));
            most = std::max(most, cache.measuredTexts());
        }
        EXPECT_LT(most, 20000);
        EXPECT_GT(most, 1000);
        EXPECT_EQ(cache.extent(font, first), firstCell);

        // A long run being wrapped is measured but not kept.
        const qsizetype before = cache.measuredTexts();
        const QString longRun(1000, QChar(u'字'));
        const QSize longCell = cache.extent(font, longRun);
        EXPECT_GT(longCell.width(), 100 * cache.extent(font, QStringLiteral("字")).width());
        EXPECT_EQ(cache.measuredTexts(), before + 1);
    }).join();
}

}
