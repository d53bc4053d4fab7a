#include "shell/ProfileFile.h"
#include "shell/CodePage.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

// The file's identity: a write replaces the file, so a new inode means it was written again.
ino_t inodeOf(const QString& file)
{
    struct stat info { };
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? info.st_ino : 0;
}

TEST_F(ProfileFileTest, AWriteOfWhatTheFileSaysLeavesItAlone)
{
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        bool rewritten;
    };
    const Case cases[] = {
        { "the entry as the file has it", "SHEET", "Default", "/srv/forms/", false },
        { "the blanks around a value go", "general", "Name", "Vorlix", true },
        { "another value", "sheet", "www", "http://127.0.0.1/y/", true },
        { "the same value in other letter case", "sheet", "Default", "/SRV/forms/", true },
        { "the same key in other letter case", "sheet", "DEFAULT", "/srv/forms/", true },
        { "a new key", "sheet", "Other", "1", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileBytes(path(), kSample));
        const ino_t sample = inodeOf(path());
        ASSERT_NE(sample, ino_t {});
        ASSERT_TRUE(ProfileFile(path()).writeString(c.section, c.key, c.value));
        const QByteArray written = readFileBytes(path());
        EXPECT_EQ(written != kSample, c.rewritten);
        EXPECT_EQ(inodeOf(path()) != sample, c.rewritten);
        // The same write again finds the file as it would write it.
        const ino_t before = inodeOf(path());
        EXPECT_TRUE(ProfileFile(path()).writeString(c.section, c.key, c.value));
        EXPECT_EQ(inodeOf(path()), before);
        EXPECT_EQ(readFileBytes(path()), written);
        EXPECT_EQ(ProfileFile(path()).readString(c.section, c.key), QString::fromUtf8(c.value));
    }
}

