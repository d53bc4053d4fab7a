#include "document/SourceCaret.h"
#include "tests/document/SourceTestSupport.h"

#include <gtest/gtest.h>

namespace {

using vorlix::document::SourceCaret;
using vorlix::test::StringEditor;

TEST(SourceCaret, MovesByLinesOfTheEditorsText)
{
    StringEditor editor;
    SourceCaret caret;
    caret.setEditor(&editor);
    editor.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    caret.setPLT(7); // inside "two"
    EXPECT_EQ(caret.DefaultLine(), u"two");
    EXPECT_EQ(caret.PLT(), 5);
    EXPECT_EQ(editor.selectionLength(), 3);
    caret.prevPLT();
    EXPECT_EQ(caret.PLT(), 0);
    caret.prevPLT();
    EXPECT_EQ(caret.PLT(), 0);
    caret.nextPLT();
    EXPECT_EQ(caret.PLT(), 5);
    caret.setPLT(99);
    EXPECT_EQ(caret.PLT(), editor.text().size());
    caret.topPLT();
    EXPECT_EQ(caret.PLT(), 0);
}

TEST(SourceCaret, NextLineAfterTheLastAddsALineEnd)
{
    StringEditor editor;
    SourceCaret caret;
    caret.setEditor(&editor);
    editor.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    caret.setPLT(12); // inside the last line, which has no CR LF after it
    caret.nextPLT();
    EXPECT_EQ(editor.text(), u"one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(caret.PLT(), editor.text().size());
}

TEST(SourceCaret, AddItemInsertsALineBeforeTheCaretsLine)
{
    StringEditor editor;
    SourceCaret caret;
    caret.setEditor(&editor);
    editor.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    caret.setPLT(7);
    caret.AddItem(QStringLiteral("x"));
    EXPECT_EQ(editor.text(), u"one\r\nx\r\ntwo\r\nthree");
    caret.setPLT(0);
    caret.AddItem(QStringLiteral("first"));
    EXPECT_EQ(editor.text(), u"first\r\none\r\nx\r\ntwo\r\nthree");
}

TEST(SourceCaret, WithoutAnEditorNothingHappens)
{
    SourceCaret caret;
    caret.setPLT(5);
    caret.nextPLT();
    caret.prevPLT();
    caret.AddItem(QStringLiteral("x"));
    EXPECT_EQ(caret.PLT(), 0);
    EXPECT_EQ(caret.DefaultLine(), u"");
}

}
