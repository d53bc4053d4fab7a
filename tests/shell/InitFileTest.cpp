#include "shell/InitFile.h"
#include "shell/CodePage.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

class InitFileTest : public ::testing::Test {
protected:
    QString iniPath() const { return env.configHome() + "/vorlix/vorlix.ini"; }
    // A settings object on a file of the test's own.
    void useFile(InitFile& ini, const QByteArray& content)
    {
        ASSERT_TRUE(writeFileBytes(iniPath(), content));
        ini.setFile(iniPath());
        ASSERT_FALSE(ini.fNewFile());
    }
    TempEnvironment env;
};

TEST_F(InitFileTest, SettingsLiveInTheConfigFolderWhichIsCreated)
{
    InitFile ini;
    EXPECT_EQ(ini.HostPath(), env.configHome() + "/vorlix/");
    EXPECT_TRUE(QFileInfo(ini.HostPath()).isDir());
    EXPECT_EQ(ini.UserPath(), ini.HostPath());
    EXPECT_EQ(ini.DomainPath(), ini.WinPath());
    EXPECT_EQ(ini.ApprExeName(), "vorlix");
    EXPECT_EQ(ini.Section(), "general");
    EXPECT_FALSE(ini.HostName().isEmpty());
    EXPECT_FALSE(ini.UserName().isEmpty());
    EXPECT_TRUE(ini.ApprPath().endsWith(u'/'));
    EXPECT_TRUE(QFileInfo(ini.ApprPath()).isDir());
    EXPECT_TRUE(QFileInfo(ini.ApprPath() + "shell_tests").exists());
}

TEST_F(InitFileTest, DrovikSharesVorliksSettingsFolder)
{
    InitFile vorlix;
    InitFile drovik(QStringLiteral("drovik"));
    EXPECT_EQ(drovik.ApprExeName(), "drovik");
    EXPECT_EQ(drovik.HostPath(), vorlix.HostPath());
    drovik.setFile(drovik.HostPath() + "vorlix.ini");
    vorlix.setFile("");
    EXPECT_EQ(drovik.File(), vorlix.File());
}

TEST_F(InitFileTest, ProfilesVariablePutsSettingsUnderTheHostsFolder)
{
    for (const QString& suffix : { QString(), QStringLiteral("/") }) {
        const QString profiles = env.root() + "/shared";
        env.set("profiles", (profiles + suffix).toLocal8Bit());
        InitFile ini;
        EXPECT_EQ(ini.DomainPath(), profiles + "/");
        EXPECT_EQ(ini.HostPath(), profiles + "/host/" + ini.HostName() + "/");
        EXPECT_EQ(ini.UserPath(), profiles + "/user/" + ini.UserName() + "/");
        EXPECT_TRUE(QFileInfo(ini.HostPath()).isDir());
        ini.setFile(ini.HostPath());
        EXPECT_EQ(ini.File(), profiles + "/host/" + ini.HostName() + "/vorlix.ini");
        EXPECT_TRUE(QFile::exists(ini.File()));
    }
}

TEST_F(InitFileTest, FileNameRules)
{
    InitFile ini;
    const QString cfg = env.root() + "/cfg";
    ASSERT_TRUE(QDir().mkpath(cfg));
    const std::pair<QString, QString> cases[] = {
        { QString(), ini.HostPath() + "vorlix.ini" },
        { cfg + "/", cfg + "/vorlix.ini" },
        { cfg + "\\", cfg + "/vorlix.ini" },
        { cfg + "/other.ini", cfg + "/other.ini" },
        { cfg + "/D:", cfg + "/D:" },
    };
    for (const auto& [given, expected] : cases) {
        ini.setFile(given);
        EXPECT_EQ(ini.File(), expected) << given.toStdString();
    }
}

TEST_F(InitFileTest, ANewFileGetsTheHeaderAndAnExistingOneIsLeftAlone)
{
    for (const QString& exe : { QStringLiteral("vorlix"), QStringLiteral("drovik") }) {
        SCOPED_TRACE(exe.toStdString());
        const QString path = env.root() + "/" + exe + ".ini";
        InitFile ini(exe);
        ini.setFile(path);
        EXPECT_TRUE(ini.fNewFile());
        EXPECT_EQ(readFileBytes(path), toCp932(";" + exe + " により作製された\r\n[general]\r\n"));
        ini.setFile(path);
        EXPECT_FALSE(ini.fNewFile());
        EXPECT_EQ(readFileBytes(path), toCp932(";" + exe + " により作製された\r\n[general]\r\n"));
    }
}

TEST_F(InitFileTest, AnUnwritableFolderIsLoggedAndTheProgramGoesOn)
{
    // A regular file where a folder should be: no user, root included, can create a file under it.
    const QString blocker = env.root() + "/blocker";
    ASSERT_TRUE(writeFileBytes(blocker, "x"));
    env.set("profiles", blocker.toLocal8Bit());
    LogCapture log;
    {
        InitFile ini;
        ini.setFile(ini.HostPath());
        EXPECT_TRUE(ini.fNewFile());
        EXPECT_EQ(ini.GetString("general", "DPI", "400"), "400");
        ini.SetString("general", "DPI", "600");
        EXPECT_EQ(ini.Value("DPI"), "");
        QString key, value, section;
        EXPECT_FALSE(ini.RepValue(key, value));
        EXPECT_FALSE(ini.RepSection(section));
        EXPECT_EQ(readFileBytes(blocker), "x");
    }
    const QStringList expected {
        "InitFAPI/Initialze>",
        "InitFAPI/File>ファイルの書き込みが失敗した:" + blocker + "/host/"
            + QSysInfo::machineHostName() + "/",
        "InitFAPI/Terminate>",
    };
    EXPECT_EQ(log.lines(), expected);
}