TEST_F(ProfileFileTest, SeveralWritesAtOnceLeaveTheFileAsOneAfterAnother)
{
    const QList<ProfileWrite> writes {
        { "general", "Name", "Other" },
        { "new", "a", "受取人" },
        { "GENERAL", "added", "1" },
        { "bad]section", "k", "refused" },
        { "new", "b", "ﾃｱ" }, // half-width kana that would read as UTF-8
        { "new", "c", "한국" }, // outside CP932: the file turns into UTF-8
        { "sheet", "www", "" },
        { "new", "a", "受取人" },
    };
    struct Case {
        const char* name;
        std::optional<QByteArray> original;
        qsizetype count;
    };
    const Case cases[] = {
        { "a missing file", std::nullopt, writes.size() },
        { "the sample", kSample, writes.size() },
        { "a CP932 file", vorlix::shell::toCp932("[new]\r\na=受取人\r\n"), writes.size() },
        { "a UTF-8 file", QStringLiteral("[new]\r\nz=受取人").toUtf8(), writes.size() },
        { "up to the kana", kSample, 5 },
        { "only a refused write", std::nullopt, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<ProfileWrite> some
            = c.count == 0 ? QList<ProfileWrite> { writes[3] } : writes.first(c.count);
        const QString one = path(QStringLiteral("one.ini"));
        const QString all = path(QStringLiteral("all.ini"));
        QFile::remove(one);
        QFile::remove(all);
        if (c.original) {
            ASSERT_TRUE(writeFileBytes(one, *c.original));
            ASSERT_TRUE(writeFileBytes(all, *c.original));
        }
        bool each = true;
        for (const ProfileWrite& write : some)
            each = ProfileFile(one).writeString(write.section, write.key, write.value) && each;
        EXPECT_EQ(ProfileFile(all).writeStrings(some), each);
        EXPECT_FALSE(each); // the refused name is in every case
        EXPECT_EQ(QFile::exists(all), QFile::exists(one));
        EXPECT_EQ(readFileBytes(all), readFileBytes(one));
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

// A value that CP932 cannot hold turns the file into UTF-8: its sections and entries change code
// set, while comments and the lines before the first section keep every byte, in whatever code
// set they were written, and the file reads the same afterwards.
TEST_F(ProfileFileTest, CommentsKeepTheirBytesWhenAValueTurnsTheFileIntoUtf8)
{
    struct Case {
        const char* name;
        QByteArray comment;
    };
    const Case cases[] = {
        { "a CP932 comment", toCp932(";vorlix により作製された") },
        { "a UTF-8 comment", QStringLiteral("; réglages de café").toUtf8() },
        { "bytes of no code set", QByteArray("; \xFF\xFE\x80 binary") },
        { "a line before the first section", QByteArray("\x82\xA0\xE3\x81\x82 junk") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray original
            = c.comment + "\r\n" + toCp932("[general]\r\nSubject=タイトル\r\n; 受取人\r\n");
        ASSERT_TRUE(writeFileBytes(path(), original));
        ASSERT_TRUE(ProfileFile(path()).writeString("general", "CurDir", "/home/café"));
        ASSERT_TRUE(ProfileFile(path()).writeString("general", "Sender", "발신자"));
        EXPECT_EQ(readFileBytes(path()),
            c.comment + "\r\n" + QStringLiteral("[general]\r\nSubject=タイトル\r\n").toUtf8()
                + toCp932("; 受取人\r\n")
                + QStringLiteral("CurDir=/home/café\r\nSender=발신자\r\n").toUtf8());
        const ProfileFile ini(path());
        EXPECT_EQ(ini.readString("general", "Subject"), QStringLiteral("タイトル"));
        EXPECT_EQ(ini.readString("general", "CurDir"), QStringLiteral("/home/café"));
        EXPECT_EQ(ini.readString("general", "Sender"), QStringLiteral("발신자"));
    }
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
    EXPECT_EQ(ini.createIfMissing({ "[general]" }), ProfileCreation::Failed);
    EXPECT_FALSE(QFile::exists(ini.path()));
}

// Names that a read could not find again are refused, and the file stays as it was.
TEST_F(ProfileFileTest, RefusesNamesThatAReadCouldNotFindAgain)
{
    ASSERT_TRUE(writeFileBytes(path(), kSample));
    const ProfileFile ini(path());
    const struct {
        const char* section;
        const char* key;
    } refused[] = { { "a]b", "k" }, { "[menu]", "k" }, { "general", "k=v" }, { "general", ";k" },
        { "general", " [k" } };
    for (const auto& c : refused) {
        EXPECT_FALSE(ini.writeString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), "v"))
            << c.section << " " << c.key;
    }
    EXPECT_EQ(readFileBytes(path()), kSample);
    // A bracket that opens is no trouble: the name runs to the first closing one.
    ASSERT_TRUE(ini.writeString(QStringLiteral("[menu"), QStringLiteral("k]"), "v"));
    EXPECT_EQ(ini.readString(QStringLiteral("[menu"), QStringLiteral("k]")), u"v");
}

// A write goes out in UTF-8 rather than leave bytes that the next read would take for another
// encoding; every entry then reads as it did.
TEST_F(ProfileFileTest, AWriteNeverChangesHowTheOtherEntriesRead)
{
    struct Case {
        const char* name;
        QByteArray before;
        QString key;
        QString value;
    };
    const Case cases[] = {
        // "ﾃｱ" is C3 B1 in CP932, which is also UTF-8 for "ñ".
        { "half-width kana pair into a plain file", "[general]\r\nDPI=400\r\n",
            QStringLiteral("Title"), QStringLiteral("ﾃｱ") },
        // Replacing the only bytes UTF-8 cannot have leaves a kana pair that reads as UTF-8.
        { "the last non-UTF-8 line replaced", "[general]\r\nTitle=\x82\xA0\r\nName=\xC3\xB1\r\n",
            QStringLiteral("Title"), QStringLiteral("x") },
        // Without its mark a file with a broken UTF-8 line would read as CP932.
        { "first line of a file with a mark",
            "\xEF\xBB\xBF[general]\r\nName=\xE5\x90\r\nA=\xE5\x90\x8D\r\n", QStringLiteral("Name"),
            QStringLiteral("v") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileBytes(path(), c.before));
        const ProfileFile ini(path());
        QList<ProfileEntry> expected = ini.sectionEntries(QStringLiteral("general"));
        bool replaced = false;
        for (ProfileEntry& entry : expected) {
            if (entry.key == c.key) {
                entry.value = c.value;
                replaced = true;
            }
        }
        if (!replaced)
            expected.append({ c.key, c.value });
        ASSERT_TRUE(ini.writeString(QStringLiteral("general"), c.key, c.value));
        EXPECT_EQ(ini.sectionEntries(QStringLiteral("general")), expected);
    }
}

// A line of a UTF-8 file may begin with U+FEFF; it is part of the key, not a byte-order mark.
TEST_F(ProfileFileTest, KeysBeginningWithU_FEFFAreFoundAgain)
{
    const QString key = QChar(0xFEFF) + QStringLiteral("ey");
    ASSERT_TRUE(writeFileBytes(path(), "[a]\r\nx=\xE5\x90\x8D\r\n"));
    const ProfileFile ini(path());
    ASSERT_TRUE(ini.writeString(QStringLiteral("a"), key, QStringLiteral("1")));
    EXPECT_EQ(ini.readString(QStringLiteral("a"), key), u"1");
    EXPECT_EQ(ini.readString(QStringLiteral("a"), QStringLiteral("x")), u"名");
}

// Settings files the fuzzer once found, each with its write in the last line
// ("section|key|value"): the written value reads back and every other section is unchanged.
TEST_F(ProfileFileTest, FuzzFindingsKeepEveryOtherEntry)
{
    const QDir dir(QStringLiteral("data/fuzz"));
    const QStringList files = dir.entryList({ QStringLiteral("profile-*") }, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray bytes = readFileBytes(dir.filePath(file));
        ASSERT_TRUE(writeFileBytes(path(), bytes));
        const ProfileFile ini(path());
        const QStringList write
            = QString::fromUtf8(bytes.mid(bytes.lastIndexOf('\n') + 1)).split(u'|');
        ASSERT_EQ(write.size(), 3);
        QList<QList<ProfileEntry>> before;
        const QStringList sections = ini.sectionNames();
        for (const QString& section : sections)
            before.append(ini.sectionEntries(section));
        if (!ini.writeString(write[0], write[1], write[2]))
            continue;
        EXPECT_EQ(ini.readString(write[0].trimmed(), write[1].trimmed()), write[2].trimmed());
        for (qsizetype i = 0; i < sections.size(); ++i) {
            if (sections[i].compare(write[0].trimmed(), Qt::CaseInsensitive) == 0)
                continue;
            EXPECT_EQ(ini.sectionEntries(sections[i]), before[i]) << sections[i].toStdString();
        }
    }
}

}
