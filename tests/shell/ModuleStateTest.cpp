#include "shell/ModuleState.h"
#include "shell/InitFile.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

TEST(ModuleStateTest, InitialStateIsEmpty)
{
    const ModuleState fresh;
    EXPECT_EQ(fresh.commandLine.RunMode, RunModes::Window);
    EXPECT_TRUE(fresh.commandLine.InputFile.isEmpty());
    EXPECT_TRUE(fresh.commandLine.ArgPages.isEmpty());
    EXPECT_EQ(fresh.commandLine.ArgCopies, 0);
    EXPECT_EQ(fresh.commandLine.ArgOrient, 0);
    EXPECT_TRUE(fresh.DebugFlag);
    EXPECT_EQ(fresh.StdOutHandle, 0);
    EXPECT_EQ(fresh.SettingsFile, nullptr);
    EXPECT_EQ(fresh.logSink, nullptr);
    EXPECT_FALSE(fresh.ui.presenter || fresh.ui.beep || fresh.ui.pendingEvents);
}

TEST(ModuleStateTest, OnlyTheTwoWindowModesHaveSomebodyAtTheScreen)
{
    CommandLineOptions options;
    for (const int mode : { 0, 2 }) {
        options.RunMode = static_cast<RunModes>(mode);
        EXPECT_FALSE(options.unattended()) << mode;
    }
    for (const int mode : { 1, 3, 4, 7, -1 }) {
        options.RunMode = static_cast<RunModes>(mode);
        EXPECT_TRUE(options.unattended()) << mode;
    }
}

// Whatever a test left behind goes, and the settings object ends with its own log line while the
// rest of the state is still there to log it.
TEST(ModuleStateTest, ResetEndsEverythingAProcessSetUp)
{
    TempEnvironment env;
    ScopedModuleState scope(RunModes::Print);
    auto& state = moduleState();
    state.commandLine.ArgTitle = QStringLiteral("請求書");
    state.commandLine.ArgCopies = 3;
    state.DebugFlag = false;
    state.ApplicationTitle = QStringLiteral("請求書");
    state.ui.beep = [] {};
    state.SettingsFile = std::make_unique<InitFile>();
    QStringList logged;
    {
        LogCapture log;
        state.reset();
        logged = log.lines();
    }
    EXPECT_EQ(logged, QStringList { "InitFAPI/Terminate>" });
    EXPECT_EQ(state.commandLine.RunMode, RunModes::Window);
    EXPECT_TRUE(state.commandLine.ArgTitle.isEmpty());
    EXPECT_EQ(state.commandLine.ArgCopies, 0);
    EXPECT_TRUE(state.DebugFlag);
    EXPECT_TRUE(state.ApplicationTitle.isEmpty());
    EXPECT_FALSE(state.ui.beep);
    EXPECT_EQ(state.SettingsFile, nullptr);
}

}
