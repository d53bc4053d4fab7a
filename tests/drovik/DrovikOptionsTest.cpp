#include "drovik/DrovikOptions.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

using vorlix::drovik::DrovikOptions;
using Action = DrovikOptions::Action;

namespace {

TEST(DrovikOptionsTest, ArgumentsChooseTheRun)
{
    const struct {
        QStringList arguments;
        Action action;
        const char* url;
    } cases[] = {
        { {}, Action::Window, "" },
        { { "-y" }, Action::Unattended, "" },
        { { "-y", " http://h/s " }, Action::Unattended, "http://h/s" },
        { { "-y", "/local/samples" }, Action::Unattended, "/local/samples" },
        { { "--help" }, Action::Help, "" },
        { { "--version" }, Action::Version, "" },
        { { "-Y" }, Action::UsageError, "" },
        { { "-y", "-v" }, Action::UsageError, "" },
        { { "-y", "  " }, Action::UsageError, "" },
        { { "-y", "a", "b" }, Action::UsageError, "" },
        { { "--version", "x" }, Action::UsageError, "" },
        { { "http://h/s/" }, Action::UsageError, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const DrovikOptions options = DrovikOptions::parse(c.arguments);
        EXPECT_EQ(options.action, c.action);
        EXPECT_EQ(options.url, c.url);
        EXPECT_EQ(options.error.isEmpty(), c.action != Action::UsageError);
    }
}

TEST(DrovikOptionsTest, DisplayIsAnyDisplayOrAChosenPlatform)
{
    vorlix::test::TempEnvironment env;
    env.set("DISPLAY", std::nullopt);
    env.set("WAYLAND_DISPLAY", std::nullopt);
    env.set("QT_QPA_PLATFORM", std::nullopt);
    EXPECT_FALSE(DrovikOptions::hasDisplay());
    env.set("WAYLAND_DISPLAY", "");
    EXPECT_FALSE(DrovikOptions::hasDisplay());
    env.set("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(DrovikOptions::hasDisplay());
    env.set("WAYLAND_DISPLAY", std::nullopt);
    env.set("DISPLAY", ":7");
    EXPECT_TRUE(DrovikOptions::hasDisplay());
    env.set("DISPLAY", std::nullopt);
    env.set("QT_QPA_PLATFORM", "offscreen");
    EXPECT_TRUE(DrovikOptions::hasDisplay());
}

}
