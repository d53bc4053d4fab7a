#include "document/Tree.h"

#include "shell/RunError.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

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

namespace {

    // Every directory below the current one, entry by entry in order: "path=value" lines.
    void dumpInto(Tree& tree, const QString& prefix, QStringList& lines)
    {
        const std::int32_t head = tree.RootIndex();
        std::int32_t cursor = 0;
        std::int32_t previous = 0;
        QString value;
        for (QString name = tree.Enumerate(cursor, previous, value); cursor > 0;
             name = tree.Enumerate(cursor, previous, value)) {
            lines << prefix + name + u'=' + value;
            const std::int32_t sub = tree.directoryOf(head, name);
            if (sub < 0)
                continue;
            const std::int32_t here = cursor;
            tree.ChIndex(sub);
            lines << prefix + name + u'/' + tree.TreeName();
            dumpInto(tree, prefix + name + u'/', lines);
            tree.ChIndex(head);
            cursor = here;
        }
    }

    QStringList dump(Tree& tree)
    {
        const std::int32_t current = tree.RootIndex();
        tree.ChRootTree();
        QStringList lines;
        dumpInto(tree, QString(), lines);
        tree.ChIndex(current);
        return lines;
    }

    // A record as the reader stores one: a directory of values, one of them repeated, one nested.
    void addRecord(Tree& tree, int number)
    {
        tree.ChRootTree();
        tree.ChTree(QStringLiteral("piece@%1").arg(number));
        tree.Value(QStringLiteral("no"), QString::number(number));
        tree.daV(tree.Add(QStringLiteral("item")), QStringLiteral("first %1").arg(number));
        tree.daV(tree.Add(QStringLiteral("item")), QStringLiteral("second %1").arg(number));
        tree.ChTree(QStringLiteral("address"));
        tree.Value(QStringLiteral("city"), QStringLiteral("東京 %1").arg(number));
        tree.ChRootTree();
    }

    std::unique_ptr<Tree> headTree()
    {
        auto tree = std::make_unique<Tree>();
        tree->Value(QStringLiteral("company"), QStringLiteral("株式会社サンプル"));
        tree->ChTree(QStringLiteral("System"));
        tree->Value(QStringLiteral("mpiececount"), QStringLiteral("3"));
        tree->ChRootTree();
        tree->Add(QStringLiteral("piece"));
        return tree;
    }

}

TEST(TreeRollback, AddsIntoTheRootGoAndTheTreeWorksAsBefore)
{
    auto tree = headTree();
    const QStringList before = dump(*tree);
    const std::int32_t nodes = tree->nodeCount();
    const Tree::Mark mark = tree->mark();
    addRecord(*tree, 7);
    tree->Value(QStringLiteral("new"), QStringLiteral("x"));
    EXPECT_EQ(tree->Value(QStringLiteral("piece@7/address/city")), "東京 7");
    tree->rollback(mark);
    EXPECT_EQ(dump(*tree), before);
    EXPECT_EQ(tree->nodeCount(), nodes);
    EXPECT_EQ(tree->Count(), 3);
    EXPECT_EQ(tree->Value(QStringLiteral("piece@7/no")), "NO-LABEL");
    EXPECT_EQ(tree->Value(QStringLiteral("new")), "NO-LABEL");
    // New entries take the freed slots and are linked after the old ones.
    addRecord(*tree, 8);
    tree->ChTree(QStringLiteral("piece@8"));
    EXPECT_EQ(tree->RootIndex(), nodes + 1);
    EXPECT_EQ(tree->Value(QStringLiteral("item@1")), "second 8");
    tree->ChRootTree();
    EXPECT_EQ(dump(*tree).first(before.size()), before);
    EXPECT_TRUE(dump(*tree).last().startsWith(QStringLiteral("piece@8/address/city=")));
}

