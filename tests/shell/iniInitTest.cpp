#include "shell/iniInit.h"
#include "shell/CodePage.h"
#include "shell/InitFile.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

// The whole new file as a user opening it for the first time sees it: the golden file beside this
// test, with the two folders of the first start filled in, CR LF line ends and CP932.
QByteArray expectedNewFile(const QString& curDir, const QString& sheetFolder)
{
    const QString golden
        = qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/tests/shell/data/first-start-ini.golden";
    QString text = QString::fromUtf8(readFileBytes(golden));
    text.replace("${CurDir}", curDir).replace("${SheetFolder}", sheetFolder);
    text.replace("\n", "\r\n");
    return toCp932(text);
}

TEST(iniInitTest, FirstStartWritesEveryDefaultInOrder)
{
    TempEnvironment env;
    LogCapture log;
    InitFile ini;
    iniInit(ini).SetInit("");
    const QString sheetFolder = env.dataHome() + "/vorlix/sheet/Default/";
    EXPECT_EQ(ini.File(), env.configHome() + "/vorlix/vorlix.ini");
    EXPECT_TRUE(ini.fNewFile());
    const QByteArray expected = expectedNewFile(QDir::currentPath(), sheetFolder);
    ASSERT_TRUE(expected.startsWith(toCp932(";vorlix により作製された\r\n[general]\r\n")));
    EXPECT_EQ(readFileBytes(ini.File()), expected);
    EXPECT_TRUE(QFileInfo(sheetFolder).isDir());
    EXPECT_EQ(log.lines(), QStringList({ "InitFAPI/Initialze>", "Vorlix/iniINIT>new ini file" }));
}

TEST(iniInitTest, AnExistingFileKeepsItsValues)
{
    TempEnvironment env;
    const QString path = env.configHome() + "/vorlix/vorlix.ini";
    const QByteArray mine = "[general]\r\nDPI=600\r\n";
    ASSERT_TRUE(writeFileBytes(path, mine));
    LogCapture log;
    InitFile ini;
    iniInit(ini).SetInit("");
    EXPECT_FALSE(ini.fNewFile());
    EXPECT_EQ(readFileBytes(path), mine);
    EXPECT_FALSE(log.lines().contains("Vorlix/iniINIT>new ini file"));
    EXPECT_EQ(ini.GetString("general", "DPI", "400"), "600");
}

TEST(iniInitTest, SuffixNamesAnotherFileInTheSettingsFolder)
{
    TempEnvironment env;
    InitFile ini;
    iniInit(ini).SetInit("test.ini");
    EXPECT_EQ(ini.File(), env.configHome() + "/vorlix/test.ini");
    EXPECT_TRUE(ini.fNewFile());
    EXPECT_EQ(ini.GetString("sheet", "www", "none"), iniInit::DefaultWebFolder());
}

TEST(iniInitTest, DefaultsComeFromTheTableWhateverTheLetterCase)
{
    TempEnvironment env;
    EXPECT_EQ(iniInit::DefaultOf("general", "DPI"), "400");
    EXPECT_EQ(iniInit::DefaultOf("GENERAL", "fdpnsw"), "DPN");
    EXPECT_EQ(iniInit::DefaultOf("NULL", "PaperTopLag"), "0");
    EXPECT_EQ(iniInit::DefaultOf("general", "CurDir"), QDir::currentPath());
    EXPECT_EQ(iniInit::DefaultOf("sheet", "Default"), env.dataHome() + "/vorlix/sheet/Default/");
    EXPECT_EQ(iniInit::DefaultOf("general", "NoSuchKey"), "");
    EXPECT_EQ(iniInit::DefaultOf("menu", "DPI"), "");
}

TEST(iniInitTest, DefaultSheetFolderFollowsXdgDataHome)
{
    TempEnvironment env;
    EXPECT_EQ(iniInit::DefaultSheetFolder(), env.dataHome() + "/vorlix/sheet/Default/");
    env.set("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(iniInit::DefaultSheetFolder(), env.root() + "/.local/share/vorlix/sheet/Default/");
    EXPECT_TRUE(QFileInfo(env.root() + "/.local/share/vorlix/sheet/Default").isDir());
}

}
