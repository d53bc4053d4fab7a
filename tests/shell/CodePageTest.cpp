#include "shell/CodePage.h"

#include <gtest/gtest.h>

using namespace vorlix::shell;

namespace {

// Characters that tell the real Windows Japanese code page from strict Shift_JIS and from a
// careless converter.
TEST(CodePageTest, Cp932RoundTripsTheCharactersWindowsFilesHold)
{
    const struct {
        const char* name; // what the row shows
        QString text;
        QByteArray bytes; // the text in CP932
    } cases[] = {
        { "half-width kana", QStringLiteral("ｱｲｳﾞ"), "\xB1\xB2\xB3\xDE" },
        { "circled one (NEC row 13)", QStringLiteral("①"), "\x87\x40" },
        { "IBM extension", QStringLiteral("髙"), "\xFB\xFC" },
        { "wave dash as full-width tilde", QString(QChar(0xFF5E)), "\x81\x60" },
        { "0x5C is a backslash", QStringLiteral("C:\\x"), "C:\\x" },
        { "kanji", QStringLiteral("請求書"), "\x90\xBF\x8B\x81\x8F\x91" },
        { "control bytes stay", QString::fromLatin1("\x1A\x1C\x7F"), "\x1A\x1C\x7F" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        EXPECT_EQ(toCp932(c.text, &ok), c.bytes);
        EXPECT_TRUE(ok);
        EXPECT_EQ(fromCp932(c.bytes), c.text);
        EXPECT_TRUE(fitsCp932(c.text));
    }
}

TEST(CodePageTest, InvalidCp932BytesBecomeReplacementCharactersAndDecodingGoesOn)
{
    EXPECT_EQ(fromCp932(QByteArray("a\x80"
                                   "b",
                  3)),
        QString("a") + QChar(0xFFFD) + "b");
    EXPECT_EQ(fromCp932(QByteArray("x\x82", 2)), QString("x") + QChar(0xFFFD));
    EXPECT_EQ(fromCp932(QByteArray("\xA0z", 2)), QString(QChar(0xFFFD)) + "z");
    // A lead byte without its trail byte must not take the line end with it.
    EXPECT_EQ(fromCp932(QByteArray("\x82\r\nA", 4)), QString(QChar(0xFFFD)) + "\r\nA");
    EXPECT_EQ(fromCp932(QByteArray("\x82 ,", 3)), QString(QChar(0xFFFD)) + " ,");
    EXPECT_EQ(fromCp932(QByteArray("\x85\x40|", 3)), QString(QChar(0xFFFD)) + "|");
}

TEST(CodePageTest, DecodingRecognisesUtf8OnlyWhenItIsThere)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
        TextEncoding encoding;
    };
    const Case cases[] = {
        { "UTF-8 with BOM", "\xEF\xBB\xBF" + QStringLiteral("受取人").toUtf8(),
            QStringLiteral("受取人"), TextEncoding::Utf8Bom },
        { "UTF-8 without BOM", QStringLiteral("受取人").toUtf8(), QStringLiteral("受取人"),
            TextEncoding::Utf8 },
        { "BOM alone", "\xEF\xBB\xBF", QString(), TextEncoding::Utf8Bom },
        { "plain ASCII counts as CP932", "abc", QStringLiteral("abc"), TextEncoding::Cp932 },
        { "CP932 kanji", toCp932(QStringLiteral("受取人")), QStringLiteral("受取人"),
            TextEncoding::Cp932 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.encoding, c.encoding);
    }
}

TEST(CodePageTest, EncodingFallsBackToUtf8OnlyWhenCp932CannotHoldTheText)
{
    TextEncoding used = TextEncoding::Cp932;
    EXPECT_EQ(encodeNewText(QStringLiteral("髙①"), &used), QByteArray("\xFB\xFC\x87\x40"));
    EXPECT_EQ(used, TextEncoding::Cp932);

    const QString korean = QStringLiteral("受取人 한국");
    EXPECT_FALSE(fitsCp932(korean));
    EXPECT_EQ(encodeNewText(korean, &used), korean.toUtf8());
    EXPECT_EQ(used, TextEncoding::Utf8);

    EXPECT_EQ(encodeText(QStringLiteral("a"), TextEncoding::Utf8Bom, &used),
        QByteArray("\xEF\xBB\xBF"
                   "a"));
    EXPECT_EQ(used, TextEncoding::Utf8Bom);

    bool ok = true;
    EXPECT_EQ(toCp932(QStringLiteral("a😀b"), &ok), QByteArray("a?b"));
    EXPECT_FALSE(ok);
}

}
