#include "shell/UserInterface.h"
#include "shell/ModuleState.h"
#include "tests/support/ScopedModuleState.h"

#include <QCoreApplication>
#include <QStringList>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using vorlix::test::ScopedModuleState;

namespace {

TEST(UserInterfaceTest, UnattendedModesAnswerOkWithoutAskingAnybody)
{
    ScopedModuleState state;
    int asked = 0;
    state->ui.presenter = [&](const QString&, int, const QString&) {
        ++asked;
        return 7;
    };
    QStringList unattended;
    state->ui.unattended = [&](const QString& prompt) { unattended << prompt; };
    for (const int mode : { 1, 3, 4, 7, -1 }) {
        state.options().RunMode = static_cast<RunModes>(mode);
        for (const int style : { 0, 64, 35 })
            EXPECT_EQ(ShowMessage("続けますか", style), 1) << "mode " << mode << " style " << style;
    }
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(unattended.size(), 15);
    EXPECT_EQ(unattended.first(), "続けますか");
}

TEST(UserInterfaceTest, WindowModesAskThePresenter)
{
    ScopedModuleState state;
    QList<std::pair<QString, int>> asked;
    QStringList captions;
    state->ui.presenter = [&](const QString& prompt, int style, const QString& caption) {
        asked.append({ prompt, style });
        captions << caption;
        return 6;
    };
    for (const RunModes mode : { RunModes::Window, RunModes::View }) {
        state.options().RunMode = mode;
        EXPECT_EQ(ShowMessage("保存しますか", 35), 6);
    }
    EXPECT_EQ(
        asked, (QList<std::pair<QString, int>> { { "保存しますか", 35 }, { "保存しますか", 35 } }));

    // The caption is the application title, the program's name until a document sets its own,
    // with the asking object's suffix.
    EXPECT_EQ(ShowMessage("?", 0, "/GeneFile"), 6);
    state->ApplicationTitle = QStringLiteral("請求書");
    EXPECT_EQ(ShowMessage("?", 0, "/WebFile"), 6);
    EXPECT_EQ(ShowMessage("?", 0), 6);
    const QString program = QCoreApplication::applicationName();
    EXPECT_EQ(captions,
        QStringList({ program, program, program + "/GeneFile", "請求書/WebFile", "請求書" }));
    state->ui.presenter = {};
    EXPECT_EQ(ShowMessage("nobody to ask", 35), 1);
}

TEST(UserInterfaceTest, BeepAndPendingEventsGoToTheInstalledHooksOnly)
{
    ScopedModuleState state;
    // Without hooks both are quiet and harmless.
    SystemBeep();
    HandlePendingEvents();
    int beeps = 0;
    int rounds = 0;
    state->ui.beep = [&] { ++beeps; };
    state->ui.pendingEvents = [&] { ++rounds; };
    SystemBeep();
    SystemBeep();
    HandlePendingEvents();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(rounds, 1);
}

}
