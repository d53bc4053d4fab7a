#include "RenderTestSupport.h"

#include "render/FontWarmUp.h"
#include "render/QtFontCache.h"

#include <QFontDatabase>
#include <future>
#include <thread>

using namespace vorlix;
using namespace vorlix::render;

namespace {

QSize measuredOnItsOwnThread(const QString& face, const QString& text)
{
    LogFont font;
    font.lfHeight = 50;
    font.lfFaceName = face;
    return std::async(std::launch::async, [&] {
        return QtFontCache::shared().extent(font, text);
    }).get();
}

// Each test runs in a process of its own: the font database is read for the first time here,
// by the warm-up and the measuring threads at once.
TEST(FontWarmUp, TextMeasuredWhileTheFontsWarmUpMeasuresAsAfterwards)
{
    const QString text = QStringLiteral("請求書 No.12 ｱｲｳ");
    QSize mincho;
    QSize gothic;
    {
        std::thread warmUp(warmUpFonts);
        mincho = measuredOnItsOwnThread(test::mincho, text);
        gothic = measuredOnItsOwnThread(QStringLiteral("ＭＳ ゴシック"), text);
        warmUp.join();
    }
    EXPECT_FALSE(QFontDatabase::families().isEmpty());
    EXPECT_GT(mincho.width(), 0);
    EXPECT_EQ(mincho, measuredOnItsOwnThread(test::mincho, text));
    EXPECT_EQ(gothic, measuredOnItsOwnThread(QStringLiteral("ＭＳ ゴシック"), text));
}

}
