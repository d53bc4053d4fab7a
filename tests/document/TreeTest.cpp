#include "document/Tree.h"

#include "shell/RunError.h"

#include <gtest/gtest.h>

using vorlix::document::Tree;

namespace {

TEST(Tree, NewTreeIsAnEmptyRoot)
{
    Tree tree;
    EXPECT_EQ(tree.RootIndex(), 0);
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.TreeName(), "/");
    EXPECT_EQ(tree.RootValue(), "/");
    EXPECT_EQ(tree.Value(QStringLiteral("anything")), "NO-LABEL");
    EXPECT_EQ(tree.daL(0), "/");
}

TEST(Tree, RepeatedNamesAreRenamedInAllocationOrder)
{
    Tree tree;
    const auto first = tree.Add(QStringLiteral("piece"));
    const auto second = tree.Add(QStringLiteral("piece"));
    const auto other = tree.Add(QStringLiteral("Piece"));
    const auto third = tree.Add(QStringLiteral("piece"));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(other, 3);
    EXPECT_EQ(third, 4);
    EXPECT_EQ(tree.daL(first), "piece");
    EXPECT_EQ(tree.daL(second), "piece@1");
    EXPECT_EQ(tree.daL(other), "Piece");
    EXPECT_EQ(tree.daL(third), "piece@2");
    EXPECT_EQ(tree.Count(), 4);
}

TEST(Tree, RenamingSkipsNamesAlreadyTaken)
{
    Tree tree;
    tree.Add(QStringLiteral("a@1"));
    tree.Add(QStringLiteral("a"));
    const auto renamed = tree.Add(QStringLiteral("a"));
    EXPECT_EQ(tree.daL(renamed), "a@1@1");
    EXPECT_EQ(tree.Count(), 3);
}

TEST(Tree, SlashAddsNothing)
{
    Tree tree;
    EXPECT_EQ(tree.Add(QStringLiteral("/")), 0);
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.nodeCount(), 1);
}

TEST(Tree, ValueWriteReplacesWithoutAdding)
{
    Tree tree;
    tree.Value(QStringLiteral("x"), QStringLiteral("1"));
    EXPECT_EQ(tree.Value(QStringLiteral("x")), "1");
    tree.Value(QStringLiteral("x"), QStringLiteral("2"));
    EXPECT_EQ(tree.Value(QStringLiteral("x")), "2");
    EXPECT_EQ(tree.Count(), 1);
}

TEST(Tree, DirectoriesAreEnteredAndLeft)
{
    Tree tree;
    tree.ChTree(QStringLiteral("a"));
    const auto head = tree.RootIndex();
    EXPECT_EQ(tree.TreeName(), "a");
    tree.Value(QStringLiteral("b"), QStringLiteral("1"));
    tree.ChUpTree();
    EXPECT_EQ(tree.RootIndex(), 0);
    tree.ChTree(QStringLiteral("a"));
    EXPECT_EQ(tree.RootIndex(), head);
    EXPECT_EQ(tree.Value(QStringLiteral("b")), "1");
    tree.ChTree(QStringLiteral("/"));
    EXPECT_EQ(tree.RootIndex(), 0);
    tree.ChUpTree();
    EXPECT_EQ(tree.RootIndex(), 0);
    tree.ChTree(QStringLiteral("a"));
    tree.ChTree(QStringLiteral("deep"));
    tree.ChRootTree();
    EXPECT_EQ(tree.RootIndex(), 0);
    EXPECT_EQ(tree.Count(), 1);
}

