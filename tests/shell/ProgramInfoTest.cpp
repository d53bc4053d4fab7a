#include "shell/ProgramInfo.h"
#include "shell/QtMessageRoute.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempEnvironment.h"

#include <QtGlobal>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::shell;

TEST(ProgramInfo, UsageListsEverySwitchOnALineOfItsOwn)
{
    const UsageLine switches[] = { { "-p", "print" }, { "-m=OUT", "merge into OUT" },
        { "--version", "show the version" } };
    EXPECT_EQ(usageText(QStringLiteral("Usage: x FILE"), switches),
        QStringLiteral("Usage: x FILE\n"
                       "  -p         print\n"
                       "  -m=OUT     merge into OUT\n"
                       "  --version  show the version\n"));
    EXPECT_EQ(usageText(QStringLiteral("Usage: x\n"), {}), QStringLiteral("Usage: x\n"));
}

TEST(ProgramInfo, VersionNamesTheBuildAndQt)
{
    EXPECT_EQ(versionText(QStringLiteral("drovik")),
        QStringLiteral("drovik " VORLIX_VERSION "\nQt ") + QString::fromLatin1(qVersion()) + u'\n');
    // Only the first argument asks, and only these two words.
    for (const QStringList& arguments : { QStringList {}, QStringList { "-p", "--help" },
             QStringList { "--Help" }, QStringList { "-h" }, QStringList { "help.mnd" } })
        EXPECT_FALSE(answerHelpOrVersion(arguments, "x", "usage").has_value())
            << arguments.join(' ').toStdString();
}

TEST(ProgramInfo, DisplayIsADisplayOrAPlatformThatNeedsNone)
{
    const struct {
        const char* display;
        const char* wayland;
        const char* platform;
        bool shown;
    } cases[] = {
        { nullptr, nullptr, nullptr, false },
        { "", "", "", false },
        { ":7", nullptr, nullptr, true },
        { nullptr, "wayland-0", nullptr, true },
        { nullptr, nullptr, "offscreen", true },
        { nullptr, nullptr, "xcb", false },
        { nullptr, nullptr, "wayland;xcb", false },
        { ":7", nullptr, "wayland;xcb", true },
        { nullptr, nullptr, "xcb;vnc:size=800x600", true },
    };
    vorlix::test::TempEnvironment env;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.platform ? c.platform : "(none)");
        env.set("DISPLAY", c.display ? std::optional<QByteArray>(c.display) : std::nullopt);
        env.set("WAYLAND_DISPLAY", c.wayland ? std::optional<QByteArray>(c.wayland) : std::nullopt);
        env.set(
            "QT_QPA_PLATFORM", c.platform ? std::optional<QByteArray>(c.platform) : std::nullopt);
        EXPECT_EQ(hasDisplay(), c.shown);
    }
}

// Qt's own messages go to the debug log as "Qt/<kind>>" lines, or nowhere; never to standard
// error.
TEST(QtMessageRoute, QtMessagesGoToTheLogOrNowhere)
{
    vorlix::test::LogCapture log;
    routeQtMessages(QtMessageRoute::DebugLog, QStringLiteral("vorlix"));
    qWarning("QStandardPaths: XDG_RUNTIME_DIR not set");
    qCritical("critical %d", 2);
    qDebug("noise");
    routeQtMessages(QtMessageRoute::Nowhere, QStringLiteral("vorlix"));
    qWarning("lost");
    qInstallMessageHandler(nullptr);
    EXPECT_EQ(log.linesStartingWith(QStringLiteral("Qt/")),
        QStringList({ "Qt/Warning>QStandardPaths: XDG_RUNTIME_DIR not set",
            "Qt/Critical>critical 2", "Qt/Debug>noise" }));
#ifdef NDEBUG
    EXPECT_EQ(buildQtMessageRoute(), QtMessageRoute::Nowhere);
#else
    EXPECT_EQ(buildQtMessageRoute(), QtMessageRoute::DebugLog);
#endif
}

}
