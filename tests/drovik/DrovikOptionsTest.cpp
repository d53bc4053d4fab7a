#include "drovik/DrovikOptions.h"

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

}
