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

// Checks the translation of each name in the table's current direction.
void expectConverts(
    const ConvTag& conv, std::initializer_list<std::pair<const char*, const char*>> translations)
{
    for (const auto& [name, expected] : translations)
        EXPECT_EQ(conv.Convert(QString::fromUtf8(name)), QString::fromUtf8(expected)) << name;
}

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
    expectConverts(conv, { { "氏名", "name" }, { "住所", "address" }, { "name", "name" } });

    EXPECT_TRUE(conv.TagSet(QStringLiteral("roman"), QStringLiteral("kanji")));
    expectConverts(conv, { { "name", "氏名" }, { "item", "品名" }, { "unknown", "unknown" } });

    EXPECT_FALSE(conv.TagSet(QStringLiteral("kanji"), QStringLiteral("kanji")));
    expectConverts(conv, { { "氏名", "氏名" } });
}

TEST(ConvTag, OnlyStatementsBeginningWithTwoWordsArePairs)
{
    ConvTag conv = loadedTable(QStringLiteral("L,R\nsingle\nnum,5\nstr,\"x\"\na,b,c\n#c,d\n  e , f "
                                              " # note\n\"g\",h\nx\r\ny,z\n@p,q_1\n"));
    ASSERT_TRUE(conv.TagSet(QStringLiteral("L"), QStringLiteral("R")));
    expectConverts(conv, { { "a", "b" }, { "e", "f" }, { "y", "z" }, { "@p", "q_1" } });
    // Statements that do not begin with two words translate nothing.
    expectConverts(conv,
        { { "single", "single" }, { "num", "num" }, { "str", "str" }, { "c", "c" }, { "g", "g" },
            { "x", "x" } });
    EXPECT_EQ(conv.pairCount(), 5);
}

TEST(ConvTag, FirstDefinitionWinsInEachDirection)
{
    ConvTag conv = loadedTable(QStringLiteral("L,R\na,x\na,y\nb,x\nL,z\nw,R\n"));
    ASSERT_TRUE(conv.TagSet(QStringLiteral("L"), QStringLiteral("R")));
    expectConverts(conv, { { "a", "x" }, { "b", "x" }, { "L", "R" } });
    ASSERT_TRUE(conv.TagSet(QStringLiteral("R"), QStringLiteral("L")));
    expectConverts(conv, { { "x", "a" }, { "y", "a" }, { "z", "L" }, { "R", "L" } });
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
