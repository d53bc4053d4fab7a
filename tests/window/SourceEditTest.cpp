#include "window/SourceEdit.h"

#include "window/EditorBinding.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using vorlix::window::EditorBinding;
using vorlix::window::SourceEdit;

// Every way of ending a line gives a real line end: two statements on two lines, CR LF in the
// text the document sees, and nothing the Japanese code page lacks.
TEST(SourceEditTest, EveryLineEndIsARealOne)
{
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        { "Enter", Qt::Key_Return, Qt::NoModifier },
        { "Shift+Enter", Qt::Key_Return, Qt::ShiftModifier },
        { "Shift+keypad Enter", Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SourceEdit editor;
        EditorBinding binding(editor);
        QTest::keyClicks(&editor, QStringLiteral("h,1,2,3;"));
        QTest::keyClick(&editor, c.key, c.modifiers);
        QTest::keyClicks(&editor, QStringLiteral("v,1,2,3;"));
        EXPECT_EQ(binding.text(), QStringLiteral("h,1,2,3;\r\nv,1,2,3;"));
        EXPECT_EQ(editor.blockCount(), 2);
    }

    // Text pasted from elsewhere with a line separator in it.
    SourceEdit editor;
    EditorBinding binding(editor);
    QApplication::clipboard()->setText(
        QStringLiteral("h,1,2,3;") + QChar::LineSeparator + QStringLiteral("v,1,2,3;"));
    editor.paste();
    EXPECT_EQ(binding.text(), QStringLiteral("h,1,2,3;\r\nv,1,2,3;"));
}

// The line numbers' margin is as wide as the numbers in the editor's present font, so it never
// covers the first characters of the lines (a file of 120 lines needs three digits).
TEST(SourceEditTest, TheLineNumberMarginFollowsTheFont)
{
    SourceEdit editor;
    editor.resize(400, 300);
    QString lines;
    for (int i = 0; i < 120; ++i)
        lines += QStringLiteral("<?xml\n");
    editor.setPlainText(lines);
    for (const int points : { 8, 30 }) {
        SCOPED_TRACE(points);
        QFont font = editor.font();
        font.setPointSize(points);
        editor.setFont(font);
        const int digits = 3 * QFontMetrics(font).horizontalAdvance(QLatin1Char('9'));
        const QWidget* margin = editor.findChild<QWidget*>(QStringLiteral("LineNumberArea"));
        ASSERT_NE(margin, nullptr);
        EXPECT_GE(margin->width(), digits);
        // The text starts right of the margin.
        EXPECT_GE(editor.viewport()->geometry().left(), margin->geometry().right());
    }
}

}
