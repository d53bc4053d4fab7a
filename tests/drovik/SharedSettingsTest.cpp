#include "drovik/SharedSettings.h"
#include "shell/CodePage.h"
#include "shell/InitFile.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vorlix::drovik;
using namespace vorlix::test;

namespace {

class SharedSettingsTest : public ::testing::Test {
protected:
    [[nodiscard]] QString file(const QString& name = "vorlix.ini") const
    {
        return env.configHome() + "/vorlix/" + name;
    }
    [[nodiscard]] QStringList lines(const QString& name = "vorlix.ini") const
    {
        QStringList all = vorlix::shell::fromCp932(readFileBytes(file(name))).split("\r\n");
        all.removeAll(QString());
        return all;
    }
    TempEnvironment env;
    ScopedModuleState state;
};

// The downloader creates Vorlix's file itself, so the defaults go in one by one as they are read.
TEST_F(SharedSettingsTest, MissingFileIsCreatedNamingDrovik)
{
    LogCapture log;
    state->SettingsFile = SharedSettings::open();
    EXPECT_EQ(state->SettingsFile->File(), file());
    EXPECT_EQ(lines(), (QStringList { ";drovik により作製された", "[general]" }));
    EXPECT_EQ(log.lines(), QStringList { "InitFAPI/Initialze>" });

    EXPECT_EQ(SharedSettings::webFolder(), "http://localhost/support/smple_data/");
    EXPECT_EQ(SharedSettings::sheetFolder(), env.dataHome() + "/vorlix/sheet/Default/");
    EXPECT_EQ(lines(),
        (QStringList { ";drovik により作製された", "[general]", "[sheet]",
            "www=http://localhost/support/smple_data/",
            "Default=" + env.dataHome() + "/vorlix/sheet/Default/" }));
}

TEST_F(SharedSettingsTest, VorlixFileIsReadAsItStands)
{
    const QByteArray text
        = vorlix::shell::toCp932(";vorlix "
                                 "により作製された\r\n[general]\r\nDebug=True\r\n[sheet]\r\nwww="
                                 "http://h/s/\r\nDefault=/f/\r\n");
    ASSERT_TRUE(writeFileBytes(file(), text));
    state->SettingsFile = SharedSettings::open();
    EXPECT_EQ(SharedSettings::webFolder(), "http://h/s/");
    EXPECT_EQ(SharedSettings::sheetFolder(), "/f/");
    EXPECT_EQ(readFileBytes(file()), text);
}

TEST_F(SharedSettingsTest, NewFileDefaultsLeaveOutTheAssociation)
{
    vorlix::shell::InitFile settings("drovik");
    LogCapture log;
    SharedSettings::SetInit(settings, "fresh.ini");
    EXPECT_TRUE(log.lines().contains("Vorlix/iniINIT>new ini file"));
    const QStringList written = lines("fresh.ini");
    EXPECT_EQ(written.first(), ";drovik により作製された");
    EXPECT_EQ(written.filter(QRegularExpression("^\\[")),
        (QStringList {
            "[general]", "[sheet]", "[details]", "[server]", "[menu]", "[view]", "[NULL]" }));
    EXPECT_TRUE(written.contains("http=80"));
    EXPECT_TRUE(written.filter("chkreg").isEmpty());

    // An existing file is left alone.
    LogCapture again;
    SharedSettings::SetInit(settings, "fresh.ini");
    EXPECT_TRUE(again.lines().isEmpty());
    EXPECT_EQ(lines("fresh.ini"), written);
}

}
