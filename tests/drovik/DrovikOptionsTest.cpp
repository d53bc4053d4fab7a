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

TEST(DrovikOptionsTest, DisplayIsADisplayOrAPlatformThatNeedsNone)
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
        EXPECT_EQ(DrovikOptions::hasDisplay(), c.shown);
    }
}

}
