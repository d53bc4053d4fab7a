#include "document/Compiler.h"

#include <gtest/gtest.h>

using namespace vorlix::document;

namespace {

TEST(Compiler, NewCompilerReportsNothing)
{
    const Compiler compiler;
    EXPECT_FALSE(compiler.report().fError);
    EXPECT_FALSE(compiler.report().fWarning);
    EXPECT_EQ(compiler.report().nErrPit, -1);
    EXPECT_EQ(compiler.report().sErrMsg, "");
}

TEST(Compiler, CopiesTheReadersReport)
{
    Tree tree;
    Compiler compiler;
    compiler.Init(&tree, 3);
    compiler.Text(QStringLiteral("<?xml?><TZQ_002><a>1</b></TZQ_002>"));
    EXPECT_TRUE(compiler.report().fWarning);
    EXPECT_FALSE(compiler.report().fError);
    EXPECT_EQ(compiler.report().nErrPit, 21);
    EXPECT_EQ(compiler.report().sErrMsg, "LabData>終了タグが違う:b");
    EXPECT_EQ(tree.Value(QStringLiteral("a")), "NO-LABEL");
    EXPECT_EQ(tree.Value(QStringLiteral("System/TzqVersion")), "3");
}

TEST(Compiler, KindsWithoutAReaderFail)
{
    for (const int kind : { 1, 4, 0 }) {
        Tree tree;
        Compiler compiler;
        compiler.Init(&tree, kind);
        compiler.Text(QStringLiteral("<?xml?><TZQ_002><a>1</a></TZQ_002>"));
        EXPECT_TRUE(compiler.report().fError) << kind;
        EXPECT_FALSE(compiler.report().sErrMsg.isEmpty());
        EXPECT_EQ(tree.Value(QStringLiteral("a")), "NO-LABEL");
    }
}

}
