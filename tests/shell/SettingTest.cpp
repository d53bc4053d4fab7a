#include "shell/Setting.h"
#include "shell/InitFile.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

class SettingTest : public ::testing::Test {
protected:
    TempEnvironment env;
    ScopedModuleState state;
};

TEST_F(SettingTest, WithoutASettingsObjectTheTableAnswers)
{
    EXPECT_EQ(setting("general", "FDPNSW"), "DPN");
    EXPECT_EQ(setting("general", "CurDir"), QDir::currentPath());
    EXPECT_EQ(settingLong("general", "DPI"), 400);
    EXPECT_DOUBLE_EQ(settingDouble("view", "bLps"), 0.4);
    EXPECT_FALSE(settingFlag("general", "Debug"));
    EXPECT_TRUE(settingFlag("reg", "chkreg"));
    EXPECT_EQ(printerSettingLong("Office Laser", "PaperLeftLag"), 0);
    EXPECT_EQ(setting("general", "NoSuchKey", "mine"), "mine");
    // Writing without a settings object goes nowhere and fails nothing.
    storeSetting("general", "DPI", "600");
    EXPECT_EQ(settingLong("general", "DPI"), 400);
}

TEST_F(SettingTest, MissingKeysGetTheTablesDefaultWrittenBack)
{
    InitFile& settings = state.startSettings();
    settings.SetString("menu", "fontsize", "");
    EXPECT_EQ(settingLong("menu", "fontsize"), 10);
    EXPECT_EQ(settings.Value("fontsize"), "10");
    // A printer's own section starts with the corrections of the printer without a name.
    EXPECT_EQ(printerSettingLong("Office Laser", "PaperTopLag"), 0);
    settings.setSection("Office Laser");
    EXPECT_EQ(settings.Value("PaperTopLag"), "0");
    storeSetting("Office Laser", "PaperTopLag", "-12");
    EXPECT_EQ(printerSettingLong("Office Laser", "PaperTopLag"), -12);
}

TEST_F(SettingTest, ValuesThatAreNoNumberOrOutOfRangeGiveTheDefault)
{
    state.startSettings();
    struct {
        const char* written;
        Accept accept;
        std::int32_t read;
    } cases[] = {
        { "600", Accept::Any, 600 },
        { "600.5", Accept::Any, 600 },
        { "many", Accept::Any, 400 },
        { "-3", Accept::Any, -3 },
        { "-3", Accept::Positive, 400 },
        { "0", Accept::Positive, 400 },
        { "99999999999", Accept::Any, 400 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        storeSetting("general", "DPI", c.written);
        EXPECT_EQ(settingLong("general", "DPI", c.accept), c.read);
    }
    storeSetting("view", "kPsa", "0");
    EXPECT_DOUBLE_EQ(settingDouble("view", "kPsa", Accept::Positive), 1.0);
    storeSetting("view", "kPsa", "1.5");
    EXPECT_DOUBLE_EQ(settingDouble("view", "kPsa", Accept::Positive), 1.5);
}

TEST_F(SettingTest, FlagsReadWordsInAnyCaseAndNumbers)
{
    state.startSettings();
    struct {
        const char* written;
        bool read;
    } cases[] = { { "True", true }, { "FALSE", false }, { " true ", true }, { "-1", true },
        { "0", false }, { "2", true }, { "perhaps", false } };
    for (const auto& c : cases) {
        storeSetting("general", "Debug", c.written);
        EXPECT_EQ(settingFlag("general", "Debug"), c.read) << c.written;
    }
    EXPECT_EQ(flagText(true), "True");
    EXPECT_EQ(flagText(false), "False");
}

}
