#include "shell/InitFile.h"
#include "shell/CodePage.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

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
    // Another run replaces the file by renaming a new one over it, at once and of the same size.
    ASSERT_TRUE(writeFileBytes(iniPath() + ".new", "[general]\r\nDPI=300\r\n"));
    ASSERT_EQ(::rename(QFile::encodeName(iniPath() + ".new"), QFile::encodeName(iniPath())), 0);
    EXPECT_EQ(ini.GetString("general", "DPI", "1"), "300");
    ASSERT_TRUE(writeFileBytes(iniPath(), "[general]\r\n"));
    EXPECT_EQ(ini.Value("DPI"), "");
}

// Sixteen runs start at once on a settings file that is not there yet, and each stores values of
// its own and has defaults written back, as runs with "-c=A3" and "-o=2" do: one of them creates
// the file, and no value of any run is lost. This program plays the runs, started again.
TEST(InitFile, OverlappingRunsLoseNoSetting)
{
    constexpr int Runs = 16;
    constexpr int Rounds = 20;
    const QString key = QStringLiteral("run") + qEnvironmentVariable("VORLIX_SETTINGS_RUN");
    if (qEnvironmentVariableIsSet("VORLIX_SETTINGS_RUN")) {
        InitFile ini;
        ini.setFile(qEnvironmentVariable("VORLIX_SETTINGS_FILE"));
        std::printf("%s\n", ini.fNewFile() ? "new" : "old");
        for (int round = 1; round <= Rounds; ++round) {
            ini.SetString("runs", key, QString::number(round));
            (void)ini.GetString("defaults", key, QStringLiteral("default"));
        }
        return;
    }
    const TempEnvironment env;
    const QString file = env.root() + "/vorlix.ini";
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int run = 0; run < Runs; ++run) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VORLIX_SETTINGS_RUN", QString::number(run));
        environment.insert("VORLIX_SETTINGS_FILE", file);
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral("/proc/self/exe"),
            { QStringLiteral("--gtest_filter=InitFile.OverlappingRunsLoseNoSetting") });
        runs.push_back(std::move(process));
    }
    int created = 0;
    for (const auto& process : runs) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0);
        created += process->readAllStandardOutput().split('\n').count("new");
    }
    EXPECT_EQ(created, 1);
    const ProfileFile settings(file);
    for (int run = 0; run < Runs; ++run) {
        const QString name = QStringLiteral("run") + QString::number(run);
        EXPECT_EQ(settings.readString("runs", name), QString::number(Rounds)) << run;
        EXPECT_EQ(settings.readString("defaults", name), QStringLiteral("default")) << run;
    }
    EXPECT_EQ(settings.sectionNames(), QStringList({ "general", "runs", "defaults" }))
        << readFileBytes(file).constData();
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
