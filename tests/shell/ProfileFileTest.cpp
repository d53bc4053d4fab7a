#include "shell/ProfileFile.h"
#include "shell/CodePage.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("p.ini")) const
    {
        return env.root() + u'/' + name;
    }
    TempEnvironment env;
};

const QByteArray kSample = "; comment = not a key\r\n"
                           "[General]\r\n"
                           "  Name  =  Vorlix  \r\n"
                           "empty=\r\n"
                           "flag\r\n"
                           "\r\n"
                           "[ sheet ]\n"
                           "Default=/srv/forms/\n"
                           ";Default=commented out\n"
                           "www = http://127.0.0.1/x/\n";

TEST_F(ProfileFileTest, ReadsWithCaseInsensitiveNamesAndTrimmedBlanks)
{
    ASSERT_TRUE(writeFileBytes(path(), kSample));
    const ProfileFile ini(path());
    struct Case {
        const char* section;
        const char* key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        { "general", "name", QStringLiteral("Vorlix") },
        { "GENERAL", "NAME", QStringLiteral("Vorlix") },
        { "general", "empty", QString() },
        { "general", "flag", QString() },
        { "Sheet", "default", QStringLiteral("/srv/forms/") },
        { "sheet", "WWW", QStringLiteral("http://127.0.0.1/x/") },
        { "general", "Default", std::nullopt },
        { "sheet", "name", std::nullopt },
        { "missing", "name", std::nullopt },
        { "; comment", "x", std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.readString(c.section, c.key), c.expected);
    }
}

TEST_F(ProfileFileTest, MissingFileReadsNothingAndEnumeratesNothing)
{
    const ProfileFile ini(path("none.ini"));
    EXPECT_EQ(ini.readString("a", "b"), std::nullopt);
    EXPECT_TRUE(ini.sectionEntries("a").isEmpty());
    EXPECT_TRUE(ini.sectionNames().isEmpty());
    EXPECT_FALSE(QFile::exists(path("none.ini")));
}

TEST_F(ProfileFileTest, EnumeratesEntriesAndSectionsInFileOrder)
{
    ASSERT_TRUE(writeFileBytes(path(), kSample + "[GENERAL]\r\nlater=1\r\n"));
    const ProfileFile ini(path());
    const QList<ProfileEntry> expected {
        { "Name", "Vorlix" },
        { "empty", "" },
        { "flag", "" },
    };
    EXPECT_EQ(ini.sectionEntries("general"), expected);
    EXPECT_EQ(ini.sectionNames(), QStringList({ "General", "sheet" }));
}

// Each write changes exactly one line; every other byte, line end and comment stays as it was.
TEST_F(ProfileFileTest, WritesTouchOnlyTheirOwnLine)
{
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        QByteArray expected;
    };
    const Case cases[] = {
        { "replace in place", "GENERAL", "name", "Other",
            QByteArray(kSample).replace("  Name  =  Vorlix  \r\n", "name=Other\r\n") },
        { "replace a bare key", "general", "FLAG", "1",
            QByteArray(kSample).replace("flag\r\n", "FLAG=1\r\n") },
        { "replace keeps LF", "sheet", "www", "u",
            QByteArray(kSample).replace("www = http://127.0.0.1/x/\n", "www=u\n") },
        { "append after the last entry, before the blank line", "general", "new", "v",
            QByteArray(kSample).replace("flag\r\n", "flag\r\nnew=v\r\n") },
        { "append after a trailing comment", "sheet", "k", "v", kSample + "k=v\r\n" },
        { "new section at the end", "menu", "left", "200", kSample + "\r\n[menu]\r\nleft=200\r\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileBytes(path(), kSample));
        EXPECT_TRUE(ProfileFile(path()).writeString(c.section, c.key, c.value));
        EXPECT_EQ(readFileBytes(path()), c.expected);
    }
}

TEST_F(ProfileFileTest, WritingToAFileWithoutFinalLineEndKeepsItsLastLine)
{
    ASSERT_TRUE(writeFileBytes(path(), "[a]\r\nx=1"));
    ASSERT_TRUE(ProfileFile(path()).writeString("a", "y", "2"));
    ASSERT_TRUE(ProfileFile(path()).writeString("b", "z", "3"));
    EXPECT_EQ(readFileBytes(path()), "[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\nz=3\r\n");
}

TEST_F(ProfileFileTest, WritingCreatesAMissingFileInCp932)
{
    ASSERT_TRUE(ProfileFile(path()).writeString("details", "Subject", "タイトル"));
    EXPECT_EQ(readFileBytes(path()),
        "[details]\r\nSubject=" + vorlix::shell::toCp932("タイトル") + "\r\n");
    EXPECT_EQ(ProfileFile(path()).readString("DETAILS", "subject"), QStringLiteral("タイトル"));
}

