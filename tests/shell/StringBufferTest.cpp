#include "shell/StringBuffer.h"

#include <gtest/gtest.h>

namespace StringBuffer = vorlix::shell::StringBuffer;

namespace {

// A buffer written in place must hold exactly the new text, end with its terminating NUL, and
// never change a copy that shares its storage.
TEST(StringBuffer, AssignLeavesOnlyTheNewTextAndSparesCopies)
{
    QString buffer;
    StringBuffer::assign(buffer, u"a rather long first text");
    const QString copy = buffer;
    StringBuffer::assign(buffer, u"short");
    EXPECT_EQ(buffer, QStringLiteral("short"));
    EXPECT_EQ(copy, QStringLiteral("a rather long first text"));
    const qsizetype room = buffer.capacity();
    StringBuffer::assign(buffer, u"ab");
    EXPECT_EQ(buffer, QStringLiteral("ab"));
    EXPECT_EQ(buffer.capacity(), room);
    EXPECT_EQ(buffer.constData()[2], QChar(u'\0'));
    StringBuffer::assign(buffer, {});
    EXPECT_TRUE(buffer.isEmpty());
    StringBuffer::assign(buffer, u"長い日本語の文字列も入る");
    EXPECT_EQ(buffer, QStringLiteral("長い日本語の文字列も入る"));
    QString literal = QStringLiteral("static");
    StringBuffer::assign(literal, u"x");
    EXPECT_EQ(literal, QStringLiteral("x"));
}

TEST(StringBuffer, AppendGrowsAndSparesCopies)
{
    QString buffer;
    QString expected;
    for (int i = 0; i < 200; ++i) {
        const QString part = QString::number(i) + u',';
        StringBuffer::append(buffer, part);
        expected += part;
    }
    EXPECT_EQ(buffer, expected);
    const QString copy = buffer;
    StringBuffer::append(buffer, u"xyz");
    EXPECT_EQ(buffer, expected + QStringLiteral("xyz"));
    EXPECT_EQ(copy, expected);
    buffer.resize(3);
    StringBuffer::append(buffer, u"xyz");
    EXPECT_EQ(buffer, QStringLiteral("0,1xyz"));
    EXPECT_EQ(buffer.constData()[buffer.size()], QChar(u'\0'));
}

}