TEST(Tree, PathsAreRelative)
{
    Tree tree;
    tree.Value(QStringLiteral("x"), QStringLiteral("top"));
    tree.Value(QStringLiteral("leaf"), QStringLiteral("L"));
    tree.ChTree(QStringLiteral("a"));
    tree.Value(QStringLiteral("b"), QStringLiteral("inner"));
    tree.ChTree(QStringLiteral("c"));
    tree.Value(QStringLiteral("d"), QStringLiteral("deep"));
    tree.ChRootTree();

    const std::vector<std::pair<QString, QString>> cases {
        { "a/b", "inner" },
        { "a/c/d", "deep" },
        { "a/../x", "top" },
        { "./x", "top" },
        { "x", "top" },
        { "../x", "top" },
        { "a/./b", "inner" },
        { "nothing/b", "NO-LABEL" },
        { "/x", "NO-LABEL" },
        { "a/", "NO-LABEL" },
        { "", "NO-LABEL" },
        { "leaf/x", "NO-LABEL" },
        { "a/c/../b", "inner" },
        { "A/b", "NO-LABEL" },
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(tree.Value(path), expected) << path.toStdString();

    tree.ChTree(QStringLiteral("a"));
    tree.ChTree(QStringLiteral("c"));
    EXPECT_EQ(tree.Value(QStringLiteral("../b")), "inner");
    EXPECT_EQ(tree.Value(QStringLiteral("../../x")), "top");
    EXPECT_EQ(tree.TreeName(), "c");
}

TEST(Tree, RootValueIsTheOwningEntry)
{
    Tree tree;
    tree.Value(QStringLiteral("a"), QStringLiteral("owner"));
    tree.ChTree(QStringLiteral("a"));
    EXPECT_EQ(tree.RootValue(), "owner");
    tree.RootValue(QStringLiteral("changed"));
    tree.ChUpTree();
    EXPECT_EQ(tree.Value(QStringLiteral("a")), "changed");
}

TEST(Tree, IndexOutsideTheTableIsASubscriptError)
{
    Tree tree;
    tree.Add(QStringLiteral("a"));
    for (const int index : { -1, 2, 1000 }) {
        try {
            (void)tree.daV(index);
            FAIL() << index;
        } catch (const vorlix::shell::RunError& error) {
            EXPECT_EQ(error.number(), 9);
        }
        EXPECT_THROW(tree.daV(index, QStringLiteral("x")), vorlix::shell::RunError);
        EXPECT_THROW((void)tree.daL(index), vorlix::shell::RunError);
    }
}

TEST(Tree, LetListIsSortedWithTheHeadRow)
{
    Tree tree;
    tree.ChTree(QStringLiteral("dir"));
    tree.Value(QStringLiteral("b"), QStringLiteral("2"));
    tree.Value(QStringLiteral("0"), QStringLiteral("zero"));
    tree.Value(QStringLiteral("a"), QStringLiteral("1"));
    std::vector<Tree::LetRow> rows;
    EXPECT_EQ(tree.LetList(rows), 3);
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[0], (Tree::LetRow { "/", "dir" }));
    EXPECT_EQ(rows[1], (Tree::LetRow { "0", "zero" }));
    EXPECT_EQ(rows[2], (Tree::LetRow { "a", "1" }));
    EXPECT_EQ(rows[3], (Tree::LetRow { "b", "2" }));
}

TEST(Tree, EnumerateVisitsEachEntryOnce)
{
    Tree tree;
    tree.Value(QStringLiteral("x"), QStringLiteral("1"));
    tree.ChTree(QStringLiteral("x"));
    tree.Value(QStringLiteral("inner"), QStringLiteral("no"));
    tree.ChUpTree();
    tree.Value(QStringLiteral("y"), QStringLiteral("2"));
    std::int32_t cursor = 0;
    std::int32_t previous = 0;
    QString value;
    QStringList seen;
    for (QString name = tree.Enumerate(cursor, previous, value); cursor > 0;
         name = tree.Enumerate(cursor, previous, value))
        seen << name + "=" + value;
    EXPECT_EQ(seen, (QStringList { "x=1", "y=2" }));
    tree.ln();
}

TEST(Tree, ClsStartsAgain)
{
    Tree tree;
    tree.ChTree(QStringLiteral("a"));
    tree.Add(QStringLiteral("b"));
    tree.Cls();
    EXPECT_EQ(tree.RootIndex(), 0);
    EXPECT_EQ(tree.nodeCount(), 1);
    EXPECT_EQ(tree.Add(QStringLiteral("a")), 1);
}

// The store once degenerated into a list on piece, piece@1, piece@2, ... and beyond 32,669
// nodes refused to grow; neither may happen.
TEST(Tree, ManySimilarNamesStayFastAndUnlimited)
{
    Tree tree;
    std::int32_t last = 0;
    for (int i = 0; i < 100000; ++i)
        last = tree.Add(QStringLiteral("piece"));
    EXPECT_EQ(tree.daL(last), "piece@99999");
    EXPECT_EQ(tree.Count(), 100000);
    EXPECT_EQ(tree.Value(QStringLiteral("piece@54321")), "");
}

