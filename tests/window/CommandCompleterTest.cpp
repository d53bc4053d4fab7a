#include "window/CommandCompleter.h"

#include "window/SourceEdit.h"
#include "window/SourceHighlighter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QTest>
#include <gtest/gtest.h>

using vorlix::window::CommandCompleter;
using vorlix::window::SourceEdit;
using vorlix::window::SourceHighlighter;

namespace {

class CommandCompleterTest : public ::testing::Test {
protected:
    CommandCompleterTest() { editor.highlighter().setMode(SourceHighlighter::Mode::Face); }

    // Types the text, then Ctrl+Space, as a user does.
    void typeAndComplete(const QString& text)
    {
        editor.setPlainText(text);
        editor.moveCursor(QTextCursor::End);
        QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
    }

    [[nodiscard]] QStringList offered()
    {
        QStringList words;
        QCompleter& completer = editor.completer().completer();
        if (!completer.popup()->isVisible())
            return words;
        for (int row = 0; completer.setCurrentRow(row); ++row)
            words << completer.currentCompletion();
        return words;
    }

    SourceEdit editor;
};

// A unique beginning is written out at once with its comma, wherever the statement starts: at the
// text's start, after a ";" on the same line, or on a new line.
TEST_F(CommandCompleterTest, AUniqueBeginningIsWrittenOut)
{
    typeAndComplete(QStringLiteral("im"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("img,"));

    typeAndComplete(QStringLiteral("h,0,0,100; gl"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("h,0,0,100; glc,"));

    typeAndComplete(QStringLiteral("h,0,0,100;\n  chb"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("h,0,0,100;\n  chbase,"));

    // After a comment line, as every block of the samples begins.
    typeAndComplete(QStringLiteral("# ---- 線 ----\nh,0,0,100; # 枠\ngl"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("# ---- 線 ----\nh,0,0,100; # 枠\nglc,"));

    typeAndComplete(QStringLiteral("h,0,0,100;\n  chb"));

    // One undo takes the completion back to what was typed.
    editor.undo();
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("h,0,0,100;\n  chb"));
}

// Several matches are listed, only those starting with what is typed, and the chosen one
// replaces the typed letters.
TEST_F(CommandCompleterTest, SeveralMatchesAreListedAndTheChoiceReplacesTheLetters)
{
    typeAndComplete(QStringLiteral("s,100,100,\"x\";\nag"));
    EXPECT_EQ(offered(), (QStringList { "ag", "agf" }));

    QCompleter& completer = editor.completer().completer();
    completer.setCurrentRow(1);
    emit completer.activated(completer.currentIndex());
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("s,100,100,\"x\";\nagf,"));
}

// Inside a statement's arguments or strings, after a letter that is no command's beginning, and
// in a data document, Ctrl+Space changes nothing.
TEST_F(CommandCompleterTest, NothingIsOfferedOutsideAStatementsFirstWord)
{
    for (const QString& text : { QStringLiteral("h,10"), QStringLiteral("s,1,1,\"ab"),
             QStringLiteral("zq"), QStringLiteral("h,0,0,100 im"), QStringLiteral("h,1; # im"),
             QStringLiteral("s,1,1,\"#\"\nim") }) {
        SCOPED_TRACE(text.toStdString());
        typeAndComplete(text);
        EXPECT_EQ(editor.toPlainText(), text);
        EXPECT_TRUE(offered().isEmpty());
    }

    editor.highlighter().setMode(SourceHighlighter::Mode::Data);
    typeAndComplete(QStringLiteral("<face>im"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("<face>im"));
}

// Every command can be found this way, and the list says what its arguments are.
TEST_F(CommandCompleterTest, EveryCommandIsOfferedWithItsArguments)
{
    const QStringList all = CommandCompleter::words(QString());
    EXPECT_EQ(all.size(), 58);
    for (const QString& word : all) {
        EXPECT_TRUE(CommandCompleter::words(word).contains(word)) << word.toStdString();
        EXPECT_TRUE(CommandCompleter::description(word).startsWith(word + u','))
            << word.toStdString();
    }
}

}
