#include "window/About.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"
#include "window/ApplicationIcon.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using window::About;

namespace {

TEST(AboutTest, TextsComeFromTheBuild)
{
    EXPECT_EQ(About::versionText(1, 2, 34), QStringLiteral("Version 1.2  Build 34"));
    TempEnvironment env;
    ScopedModuleState state;
    About about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("vorlixのバージョン情報"));
    const auto texts = About::labelTexts();
    EXPECT_EQ(texts[0], QStringLiteral("Vorlix"));
    EXPECT_EQ(texts[1],
        About::versionText(VORLIX_VERSION_MAJOR, VORLIX_VERSION_MINOR, VORLIX_VERSION_PATCH));
    EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Copyright")));
    for (int i = 0; i < 4; ++i) {
        const auto* label = about.findChild<QLabel*>(QStringLiteral("Label1_%1").arg(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), texts[i]);
    }
    const auto* image = about.findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->pixmap().isNull());
    about.setIconRes(window::applicationPixmap(256));
    EXPECT_FALSE(image->pixmap().isNull());
}

TEST(AboutTest, EscapeOrEnterClosesAndOtherKeysDoNot)
{
    for (const Qt::Key key : { Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter }) {
        About about;
        about.show();
        QTest::keyClick(&about, Qt::Key_A);
        QTest::keyClick(&about, Qt::Key_Space);
        EXPECT_TRUE(about.isVisible());
        QTest::keyClick(&about, key);
        EXPECT_FALSE(about.isVisible()) << key;
    }
}

// The icon is drawn, not empty: its middle is the white sheet, its corner transparent.
TEST(AboutTest, TheApplicationIconIsDrawnAtEverySize)
{
    for (int size : { 16, 48, 256 }) {
        const QImage icon = window::applicationPixmap(size).toImage();
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, size - 1)), 0);
        EXPECT_GT(qAlpha(icon.pixel(size / 2, size / 2)), 200);
    }
    EXPECT_GE(window::applicationIcon().availableSizes().size(), 5);
}

}
