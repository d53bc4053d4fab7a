#include "window/SourceHighlighter.h"

#include "window/SourceEdit.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

using Kind = vorlix::window::SourceHighlighter::Kind;
using Mode = vorlix::window::SourceHighlighter::Mode;
using vorlix::window::SourceHighlighter;

// What each character of a line was coloured as.
class SourceHighlighterTest : public ::testing::Test {
protected:
    void show(Mode mode, const QString& text)
    {
        document.setPlainText(text);
        highlighter.setMode(mode);
        highlighter.rehighlight();
    }

    Kind kindAt(int line, int column)
    {
        const QTextBlock block = document.findBlockByNumber(line);
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            if (column >= range.start && column < range.start + range.length) {
                for (Kind kind : { Kind::Command, Kind::Number, Kind::String, Kind::Reference,
                         Kind::Comment, Kind::Tag, Kind::Attribute }) {
                    if (highlighter.format(kind) == range.format)
                        return kind;
                }
            }
        }
        return Kind::Plain;
    }

    QTextDocument document;
    SourceHighlighter highlighter { &document };
};

TEST_F(SourceHighlighterTest, FaceCommandsNumbersStringsReferencesAndComments)
{
    show(Mode::Face,
        QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0; s,10,-2.5,$name;\n# h,1,2;\nx,1,2,\"a;b\";"));
    EXPECT_EQ(kindAt(0, 0), Kind::Command); // fs
    EXPECT_EQ(kindAt(0, 3), Kind::Number);
    EXPECT_EQ(kindAt(0, 5), Kind::String);
    EXPECT_EQ(kindAt(0, 8), Kind::String); // inside the string
    EXPECT_EQ(kindAt(0, 18), Kind::Command); // s after the separator
    EXPECT_EQ(kindAt(0, 19), Kind::Plain);
    EXPECT_EQ(kindAt(0, 23), Kind::Number); // -2.5
    EXPECT_EQ(kindAt(0, 26), Kind::Number);
    EXPECT_EQ(kindAt(0, 30), Kind::Reference); // $name
    EXPECT_EQ(kindAt(1, 2), Kind::Comment);
    EXPECT_EQ(kindAt(2, 0), Kind::Command);
    EXPECT_EQ(kindAt(2, 8), Kind::String); // ";" inside a string ends nothing
    // A quoted reference is a reference to its closing quote, doubled quotes included; the
    // command words of aligned and formatted text are commands.
    show(Mode::Face, QStringLiteral("sr,1,2,$\"a\"\"b\";sf,1,2,2,\"0\",$\"n\";"));
    EXPECT_EQ(kindAt(0, 0), Kind::Command);
    EXPECT_EQ(kindAt(0, 7), Kind::Reference); // $
    EXPECT_EQ(kindAt(0, 13), Kind::Reference); // the closing quote
    EXPECT_EQ(kindAt(0, 14), Kind::Plain); // ;
    EXPECT_EQ(kindAt(0, 15), Kind::Command); // sf
    EXPECT_EQ(kindAt(0, 24), Kind::String);
    EXPECT_EQ(kindAt(0, 30), Kind::Reference);
}

TEST_F(SourceHighlighterTest, OnlyTheFirstWordOfAStatementIsACommand)
{
    show(Mode::Face, QStringLiteral("s,100,100,h;\nfoo,1;"));
    EXPECT_EQ(kindAt(0, 0), Kind::Command);
    EXPECT_EQ(kindAt(0, 10), Kind::Plain); // h as an argument
    EXPECT_EQ(kindAt(1, 0), Kind::Plain); // not a command word
    EXPECT_TRUE(SourceHighlighter::isCommand(QStringLiteral("glc")));
    EXPECT_FALSE(SourceHighlighter::isCommand(QStringLiteral("foo")));
}

TEST_F(SourceHighlighterTest, StringsAndCommentsRunAcrossLines)
{
    show(Mode::Face, QStringLiteral("s,1,1,\"two\nlines\";h,1,1,1;"));
    EXPECT_EQ(kindAt(1, 2), Kind::String);
    EXPECT_EQ(kindAt(1, 7), Kind::Command);
    show(Mode::Data, QStringLiteral("<!-- a\nb --><face>x.fae</face>"));
    EXPECT_EQ(kindAt(1, 0), Kind::Comment);
    EXPECT_EQ(kindAt(1, 5), Kind::Tag);
    EXPECT_EQ(kindAt(1, 11), Kind::Plain);
}

TEST_F(SourceHighlighterTest, DataTagsAndAttributes)
{
    show(Mode::Data, QStringLiteral("<?xml version=\"1.0\" ?>\n<TZQ_002>\n<piece>\n</TZQ_002>"));
    EXPECT_EQ(kindAt(0, 0), Kind::Tag);
    EXPECT_EQ(kindAt(0, 6), Kind::Attribute);
    EXPECT_EQ(kindAt(0, 15), Kind::String);
    EXPECT_EQ(kindAt(1, 3), Kind::Tag);
    EXPECT_EQ(kindAt(3, 1), Kind::Tag);
    show(Mode::None, QStringLiteral("<TZQ_002>"));
    EXPECT_EQ(kindAt(0, 1), Kind::Plain);
}

TEST(SourceHighlighterSteps, ALongTextIsColouredInStepsFromItsStart)
{
    vorlix::window::SourceEdit editor;
    auto& highlighter = editor.highlighter();
    const auto kindAt = [&](int line, int column) {
        const QTextBlock block = editor.document()->findBlockByNumber(line);
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            if (column >= range.start && column < range.start + range.length)
                return range.format == highlighter.format(Kind::Command) ? Kind::Command
                                                                         : Kind::Comment;
        }
        return Kind::Plain;
    };
    QString text;
    for (int i = 0; i < 3 * SourceHighlighter::StepLines + 10; ++i)
        text += QStringLiteral("h,1,2,3; # line\n");
    highlighter.setMode(Mode::Face);
    highlighter.restart();
    editor.setPlainText(text);
    const int last = editor.blockCount() - 2;
    EXPECT_EQ(kindAt(0, 0), Kind::Command);
    EXPECT_EQ(kindAt(last, 0), Kind::Plain);
    EXPECT_FALSE(highlighter.finished());
    for (int i = 0; i < 10 && !highlighter.finished(); ++i)
        QCoreApplication::processEvents();
    ASSERT_TRUE(highlighter.finished());
    EXPECT_EQ(kindAt(last, 0), Kind::Command);
    EXPECT_EQ(kindAt(last, 10), Kind::Comment);
    EXPECT_EQ(kindAt(SourceHighlighter::StepLines, 0), Kind::Command);
}

}