TEST_F(InitFileTest, GetStringWritesMissingAndEmptyKeysBack)
{
    InitFile ini;
    useFile(ini, "[general]\r\nDPI=\r\nPaperSize=11\r\n");
    EXPECT_EQ(ini.GetString("general", "PaperSize", "9"), "11");
    EXPECT_EQ(ini.GetString("general", "DPI", "400"), "400");
    EXPECT_EQ(ini.GetString("view", "bLps", "0.4"), "0.4");
    EXPECT_EQ(ini.Section(), "view");
    EXPECT_EQ(readFileBytes(iniPath()),
        "[general]\r\nDPI=400\r\nPaperSize=11\r\n\r\n[view]\r\nbLps=0.4\r\n");
    // Now present: the default no longer matters.
    EXPECT_EQ(ini.GetString("general", "DPI", "300"), "400");
}

TEST_F(InitFileTest, ValueOfAMissingKeyReadsEmptyAndWritesNothing)
{
    InitFile ini;
    const QByteArray original = "[general]\r\nDebug=False\r\n";
    useFile(ini, original);
    ini.setSection("general");
    EXPECT_EQ(ini.Value("missing"), "");
    ini.setSection("nosuchsection");
    EXPECT_EQ(ini.Value("Debug"), "");
    EXPECT_EQ(readFileBytes(iniPath()), original);
}

TEST_F(InitFileTest, NamesMatchWithoutRegardToCase)
{
    InitFile ini;
    useFile(ini, "[General]\r\nDefaultPrinter=Default\r\n");
    ini.setSection("GENERAL");
    EXPECT_EQ(ini.Value("defaultprinter"), "Default");
    ini.setValue("DEFAULTPRINTER", "cups-pdf");
    EXPECT_EQ(ini.GetString("general", "DefaultPrinter", "x"), "cups-pdf");
    EXPECT_EQ(readFileBytes(iniPath()), "[General]\r\nDEFAULTPRINTER=cups-pdf\r\n");
}

TEST_F(InitFileTest, SetStringLeavesTheCurrentSectionAlone)
{
    InitFile ini;
    useFile(ini, "[general]\r\n");
    ini.setSection("view");
    ini.SetString("reg", "chkreg", "False");
    EXPECT_EQ(ini.Section(), "view");
    EXPECT_EQ(ini.GetString("reg", "chkreg", "True"), "False");
}

TEST_F(InitFileTest, RepValueEnumeratesTheSectionThenStartsAgain)
{
    InitFile ini;
    useFile(ini, "[general]\r\nx=0\r\n[s]\r\na=1\r\n; note\r\n b = 2 \r\n[t]\r\nc=3\r\n");
    ini.setSection("S");
    QString key, value;
    const std::pair<QString, QString> expected[] = { { "a", "1" }, { "b", "2" } };
    for (int round = 0; round < 2; ++round) {
        for (const auto& [k, v] : expected) {
            ASSERT_TRUE(ini.RepValue(key, value));
            EXPECT_EQ(key, k);
            EXPECT_EQ(value, v);
        }
        EXPECT_FALSE(ini.RepValue(key, value));
    }
    ini.setSection("");
    EXPECT_FALSE(ini.RepValue(key, value));
    ini.setSection("empty-or-missing");
    EXPECT_FALSE(ini.RepValue(key, value));
}

TEST_F(InitFileTest, RepSectionEnumeratesSectionNamesThenStartsAgain)
{
    InitFile ini;
    useFile(ini, ";c\r\n[general]\r\n[sheet]\r\nDefault=/x/\r\n[Epson LP]\r\nPaperLeftLag=3\r\n");
    QString name;
    for (int round = 0; round < 2; ++round) {
        QStringList seen;
        while (ini.RepSection(name))
            seen << name;
        EXPECT_EQ(seen, QStringList({ "general", "sheet", "Epson LP" }));
    }
}

TEST_F(InitFileTest, HandEditsAreSeenAtTheNextRead)
{
    InitFile ini;
    useFile(ini, "[general]\r\nDPI=400\r\n");
    EXPECT_EQ(ini.GetString("general", "DPI", "1"), "400");
    ASSERT_TRUE(writeFileBytes(iniPath(), "[general]\r\nDPI=600\r\n"));
    EXPECT_EQ(ini.GetString("general", "DPI", "1"), "600");
    ASSERT_TRUE(writeFileBytes(iniPath(), "[general]\r\n"));
    EXPECT_EQ(ini.Value("DPI"), "");
}

TEST_F(InitFileTest, LifeIsLogged)
{
    LogCapture log;
    {
        InitFile ini;
    }
    EXPECT_EQ(log.lines(), QStringList({ "InitFAPI/Initialze>", "InitFAPI/Terminate>" }));
    EXPECT_EQ(log.bytes(), "InitFAPI/Initialze>\r\nInitFAPI/Terminate>\r\n");
}

}
