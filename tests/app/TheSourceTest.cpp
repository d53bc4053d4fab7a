#include "app/TheSource.h"
#include "document/Source.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

namespace {

using vorlix::shell::InitFile;
using vorlix::test::LogCapture;

// The source document writes its last settings while it ends, so it must go before the settings
// object; the log shows the order.
TEST(TheSourceTest, EndAppReleasesTheSourceBeforeTheSettings)
{
    vorlix::test::TempEnvironment env;
    vorlix::test::ScopedModuleState state(vorlix::shell::RunModes::Print);
    const QString file = state.startSettings().File();
    vorlix::app::createTheSource().printer().PaperSize = 11;
    ASSERT_TRUE(vorlix::app::hasTheSource());
    QStringList lines;
    {
        LogCapture log;
        vorlix::app::EndApp();
        lines = log.lines();
    }
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(lines.size() - 3),
        QStringList({ "Source/Terminate>", "InitFAPI/Terminate>", "Vorlix/Main>!!END!!" }));
    EXPECT_FALSE(vorlix::app::hasTheSource());
    EXPECT_EQ(state->SettingsFile, nullptr);
    InitFile reread;
    reread.setFile(file);
    EXPECT_EQ(reread.GetString("general", "PaperSize", "9"), "11");
}

TEST(TheSourceTest, ASecondDocumentStartsFromWhatTheFirstWrote)
{
    vorlix::test::TempEnvironment env;
    vorlix::test::ScopedModuleState state(vorlix::shell::RunModes::Print);
    state.startSettings();
    vorlix::app::createTheSource().printer().PaperLeftLag = 25;
    EXPECT_EQ(vorlix::app::createTheSource().printer().PaperLeftLag, 25);
    vorlix::app::EndApp();
}

}
