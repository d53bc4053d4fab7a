#include "shell/iniInit.h"
#include "shell/CodePage.h"
#include "shell/InitFile.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using vorlix::shell::iniInit;
using vorlix::shell::InitFile;
using vorlix::shell::toCp932;
using vorlix::test::LogCapture;
using vorlix::test::readFileBytes;
using vorlix::test::TempEnvironment;
using vorlix::test::writeFileBytes;

namespace {

// The whole new file, as a user opening it for the first time sees it.
QString expectedNewFile(const QString& curDir, const QString& sheetFolder)
{
    return ";vorlix により作製された\r\n"
           "[general]\r\n"
           "Debug=False\r\n"
           "CurDir="
        + curDir
        + "\r\n"
          "DefaultPrinter=Default\r\n"
          "DefaultPathName=Default\r\n"
          "FDPNSW=DPN\r\n"
          "DPI=400\r\n"
          "PaperSize=9\r\n"
          "Orientation=1\r\n"
          "\r\n"
          "[sheet]\r\n"
          "Default="
        + sheetFolder
        + "\r\n"
          "www=http://localhost/support/smple_data/\r\n"
          "\r\n"
          "[details]\r\n"
          "CorverPage=CoverPage.fae\r\n"
          "FaxNo=0123-4567-8901\r\n"
          "Subject=タイトル\r\n"
          "Addressee=受取人\r\n"
          "Office=受取人会社\r\n"
          "Sender=発信者\r\n"
          "Comment=コメント\r\n"
          "\r\n"
          "[reg]\r\n"
          "chkreg=True\r\n"
          "fae=True\r\n"
          "mnd=True\r\n"
          "vopt=True\r\n"
          "mime=True\r\n"
          "\r\n"
          "[server]\r\n"
          "http=80\r\n"
          "ftp=21\r\n"
          "\r\n"
          "[menu]\r\n"
          "left=200\r\n"
          "top=500\r\n"
          "height=6500\r\n"
          "width=7000\r\n"
          "fontname=Terminal\r\n"
          "fontsize=10\r\n"
          "\r\n"
          "[view]\r\n"
          "kPsa=1\r\n"
          "bLps=0.4\r\n"
          "\r\n"
          "[NULL]\r\n"
          "PaperLeftLag=0\r\n"
          "PaperTopLag=0\r\n";
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
    EXPECT_EQ(
        readFileBytes(ini.File()), toCp932(expectedNewFile(QDir::currentPath(), sheetFolder)));
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

TEST(iniInitTest, DefaultSheetFolderFollowsXdgDataHome)
{
    TempEnvironment env;
    EXPECT_EQ(iniInit::DefaultSheetFolder(), env.dataHome() + "/vorlix/sheet/Default/");
    env.set("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(iniInit::DefaultSheetFolder(), env.root() + "/.local/share/vorlix/sheet/Default/");
    EXPECT_TRUE(QFileInfo(env.root() + "/.local/share/vorlix/sheet/Default").isDir());
}

}
