#include "document/ConvTag.h"

#include "../support/TempEnvironment.h"
#include "shell/CodePage.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using vorlix::document::ConvTag;

namespace {

// A folder holding one table file; the folder name handed to Path ends with "/".
class TableFolder {
public:
    explicit TableFolder(const QByteArray& bytes)
    {
        vorlix::test::writeFileBytes(m_dir.path() + "/convtbl.txt", bytes);
    }
    QString folder() const { return m_dir.path() + "/"; }

private:
    QTemporaryDir m_dir;
};

ConvTag loadedTable(const QString& text)
{
    TableFolder table(vorlix::shell::toCp932(text));
    ConvTag conv;
    conv.Path(table.folder());
    return conv;
}

const QString kKanjiTable = QStringLiteral(
    "# face names on the right\r\nkanji,roman\r\n氏名,name;住所,address\r\n品名,item\r\n");

TEST(ConvTag, TranslatesBothWaysByTheHeaderPair)
{
    ConvTag conv = loadedTable(kKanjiTable);
    ASSERT_TRUE(conv.loaded());
    EXPECT_EQ(conv.pairCount(), 4);

    EXPECT_TRUE(conv.TagSet(QStringLiteral("kanji"), QStringLiteral("roman")));
    EXPECT_EQ(conv.Convert(QStringLiteral("氏名")), "name");
    EXPECT_EQ(conv.Convert(QStringLiteral("住所")), "address");
    EXPECT_EQ(conv.Convert(QStringLiteral("name")), "name");

    EXPECT_TRUE(conv.TagSet(QStringLiteral("roman"), QStringLiteral("kanji")));
    EXPECT_EQ(conv.Convert(QStringLiteral("name")), "氏名");
    EXPECT_EQ(conv.Convert(QStringLiteral("item")), "品名");
    EXPECT_EQ(conv.Convert(QStringLiteral("unknown")), "unknown");

    EXPECT_FALSE(conv.TagSet(QStringLiteral("kanji"), QStringLiteral("kanji")));
    EXPECT_EQ(conv.Convert(QStringLiteral("氏名")), "氏名");
}

TEST(ConvTag, OnlyStatementsBeginningWithTwoWordsArePairs)
{
    ConvTag conv = loadedTable(QStringLiteral("L,R\nsingle\nnum,5\nstr,\"x\"\na,b,c\n#c,d\n  e , f "
                                              " # note\n\"g\",h\nx\r\ny,z\n@p,q_1\n"));
    ASSERT_TRUE(conv.TagSet(QStringLiteral("L"), QStringLiteral("R")));
    const std::vector<std::pair<QString, QString>> cases {
        { "a", "b" },
        { "e", "f" },
        { "y", "z" },
        { "@p", "q_1" },
        { "single", "single" },
        { "num", "num" },
        { "str", "str" },
        { "c", "c" },
        { "g", "g" },
        { "x", "x" },
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(conv.Convert(name), expected) << name.toStdString();
    EXPECT_EQ(conv.pairCount(), 5);
}

TEST(ConvTag, FirstDefinitionWinsInEachDirection)
{
    ConvTag conv = loadedTable(QStringLiteral("L,R\na,x\na,y\nb,x\nL,z\nw,R\n"));
    ASSERT_TRUE(conv.TagSet(QStringLiteral("L"), QStringLiteral("R")));
    EXPECT_EQ(conv.Convert(QStringLiteral("a")), "x");
    EXPECT_EQ(conv.Convert(QStringLiteral("b")), "x");
    EXPECT_EQ(conv.Convert(QStringLiteral("L")), "R");
    ASSERT_TRUE(conv.TagSet(QStringLiteral("R"), QStringLiteral("L")));
    EXPECT_EQ(conv.Convert(QStringLiteral("x")), "a");
    EXPECT_EQ(conv.Convert(QStringLiteral("y")), "a");
    EXPECT_EQ(conv.Convert(QStringLiteral("z")), "L");
    EXPECT_EQ(conv.Convert(QStringLiteral("R")), "L");
}

TEST(ConvTag, WithoutATableNothingTranslates)
{
    ConvTag fresh;
    EXPECT_FALSE(fresh.loaded());
    EXPECT_FALSE(fresh.TagSet(QStringLiteral("/"), QStringLiteral("/")));

    QTemporaryDir empty;
    ConvTag missing;
    missing.Path(empty.path() + "/");
    EXPECT_FALSE(missing.loaded());
    EXPECT_FALSE(missing.TagSet(QStringLiteral("kanji"), QStringLiteral("roman")));
    EXPECT_EQ(missing.Convert(QStringLiteral("氏名")), "氏名");

    ConvTag emptyTable = loadedTable(QString());
    EXPECT_TRUE(emptyTable.loaded());
    EXPECT_EQ(emptyTable.pairCount(), 0);
    EXPECT_TRUE(emptyTable.TagSet(QStringLiteral("/"), QStringLiteral("/")));
    EXPECT_FALSE(emptyTable.TagSet(QStringLiteral("kanji"), QStringLiteral("roman")));
}

TEST(ConvTag, LoadingAgainStartsFromAnEmptyTable)
{
    TableFolder first(QByteArray("one,two\na,b\n"));
    TableFolder second(QByteArray("three,four\nc,d\n"));
    ConvTag conv;
    conv.Path(first.folder());
    conv.Path(second.folder());
    EXPECT_EQ(conv.pairCount(), 2);
    EXPECT_FALSE(conv.TagSet(QStringLiteral("one"), QStringLiteral("two")));
    ASSERT_TRUE(conv.TagSet(QStringLiteral("three"), QStringLiteral("four")));
    EXPECT_EQ(conv.Convert(QStringLiteral("c")), "d");
    EXPECT_EQ(conv.Convert(QStringLiteral("a")), "a");
}

}