TEST(TreeRollback, LargeDirectoriesForgetTheNamesAddedSince)
{
    Tree tree;
    for (int i = 0; i < 60; ++i)
        tree.Value(QStringLiteral("old%1").arg(i), QString::number(i));
    tree.ChTree(QStringLiteral("small"));
    for (int i = 0; i < 40; ++i)
        tree.Add(QStringLiteral("v"));
    tree.ChRootTree();
    const QStringList before = dump(tree);
    const Tree::Mark mark = tree.mark();
    for (int i = 0; i < 30; ++i)
        tree.Value(QStringLiteral("new%1").arg(i), QString::number(i));
    // The small directory outgrows its list and is indexed while the mark is kept.
    tree.ChTree(QStringLiteral("small"));
    for (int i = 0; i < 20; ++i)
        tree.Add(QStringLiteral("v"));
    EXPECT_EQ(tree.Value(QStringLiteral("v@55")), "");
    tree.rollback(mark);
    EXPECT_EQ(dump(tree), before);
    EXPECT_EQ(tree.Value(QStringLiteral("new3")), "NO-LABEL");
    EXPECT_EQ(tree.Value(QStringLiteral("old59")), "59");
    EXPECT_EQ(tree.Value(QStringLiteral("small/v@55")), "NO-LABEL");
    EXPECT_EQ(tree.Value(QStringLiteral("small/v@39")), "");
    // The names come back as new entries, in the hashed and the listed directory alike.
    tree.Value(QStringLiteral("new3"), QStringLiteral("again"));
    EXPECT_EQ(tree.Value(QStringLiteral("new3")), "again");
    tree.ChTree(QStringLiteral("small"));
    EXPECT_EQ(tree.daL(tree.Add(QStringLiteral("v"))), "v@40");
    EXPECT_EQ(tree.Count(), 41);
}

TEST(TreeRollback, RewrittenValuesAndRenamesAreUndone)
{
    Tree tree;
    tree.Value(QStringLiteral("long"), QStringLiteral("a rather long value"));
    tree.Value(QStringLiteral("short"), QStringLiteral("ab"));
    const std::int32_t piece = tree.Add(QStringLiteral("piece"));
    tree.ChTree(QStringLiteral("piece"));
    tree.ChRootTree();
    const QStringList before = dump(tree);
    const Tree::Mark mark = tree.mark();
    // Shorter texts would be written in place, over the old ones.
    tree.Value(QStringLiteral("long"), QStringLiteral("tiny"));
    tree.Value(QStringLiteral("short"), QStringLiteral("a much longer value than before"));
    tree.daV(piece, QStringLiteral("own"));
    tree.ChTree(QStringLiteral("piece"));
    tree.RootValue(QStringLiteral("rewritten"));
    tree.ChRootTree();
    EXPECT_EQ(tree.daL(tree.Add(QStringLiteral("piece"))), "piece@1");
    EXPECT_EQ(tree.daL(tree.Add(QStringLiteral("piece"))), "piece@2");
    tree.rollback(mark);
    EXPECT_EQ(dump(tree), before);
    EXPECT_EQ(tree.Value(QStringLiteral("long")), "a rather long value");
    EXPECT_EQ(tree.daV(piece), "");
    // The counter of repeated names is back too: the next one is piece@1 again.
    EXPECT_EQ(tree.daL(tree.Add(QStringLiteral("piece"))), "piece@1");
}

TEST(TreeRollback, TheCurrentDirectoryComesBack)
{
    auto tree = headTree();
    tree->ChTree(QStringLiteral("System"));
    const std::int32_t system = tree->RootIndex();
    const Tree::Mark mark = tree->mark();
    addRecord(*tree, 2);
    tree->ChTree(QStringLiteral("piece@2"));
    tree->rollback(mark);
    EXPECT_EQ(tree->RootIndex(), system);
    EXPECT_EQ(tree->Value(QStringLiteral("mpiececount")), "3");
}

