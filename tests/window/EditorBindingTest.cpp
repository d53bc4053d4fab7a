#include "window/EditorBinding.h"

#include "document/SourceCaret.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/window/WindowTestSupport.h"
#include "window/SourceEdit.h"

#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

using vorlix::document::SourceCaret;
using vorlix::window::EditorBinding;
using vorlix::window::SourceEdit;

const QString kThreeLines = QStringLiteral("h,1,2,3;\r\nv,4,5,6;\r\ns,7,8,\"x\";");

// The real editor widget bound to the source document, as the window binds them.
class EditorBindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w.source->SetObject(&binding, &picture);
        w.source->document().setText(kThreeLines);
    }

    vorlix::test::WindowEnvironment w;
    SourceEdit editor;
    EditorBinding binding { editor };
    vorlix::test::PictureBox picture;
};

TEST_F(EditorBindingTest, TextHasCrLfLineEndsAndTheWidgetOneCharacterPerEnd)
{
    EXPECT_EQ(binding.text(), kThreeLines);
    EXPECT_EQ(editor.blockCount(), 3);
    EXPECT_EQ(editor.document()->characterCount() - 1, kThreeLines.size() - 2);
    EXPECT_EQ(
        EditorBinding::widgetText(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a\nb\nc\nd"));
    // Non-breaking spaces survive the round trip.
    binding.setText(QStringLiteral("s,1,1,\"a\u00a0b\";"));
    EXPECT_EQ(binding.text(), QStringLiteral("s,1,1,\"a\u00a0b\";"));
}

TEST_F(EditorBindingTest, PositionsCountTheCrOfEachLineEnd)
{
    // "v" starts line 2 at CR LF position 10, widget position 9.
    EXPECT_EQ(binding.toWidget(10), 9);
    EXPECT_EQ(binding.fromWidget(9), 10);
    EXPECT_EQ(binding.toWidget(20), 18);
    EXPECT_EQ(binding.fromWidget(18), 20);
    // Between CR and LF: the end of the line.
    EXPECT_EQ(binding.toWidget(9), 8);
    for (int p : { 0, 3, 8, 10, 15, 20, 28 })
        EXPECT_EQ(binding.fromWidget(binding.toWidget(p)), p) << p;
    EXPECT_EQ(binding.toWidget(1000), editor.document()->characterCount() - 1);
}

TEST_F(EditorBindingTest, CaretOperationsOfTheDocumentWorkOnTheRealEditor)
{
    auto& caret = w.source->caret();
    caret.setPLT(23); // inside line 3
    EXPECT_EQ(caret.PLT(), 23);
    EXPECT_EQ(editor.textCursor().blockNumber(), 2);
    EXPECT_EQ(caret.DefaultLine(), QStringLiteral("s,7,8,\"x\";"));
    EXPECT_EQ(editor.textCursor().selectedText(), QStringLiteral("s,7,8,\"x\";"));
    EXPECT_EQ(binding.selectionLength(), 10);

    // Every move puts the widget's cursor at the start of the line it names.
    struct Move {
        void (SourceCaret::*step)();
        int position;
        int line;
    };
    for (const Move& move :
        { Move { &SourceCaret::prevPLT, 10, 1 }, Move { &SourceCaret::topPLT, 0, 0 },
            Move { &SourceCaret::nextPLT, 10, 1 }, Move { &SourceCaret::nextPLT, 20, 2 } }) {
        (caret.*move.step)();
        EXPECT_EQ(caret.PLT(), move.position);
        EXPECT_EQ(editor.textCursor().blockNumber(), move.line) << move.position;
        EXPECT_EQ(editor.textCursor().positionInBlock(), 0) << move.position;
        EXPECT_FALSE(editor.textCursor().hasSelection()) << move.position;
    }
}

TEST_F(EditorBindingTest, AddItemInsertsANewLineBeforeTheCaretsLine)
{
    w.source->caret().setPLT(24);
    w.source->caret().AddItem(QStringLiteral("x"));
    EXPECT_EQ(binding.text(), QStringLiteral("h,1,2,3;\r\nv,4,5,6;\r\nx\r\ns,7,8,\"x\";"));
    EXPECT_EQ(editor.document()->findBlockByNumber(2).text(), QStringLiteral("x"));
}

TEST_F(EditorBindingTest, NextLineOnTheLastLineAddsALineEnd)
{
    w.source->caret().setPLT(25);
    w.source->caret().nextPLT();
    EXPECT_EQ(binding.text(), kThreeLines + QStringLiteral("\r\n"));
    EXPECT_EQ(w.source->caret().PLT(), kThreeLines.size() + 2);
    EXPECT_EQ(editor.textCursor().blockNumber(), 3);
}

}
