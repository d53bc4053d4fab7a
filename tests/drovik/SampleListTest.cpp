#include "drovik/SampleList.h"
#include "tests/drovik/SampleSite.h"

#include <gtest/gtest.h>

using vorlix::drovik::SampleEntry;
using vorlix::drovik::SampleList;
using vorlix::test::SampleSite;

namespace {

QString line(char kind, const char* name)
{
    return QString::fromUtf8(SampleSite::listLine(kind, name));
}

QStringList namesOf(const SampleList& list)
{
    QStringList names;
    for (const SampleEntry& entry : list.entries())
        names << entry.name;
    return names;
}

TEST(SampleListTest, HeaderCommentIsTheLeadingHashLines)
{
    const SampleList two = SampleList::parse(
        "#Vorlix のサンプル\r\n# 2004年5月版\r\n" + line('0', "a.fae") + "#not header\r\n");
    EXPECT_EQ(two.headerComment(), (QStringList { "Vorlix のサンプル", " 2004年5月版" }));
    EXPECT_EQ(two.question(), "Vorlix のサンプル\r\n 2004年5月版\r\nダウンロードしますか？");
    EXPECT_EQ(namesOf(two), QStringList { "a.fae" });

    const SampleList none = SampleList::parse(line('0', "a.fae") + "#late\r\n");
    EXPECT_TRUE(none.headerComment().isEmpty());
    EXPECT_EQ(none.question(), "ダウンロードしますか？");

    // A header line without its line end is no line at all.
    EXPECT_EQ(SampleList::parse("#only\r\n#cut").question(), "only\r\nダウンロードしますか？");
}

TEST(SampleListTest, ZeroLinesNameAFileFromCharacter40)
{
    const QString list = line('0', "a.fae") + line('1', "skipped.fae") + line('2', "b.fae") + " "
        + line('0', "indented.fae") + "0short\r\n" + line('0', "  padded.mnd \t")
        + line('0', "with space.txt") + "\r\n" + line('0', "last-without-end.fae").chopped(2);
    const SampleList parsed = SampleList::parse(list);
    // Characters 2 to 39 carry separators and dots that mean nothing; a line shorter than 40
    // characters names the empty name, which is refused.
    EXPECT_EQ(namesOf(parsed), (QStringList { "a.fae", "", "padded.mnd", "with space.txt" }));
    const std::vector<bool> safe { true, false, true, true };
    for (std::size_t i = 0; i < safe.size(); ++i)
        EXPECT_EQ(parsed.entries()[i].safe, safe[i]) << i;
}

TEST(SampleListTest, LinesMayEndWithABareLineFeed)
{
    const SampleList parsed = SampleList::parse(QStringLiteral("#unix\n")
        + line('0', "a.fae").chopped(2) + "\n" + line('0', "b.fae").chopped(2) + "\r\n");
    EXPECT_EQ(parsed.headerComment(), QStringList { "unix" });
    EXPECT_EQ(namesOf(parsed), (QStringList { "a.fae", "b.fae" }));
    // A carriage return alone ends nothing: it stays inside the name, which is then refused.
    const SampleList cr = SampleList::parse(line('0', "a.fae\rb.fae"));
    ASSERT_EQ(cr.entries().size(), 1u);
    EXPECT_FALSE(cr.entries()[0].safe);
}

TEST(SampleListTest, OnlyPlainFileNamesAreSafe)
{
    const QStringList plain { "a.fae", "帳票.mnd", "a b.fae", ".hidden", "readme", "x.tar.gz",
        "100%.txt", "a.", "ｆｕｌｌ　ｗｉｄｔｈ.fae" };
    for (const QString& name : plain)
        EXPECT_TRUE(SampleList::isPlainFileName(name)) << name.toStdString();

    const QStringList unsafe {
        "",
        ".",
        "..",
        "../x.fae",
        "a/b.fae",
        "a\\b.fae",
        "..\\x.fae",
        "/etc/x",
        "\\\\srv\\share\\x",
        "sub/../../y.fae",
        QStringLiteral("x") + QChar(0) + ".fae",
        "x\x1b[2J.fae",
        "x\t.fae",
        "x\x7f.fae",
        QStringLiteral("x") + QChar(0x85) + ".fae",
        QStringLiteral("x") + QChar(0x2028) + ".fae",
        QStringLiteral("x") + QChar(0xD800) + ".fae",
        "\"q.fae\"",
        " a.fae",
        "a.fae ",
        "C:x.fae",
        "x..fae",
    };
    for (const QString& name : unsafe)
        EXPECT_FALSE(SampleList::isPlainFileName(name))
            << SampleList::printable(name).toStdString();
}

TEST(SampleListTest, PrintableNamesShowControlCharactersAsEscapes)
{
    EXPECT_EQ(SampleList::printable("帳票 a.fae"), "帳票 a.fae");
    EXPECT_EQ(SampleList::printable("a\x1b[2Jb"), "a\\x1b[2Jb");
    EXPECT_EQ(SampleList::printable(QStringLiteral("a") + QChar(0) + "b\r\n"), "a\\x00b\\x0d\\x0a");
    EXPECT_EQ(
        SampleList::printable(QStringLiteral("a") + QChar(0x9b) + QChar(0x2029)), "a\\x9b\\u2029");
}

}