TEST(TreeRollback, MarksNest)
{
    auto tree = headTree();
    const QStringList atOuter = dump(*tree);
    const Tree::Mark outer = tree->mark();
    addRecord(*tree, 1);
    const QStringList atInner = dump(*tree);
    const Tree::Mark inner = tree->mark();
    addRecord(*tree, 2);
    tree->ChTree(QStringLiteral("piece@1"));
    tree->Value(QStringLiteral("no"), QStringLiteral("changed"));
    tree->rollback(inner);
    EXPECT_EQ(dump(*tree), atInner);
    EXPECT_EQ(tree->Value(QStringLiteral("piece@1/no")), "1");
    // The inner mark stays and can be returned to again; releasing it keeps what came after it
    // for the outer mark to undo.
    addRecord(*tree, 3);
    tree->release(inner);
    tree->rollback(inner);
    EXPECT_EQ(tree->Value(QStringLiteral("piece@3/no")), "3");
    tree->rollback(outer);
    EXPECT_EQ(dump(*tree), atOuter);
    // Rolling back the outer mark forgot the inner one.
    addRecord(*tree, 4);
    tree->rollback(inner);
    EXPECT_EQ(tree->Value(QStringLiteral("piece@4/no")), "4");
    tree->release(outer);
    tree->rollback(outer);
    EXPECT_EQ(tree->Value(QStringLiteral("piece@4/no")), "4");
    // A new mark where an old one stood is not the old one.
    const Tree::Mark again = tree->mark();
    EXPECT_EQ(again.nodes, tree->nodeCount());
    addRecord(*tree, 5);
    tree->rollback(outer);
    EXPECT_EQ(tree->Value(QStringLiteral("piece@5/no")), "5");
    tree->rollback(again);
    EXPECT_EQ(tree->Value(QStringLiteral("piece@5/no")), "NO-LABEL");
    EXPECT_EQ(tree->Value(QStringLiteral("piece@4/no")), "4");
}

TEST(TreeRollback, LoadingAndDroppingRecordsDoesNotGrow)
{
    auto tree = headTree();
    const Tree::Mark mark = tree->mark();
    addRecord(*tree, 1);
    tree->rollback(mark);
    const std::size_t footprint = tree->footprint();
    const std::int32_t nodes = tree->nodeCount();
    for (int record = 2; record <= 20000; ++record) {
        addRecord(*tree, record);
        tree->rollback(mark);
    }
    EXPECT_EQ(tree->nodeCount(), nodes);
    EXPECT_EQ(tree->footprint(), footprint);
    EXPECT_EQ(tree->Value(QStringLiteral("company")), "株式会社サンプル");
}

TEST(TreeGraft, CopiesAnEntryAsItIsStored)
{
    Tree from;
    from.ChTree(QStringLiteral("piece"));
    from.ChRootTree();
    from.Add(QStringLiteral("piece"));
    addRecord(from, 1);
    from.ChTree(QStringLiteral("piece@1"));
    from.daV(from.Add(QStringLiteral("item")), QStringLiteral("third"));
    from.ChRootTree();
    const std::int32_t record = from.entryOf(0, QStringLiteral("piece@1"));
    ASSERT_GT(record, 0);
    EXPECT_EQ(from.entryOf(0, QStringLiteral("nothing")), -1);
    EXPECT_EQ(from.directoryOf(0, QStringLiteral("nothing")), -1);

    Tree to;
    to.Value(QStringLiteral("company"), QStringLiteral("c"));
    to.graft(from, from.entryOf(0, QStringLiteral("piece")));
    const std::int32_t copy = to.graft(from, record);
    EXPECT_EQ(to.daL(copy), "piece@1");
    EXPECT_EQ(to.RootIndex(), 0);
    QStringList expected = dump(from);
    expected.prepend(QStringLiteral("company=c"));
    EXPECT_EQ(dump(to), expected);
    // Repeated names go on counting where the copied tree stood.
    EXPECT_EQ(to.daL(to.Add(QStringLiteral("piece"))), from.daL(from.Add(QStringLiteral("piece"))));
    to.ChTree(QStringLiteral("piece@1"));
    from.ChTree(QStringLiteral("piece@1"));
    EXPECT_EQ(to.daL(to.Add(QStringLiteral("item"))), "item@3");
    EXPECT_EQ(to.parentOf(to.RootIndex()), 0);
}

}