TEST_F(ProfileFileTest, KeepsTheEncodingTheFileWasReadIn)
{
    struct Case {
        const char* name;
        QByteArray original;
        QByteArray expected;
    };
    const QByteArray bom = "\xEF\xBB\xBF";
    const Case cases[] = {
        { "UTF-8 stays UTF-8", QStringLiteral("[s]\r\na=受取人\r\n").toUtf8(),
            QStringLiteral("[s]\r\na=受取人\r\nk=発信者\r\n").toUtf8() },
        { "UTF-8 with BOM keeps its BOM", bom + QStringLiteral("[s]\r\na=受取人\r\n").toUtf8(),
            bom + QStringLiteral("[s]\r\na=受取人\r\nk=発信者\r\n").toUtf8() },
        { "CP932 stays CP932", vorlix::shell::toCp932("[s]\r\na=受取人\r\n"),
            vorlix::shell::toCp932("[s]\r\na=受取人\r\nk=発信者\r\n") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileBytes(path(), c.original));
        ASSERT_TRUE(ProfileFile(path()).writeString("s", "k", "発信者"));
        EXPECT_EQ(readFileBytes(path()), c.expected);
        EXPECT_EQ(ProfileFile(path()).readString("s", "a"), QStringLiteral("受取人"));
    }
}

TEST_F(ProfileFileTest, ACharacterOutsideCp932TurnsTheFileIntoUtf8WithoutLoss)
{
    ASSERT_TRUE(writeFileBytes(path(), vorlix::shell::toCp932("[s]\r\na=髙橋①\r\n")));
    ASSERT_TRUE(ProfileFile(path()).writeString("s", "b", "한국"));
    EXPECT_EQ(readFileBytes(path()), QStringLiteral("[s]\r\na=髙橋①\r\nb=한국\r\n").toUtf8());
    const ProfileFile ini(path());
    EXPECT_EQ(ini.readString("s", "a"), QStringLiteral("髙橋①"));
    EXPECT_EQ(ini.readString("s", "b"), QStringLiteral("한국"));
}

TEST_F(ProfileFileTest, LongValuesAreNotCut)
{
    const QString value(5000, u'x');
    ASSERT_TRUE(ProfileFile(path()).writeString("s", "long", value));
    EXPECT_EQ(ProfileFile(path()).readString("s", "long"), value);
}

TEST_F(ProfileFileTest, ALineBreakInAValueCannotAddEntries)
{
    ASSERT_TRUE(ProfileFile(path()).writeString("s", "a", "1\r\n[evil]\r\nb=2"));
    const ProfileFile ini(path());
    EXPECT_EQ(ini.sectionNames(), QStringList { "s" });
    EXPECT_EQ(ini.readString("s", "a"), QStringLiteral("1  [evil]  b=2"));
    EXPECT_EQ(ini.readString("evil", "b"), std::nullopt);
}

TEST_F(ProfileFileTest, EmptySectionOrKeyIsRefusedAndWritesNothing)
{
    EXPECT_FALSE(ProfileFile(path()).writeString("", "k", "v"));
    EXPECT_FALSE(ProfileFile(path()).writeString("s", "  ", "v"));
    EXPECT_FALSE(QFile::exists(path()));
}

// Files that are not INI text at all must neither crash the reader nor lose bytes on writing.
TEST_F(ProfileFileTest, BinaryAndSectionlessFilesKeepEveryByte)
{
    QByteArray binary;
    for (int i = 0; i < 2048; ++i)
        binary.append(static_cast<char>((i * 37 + 11) % 256));
    const QByteArray cases[] = {
        binary,
        QByteArray("\x00\x01\x02\xFF\xFE\x81\x0A", 7),
        "no sections here\r\nkey=value\r\njust a line",
        "\x82\xA0\x82",
    };
    for (const QByteArray& original : cases) {
        SCOPED_TRACE(original.left(16).toHex().toStdString());
        ASSERT_TRUE(writeFileBytes(path(), original));
        const ProfileFile ini(path());
        EXPECT_EQ(ini.readString("general", "key"), std::nullopt);
        (void)ini.sectionNames();
        (void)ini.sectionEntries("general");
        ASSERT_TRUE(ini.writeString("general", "Debug", "False"));
        const QByteArray after = readFileBytes(path());
        EXPECT_TRUE(after.startsWith(original)) << "bytes before the new section changed";
        EXPECT_TRUE(after.endsWith("[general]\r\nDebug=False\r\n"));
        EXPECT_EQ(ini.readString("General", "debug"), QStringLiteral("False"));
    }
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadIsNeverReplaced)
{
    const QString folder = path("a-folder.ini");
    ASSERT_TRUE(QDir().mkpath(folder));
    const ProfileFile ini(folder);
    EXPECT_EQ(ini.readString("s", "k"), std::nullopt);
    EXPECT_FALSE(ini.writeString("s", "k", "v"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(ProfileFileTest, WritingIntoAMissingFolderFailsQuietly)
{
    const ProfileFile ini(path("no/such/folder/p.ini"));
    EXPECT_FALSE(ini.writeString("s", "k", "v"));
    EXPECT_FALSE(ini.create({ "[general]" }));
    EXPECT_FALSE(QFile::exists(ini.path()));
}

}