// A directory is searched along its list while small and through the index once it has grown;
// every entry, renamed ones included, must be found the same way on both sides of that change,
// and equal names in other directories must not be confused with its own.
TEST(Tree, DirectoriesFindTheirEntriesBeforeAndAfterTheyGrow)
{
    Tree tree;
    tree.ChTree(QStringLiteral("other"));
    tree.Value(QStringLiteral("n5"), QStringLiteral("elsewhere"));
    tree.ChUpTree();
    tree.ChTree(QStringLiteral("dir"));
    for (int i = 0; i < 100; ++i) {
        tree.Value(QStringLiteral("n%1").arg(i), QString::number(i));
        for (int j = 0; j <= i; ++j)
            ASSERT_EQ(tree.Value(QStringLiteral("n%1").arg(j)), QString::number(j)) << i;
        EXPECT_EQ(tree.Value(QStringLiteral("n%1").arg(i + 1)), "NO-LABEL");
    }
    const auto again = tree.Add(QStringLiteral("n3"));
    EXPECT_EQ(tree.daL(again), "n3@1");
    tree.daV(again, QStringLiteral("renamed"));
    EXPECT_EQ(tree.Value(QStringLiteral("n3@1")), "renamed");
    EXPECT_EQ(tree.Value(QStringLiteral("n3")), "3");
    EXPECT_EQ(tree.Count(), 101);
    tree.ChRootTree();
    EXPECT_EQ(tree.Value(QStringLiteral("other/n5")), "elsewhere");
    EXPECT_EQ(tree.Value(QStringLiteral("dir/n5")), "5");
    EXPECT_EQ(tree.Value(QStringLiteral("other/n6")), "NO-LABEL");
}

// Values share their storage: rewriting one, longer or shorter, must leave its neighbours whole,
// and a value longer than a storage block is kept whole too.
TEST(Tree, RewrittenAndLongValuesLeaveTheirNeighboursAlone)
{
    Tree tree;
    tree.Value(QStringLiteral("a"), QStringLiteral("first"));
    tree.Value(QStringLiteral("b"), QStringLiteral("second"));
    tree.Value(QStringLiteral("a"), QStringLiteral("1"));
    EXPECT_EQ(tree.Value(QStringLiteral("a")), "1");
    EXPECT_EQ(tree.Value(QStringLiteral("b")), "second");
    tree.Value(QStringLiteral("a"), QStringLiteral("much longer than before"));
    EXPECT_EQ(tree.Value(QStringLiteral("a")), "much longer than before");
    EXPECT_EQ(tree.Value(QStringLiteral("b")), "second");
    tree.Value(QStringLiteral("a"), QString());
    EXPECT_EQ(tree.Value(QStringLiteral("a")), "");
    const QString huge(700000, QChar(u'請'));
    tree.Value(QStringLiteral("huge"), huge);
    tree.Value(QStringLiteral("after"), QStringLiteral("あ"));
    EXPECT_EQ(tree.Value(QStringLiteral("huge")), huge);
    EXPECT_EQ(tree.Value(QStringLiteral("after")), "あ");
    EXPECT_EQ(tree.Value(QStringLiteral("b")), "second");
    tree.ChTree(QStringLiteral("b"));
    EXPECT_EQ(tree.TreeName(), "b");
    EXPECT_EQ(tree.RootValue(), "second");
}

// Many records of the same shape, as a large data document makes them: each record keeps its
// own values, and the labels they share stay the same text.
TEST(Tree, ManyRecordsKeepTheirOwnValues)
{
    Tree tree;
    for (int record = 0; record < 20000; ++record) {
        const auto index = tree.Add(QStringLiteral("piece"));
        tree.ChTree(tree.daL(index));
        tree.Value(QStringLiteral("no"), QStringLiteral("HS-%1").arg(record));
        tree.ChTree(QStringLiteral("item"));
        tree.Value(QStringLiteral("name"), QStringLiteral("品名%1").arg(record));
        tree.ChRootTree();
    }
    EXPECT_EQ(tree.Value(QStringLiteral("piece/no")), "HS-0");
    EXPECT_EQ(tree.Value(QStringLiteral("piece@19999/no")), "HS-19999");
    EXPECT_EQ(tree.Value(QStringLiteral("piece@12345/item/name")), "品名12345");
    tree.ChTree(QStringLiteral("piece@777"));
    std::vector<Tree::LetRow> rows;
    EXPECT_EQ(tree.LetList(rows), 2);
    EXPECT_EQ(rows[0], (Tree::LetRow { "/", "piece@777" }));
    EXPECT_EQ(rows[1], (Tree::LetRow { "item", "" }));
    EXPECT_EQ(rows[2], (Tree::LetRow { "no", "HS-777" }));
}

}
