#include "shell/ModuleState.h"
#include "shell/InitFile.h"
#include "shell/Log.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempEnvironment.h"

#include <QCoreApplication>
#include <QStringList>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using vorlix::test::LogCapture;
using vorlix::test::TempEnvironment;

namespace {

// Restores the module state a test changes.
class ModuleStateTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        setMessagePresenter({});
        setUnattendedMessageSink({});
        moduleState().RunMode = 0;
        moduleState().TheSource.reset();
        moduleState().SettingsFile.reset();
    }
};

TEST_F(ModuleStateTest, UnattendedModesAnswerOkWithoutAskingAnybody)
{
    int asked = 0;
    setMessagePresenter([&](const QString&, int, const QString&) {
        ++asked;
        return 7;
    });
    QStringList unattended;
    setUnattendedMessageSink([&](const QString& prompt) { unattended << prompt; });
    for (const int mode : { 1, 3, 4, 7, -1 }) {
        moduleState().RunMode = mode;
        for (const int style : { 0, 64, 35 })
            EXPECT_EQ(ShowMessage("続けますか", style), 1) << "mode " << mode << " style " << style;
    }
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(unattended.size(), 15);
    EXPECT_EQ(unattended.first(), "続けますか");
}

TEST_F(ModuleStateTest, WindowModesAskThePresenter)
{
    QList<std::pair<QString, int>> asked;
    QStringList captions;
    setMessagePresenter([&](const QString& prompt, int style, const QString& caption) {
        asked.append({ prompt, style });
        captions << caption;
        return 6;
    });
    for (const int mode : { 0, 2 }) {
        moduleState().RunMode = mode;
        EXPECT_EQ(ShowMessage("保存しますか", 35), 6);
    }
    EXPECT_EQ(
        asked, (QList<std::pair<QString, int>> { { "保存しますか", 35 }, { "保存しますか", 35 } }));

    // The caption is the application title, the program's name until a document sets its own,
    // with the asking object's suffix.
    moduleState().ApplicationTitle.clear();
    EXPECT_EQ(ShowMessage("?", 0, "/GeneFile"), 6);
    moduleState().ApplicationTitle = QStringLiteral("請求書");
    EXPECT_EQ(ShowMessage("?", 0, "/WebFile"), 6);
    EXPECT_EQ(ShowMessage("?", 0), 6);
    moduleState().ApplicationTitle.clear();
    EXPECT_EQ(captions,
        QStringList({ QCoreApplication::applicationName(), QCoreApplication::applicationName(),
            QCoreApplication::applicationName() + "/GeneFile", "請求書/WebFile", "請求書" }));
    setMessagePresenter({});
    EXPECT_EQ(ShowMessage("nobody to ask", 35), 1);
}

TEST_F(ModuleStateTest, InitialStateIsEmpty)
{
    const ModuleState fresh;
    EXPECT_EQ(fresh.RunMode, 0);
    EXPECT_TRUE(fresh.InputFile.isEmpty());
    EXPECT_EQ(fresh.ArgCopies, 0);
    EXPECT_EQ(fresh.ArgOrient, 0);
    EXPECT_TRUE(fresh.DebugFlag);
    EXPECT_EQ(fresh.StdOutHandle, 0);
    EXPECT_EQ(fresh.SettingsFile, nullptr);
}

// The source writes its last settings while it ends, so it must go before the settings object.
struct SourceProbe {
    ~SourceProbe()
    {
        const bool settingsAlive = moduleState().SettingsFile != nullptr;
        WriteLog(QStringLiteral("Source/Terminate>settings=") + (settingsAlive ? "alive" : "gone"));
        if (settingsAlive)
            moduleState().SettingsFile->SetString("general", "PaperSize", "11");
    }
};

TEST_F(ModuleStateTest, EndAppReleasesTheSourceBeforeTheSettings)
{
    TempEnvironment env;
    auto settings = std::make_shared<InitFile>();
    settings->setFile(settings->HostPath());
    const QString file = settings->File();
    moduleState().SettingsFile = settings;
    settings.reset();
    moduleState().TheSource = std::make_shared<SourceProbe>();
    LogCapture log;
    EndApp();
    EXPECT_EQ(log.lines(),
        QStringList(
            { "Source/Terminate>settings=alive", "InitFAPI/Terminate>", "Vorlix/Main>!!END!!" }));
    EXPECT_EQ(moduleState().TheSource, nullptr);
    EXPECT_EQ(moduleState().SettingsFile, nullptr);
    InitFile reread;
    reread.setFile(file);
    EXPECT_EQ(reread.GetString("general", "PaperSize", "9"), "11");
}

}
