#include "lang/TokenCutter.h"

#include "shell/RunError.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

using vorlix::lang::TokenCutter;
using vorlix::lang::TokenType;

namespace {

enum class Buffer { Fresh, Reused };

// Cuts the whole text and writes every token as "type:text", ending with the first end token.
// The token goes into a new string per call, or into one string reused for every call, as the
// interpreter does; both must give the same tokens.
QString cutAll(const QString& source, const std::function<void(TokenCutter&)>& setup = {},
    Buffer buffer = Buffer::Fresh)
{
    TokenCutter cutter;
    if (setup)
        setup(cutter);
    cutter.TextEx(source);
    QStringList parts;
    QString reused;
    for (int guard = 0; guard < 1000; ++guard) {
        QString fresh;
        QString& token = buffer == Buffer::Reused ? reused : fresh;
        const TokenType type = cutter.getToken(token);
        parts << QString::number(static_cast<int>(type)) + ":" + token;
        if (type == TokenType::TkEndOfText)
            break;
    }
    return parts.join(' ');
}

struct CutCase {
    const char* source;
    const char* tokens;
};

class DefaultCutting : public ::testing::TestWithParam<CutCase> { };

TEST_P(DefaultCutting, YieldsTheExpectedTokens)
{
    const QString source = QString::fromUtf8(GetParam().source);
    const QString expected = QString::fromUtf8(GetParam().tokens);
    EXPECT_EQ(cutAll(source), expected) << GetParam().source;
    EXPECT_EQ(cutAll(source, {}, Buffer::Reused), expected) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(TokenCutter, DefaultCutting,
    ::testing::Values(
        // A separator inside a string is part of the string.
        CutCase { "s,100,100,\"A;B\";", "1:s 3:100 3:100 2:A;B 8:; 10:" },
        // Empty statements vanish.
        CutCase { "h,1,2,3;  ;v,4,5,6;", "1:h 3:1 3:2 3:3 8:; 1:v 3:4 3:5 3:6 8:; 10:" },
        CutCase { "x,,5;", "1:x 9: 3:5 8:; 10:" }, CutCase { "a,;", "1:a 9: 8:; 10:" },
        CutCase { "a,,;", "1:a 9: 8:; 10:" }, CutCase { "a,,,b", "1:a 9: 9: 1:b 10:" },
        // A blank after an absorbed comma swallows the separators behind it.
        CutCase { "a, ;b", "1:a 1:b 10:" }, CutCase { "h,1", "1:h 3:1 10:" },
        CutCase { "# comment line\r\nend;", "1:end 8:; 10:" },
        CutCase { "h,1 # rest of line\nv;", "1:h 3:1 1:v 8:; 10:" }, CutCase { "a#x", "1:a 10:" },
        CutCase { "a#x\rb", "1:a 1:b 10:" },
        // A lone CR ends a statement; CR LF and LF are blanks.
        CutCase { "a\rb", "1:a 8:; 1:b 10:" }, CutCase { "a\r\nb\nc", "1:a 1:b 1:c 10:" },
        CutCase { "0x1F;", "3:31 8:; 10:" }, CutCase { "0x;", "3:0 8:; 10:" },
        CutCase { "0xFFFF 0x8000 0x10000 0xFFFFFFFF", "3:-1 3:-32768 3:65536 3:-1 10:" },
        CutCase { "0x123456789 0x0000001", "3:0 3:1 10:" }, CutCase { "0X1", "3:0 1:X1 10:" },
        CutCase { "-.5 +3 .25 1.50", "3:-.5 3:+3 3:.25 3:1.50 10:" },
        CutCase { "+x", "6:+ 1:x 10:" }, CutCase { "- 5", "6:- 3:5 10:" },
        CutCase { "1E5", "3:1E 3:5 10:" }, CutCase { "2.5e+3 1e-2", "3:2.5e+3 3:1e-2 10:" },
        CutCase { "a1@_b-c", "1:a1@_b 6:- 1:c 10:" }, CutCase { "a/b", "1:a 6:/ 1:b 10:" },
        CutCase { "(a)[b]{c}", "4:( 1:a 5:) 4:[ 1:b 5:] 4:{ 1:c 5:} 10:" },
        CutCase { "_ ! ~", "6:_ 6:! 6:~ 10:" }, CutCase { "s,1,2,\"x", "1:s 3:1 3:2 2:x 10:" },
        CutCase { "\"\";", "2: 8:; 10:" }, CutCase { "\"a,b#c\nd\"", "2:a,b#c\nd 10:" },
        // Two double quotes inside a string are one double quote of its text.
        CutCase { "s,\"24\"\" 型\";", "1:s 2:24\" 型 8:; 10:" },
        CutCase { "\"\"\"\" \"a\"\"\" \"\"\"b\" \"\"\"", "2:\" 2:a\" 2:\"b 2:\" 10:" },
        CutCase { "\"a\" \"b\"", "2:a 2:b 10:" },
        // Every non-ASCII character is a letter; the ideographic space is a blank.
        CutCase { "合計　５,「x」", "1:合計 1:５ 1:「x」 10:" },
        CutCase { "\"合　計\"", "2:合　計 10:" },
        CutCase { "fs,1,\"ＭＳ 明朝\",9,0;", "1:fs 3:1 2:ＭＳ 明朝 3:9 3:0 8:; 10:" },
        CutCase { "\t\x01 a", "1:a 10:" }, CutCase { "", "10:" }, CutCase { ";;;", "8:; 10:" }));

TEST(TokenCutter, EndOfTextRepeatsForever)
{
    TokenCutter cutter;
    cutter.TextEx(QStringLiteral("end"));
    QString token;
    EXPECT_EQ(cutter.getToken(token), TokenType::TkWord);
    for (int i = 0; i < 5; ++i) {
        token = QStringLiteral("junk");
        EXPECT_EQ(cutter.getToken(token), TokenType::TkEndOfText);
        EXPECT_TRUE(token.isEmpty());
    }
    EXPECT_EQ(cutter.Point(), 4);
}

// The cutter writes into the caller's string; a copy the caller kept of an earlier token must not
// change, and a long token followed by short ones leaves nothing of itself behind.
TEST(TokenCutter, ReusedTokenLeavesEarlierCopiesAlone)
{
    TokenCutter cutter;
    cutter.SetOpt4(true);
    cutter.TextEx(QStringLiteral("\"長い長い文字列\",7,,0x1F,2.50;x"));
    QString token;
    QStringList kept;
    for (TokenType type = cutter.getToken(token); type != TokenType::TkEndOfText;
         type = cutter.getToken(token))
        kept << token;
    EXPECT_EQ(kept, QStringList({ "長い長い文字列", "7", "", "31", "2.5", ";", "x" }));
    EXPECT_TRUE(token.isEmpty());
}

TEST(TokenCutter, NormalisedTextMarksSeparatorsAndStrings)
{
    TokenCutter cutter;
    cutter.TextEx(QStringLiteral("a,\"b;\";#c\nd"));
    const QString expected = QStringLiteral("a\t\x07"
                                            "b;\x08\n   d")
        + QString(3, QChar(0));
    EXPECT_EQ(cutter.Text(), expected);
    EXPECT_EQ(cutter.Size(), 12);
    EXPECT_EQ(cutter.Point(), 1);
}

// The tokens of the cutter's current text, as cutAll writes them.
QString remainingTokens(TokenCutter& cutter)
{
    QStringList parts;
    QString token;
    for (int guard = 0; guard < 2000; ++guard) {
        const TokenType type = cutter.getToken(token);
        parts << QString::number(static_cast<int>(type)) + ":" + token;
        if (type == TokenType::TkEndOfText)
            break;
    }
    return parts.join(' ');
}

TEST(TokenCutter, ATextAfterALongOneIsCutAsIfItCameFirst)
{
    // A page's text repeats the document's head; they part anywhere in the page that follows.
    QString head;
    for (int i = 0; i < 30; ++i)
        head += QStringLiteral("h,100,%1,500;s,1,2,\"見出し;#\";\r\n").arg(200 + i);
    struct Case {
        const char* name;
        QString first;
        QString second;
        std::function<void(TokenCutter&)> between;
    };
    const auto lines = [](TokenCutter& c) { c.SetOpt1(false); };
    const auto separator = [](TokenCutter& c) { c.SetOpt2(QStringLiteral("!")); };
    const auto comment = [](TokenCutter& c) { c.SetOpt5(QStringLiteral("%")); };
    const auto field = [](TokenCutter& c) { c.SetOpt6(QStringLiteral("|")); };
    const Case cases[] = {
        { "the same text", head + "s,1,2,x;", head + "s,1,2,x;", {} },
        { "another page", head + "s,1,2,\"山田\";", head + "s,1,2,\"鈴木\";", {} },
        { "inside a string", head + "s,1,2,\"ab;c\";x;", head + "s,1,2,\"ab\";x,\"c;\";", {} },
        { "an unterminated string", head + "s,1,2,\"abc", head + "s,1,2,\"abc\";d;", {} },
        { "a quote after a string", head + "s,1,2,\"ab\";x\";", head + "s,1,2,\"ab\"\"x\";", {} },
        { "inside a comment", head + "#abc;\nx;", head + "#ab\nc;x;", {} },
        { "a comment ended by CR alone", head + "#ab\rc;d", head + "#ab\rc;d\ne;", {} },
        { "a comment at the end", head + "#abc", head + "#abc\r\nq;", {} },
        { "between CR and LF", head + "a\r\nb;", head + "a\rb;", {} },
        { "a CR that gains its LF", head + "a\rb;", head + "a\r\nb;", {} },
        { "a shorter text", head + "s,1,2,x;" + head, head, {} },
        { "a longer text", head, head + head + "v,1,2,3;", {} },
        { "a short text between", head + "a;", QStringLiteral(";;out;"), {} },
        { "line ends that end statements", head + "a\nb;", head + "a\nb;", lines },
        { "another statement separator", head + "a!b;", head + "a!b;", separator },
        { "another comment character", head + "a%b\nc;", head + "a%b\nc;", comment },
        { "another field separator", head + "a|b,c;", head + "a|b,c;", field },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TokenCutter fresh;
        TokenCutter after;
        if (c.between) {
            c.between(fresh);
        }
        after.TextEx(c.first);
        (void)remainingTokens(after);
        if (c.between)
            c.between(after);
        fresh.TextEx(c.second);
        after.TextEx(c.second);
        EXPECT_EQ(after.Text(), fresh.Text());
        EXPECT_EQ(after.Size(), fresh.Size());
        EXPECT_EQ(remainingTokens(after), remainingTokens(fresh));
        // And once more, now that the second text is the one kept.
        after.TextEx(c.first);
        fresh.TextEx(c.first);
        EXPECT_EQ(after.Text(), fresh.Text());
    }
}

TEST(TokenCutter, OptionsOfTheMergeLanguage)
{
    const auto merge = [](TokenCutter& c) {
        c.SetOpt3(false);
        c.SetOpt4(true);
        c.SetOpt7(QStringLiteral("/"));
    };
    EXPECT_EQ(cutAll(QStringLiteral("a/b,\"s\",1.50,1E5,-.5,0x10;"), merge),
        QStringLiteral("1:a/b 2:\"s\" 3:1.5 3:0 3:5 3:-0.5 3:16 8:; 10:"));
    // Strings come back as written, doubled quotes doubled, so that they are written back alike.
    EXPECT_EQ(cutAll(QStringLiteral("\"a\"\"b\",\"\"\"\";"), merge),
        QStringLiteral("2:\"a\"\"b\" 2:\"\"\"\" 8:; 10:"));
    // Integers written plainly stay as written; leading zeros, signs and long ones are
    // normalised like every other number.
    EXPECT_EQ(
        cutAll(QStringLiteral("123,-45,0,007,-0,+8,123456789012345,1234567890123456;"), merge),
        QStringLiteral(
            "3:123 3:-45 3:0 3:7 3:0 3:8 3:123456789012345 3:1.23456789012346E+15 8:; 10:"));
}

// The merge cuts every token into one buffer: a short token after a long one, a quoted string,
// a normalised or hexadecimal number and an empty item must each leave exactly their own text,
// and a copy the caller kept of an earlier token must not change when the buffer is written.
TEST(TokenCutter, AReusedBufferHoldsOnlyItsNewToken)
{
    const auto merge = [](TokenCutter& c) {
        c.SetOpt3(false);
        c.SetOpt4(true);
        c.SetOpt7(QStringLiteral("/"));
    };
    const QString source = QStringLiteral(
        "averyveryverylongword,\"x\",1.50,0x1F,0x,,ab,\"\",7;\"長い文字列の値\",a;");
    const QString expected = QStringLiteral("1:averyveryverylongword 2:\"x\" 3:1.5 3:31 3:0 9: "
                                            "1:ab 2:\"\" 3:7 8:; 2:\"長い文字列の値\" 1:a 8:; 10:");
    EXPECT_EQ(cutAll(source, merge), expected);
    EXPECT_EQ(cutAll(source, merge, Buffer::Reused), expected);

    TokenCutter cutter;
    merge(cutter);
    cutter.TextEx(source);
    QString token;
    (void)cutter.getToken(token);
    const QString kept = token;
    for (const char* next : { "\"x\"", "1.5", "31" }) {
        (void)cutter.getToken(token);
        EXPECT_EQ(token, QString::fromUtf8(next));
    }
    EXPECT_EQ(kept, QStringLiteral("averyveryverylongword"));
}

TEST(TokenCutter, LineBreaksEndStatementsWhenOpt1IsOff)
{
    const auto lines = [](TokenCutter& c) { c.SetOpt1(false); };
    EXPECT_EQ(cutAll(QStringLiteral("a b\r\nc\nd"), lines),
        QStringLiteral("1:a 1:b 8:; 1:c 8:; 1:d 10:"));
}

TEST(TokenCutter, OtherSeparatorAndCommentCharacters)
{
    const auto custom = [](TokenCutter& c) {
        c.SetOpt2(QStringLiteral("!"));
        c.SetOpt5(QStringLiteral("%"));
        c.SetOpt6(QStringLiteral("|"));
    };
    EXPECT_EQ(cutAll(QStringLiteral("a|b,c!d%x;y\ne"), custom),
        QStringLiteral("1:a 1:b 6:, 1:c 8:! 1:d 1:e 10:"));
    TokenCutter cutter;
    cutter.SetOpt6(QStringLiteral("|x"));
    EXPECT_EQ(cutter.Opt6(), QStringLiteral("|"));
    EXPECT_EQ(cutter.Opt7(), QString());
}

TEST(TokenCutter, AbsorbedCommaIsReportedInfCtC)
{
    TokenCutter cutter;
    cutter.TextEx(QStringLiteral("a,b c;"));
    QString token;
    (void)cutter.getToken(token);
    EXPECT_TRUE(cutter.fCtC);
    (void)cutter.getToken(token);
    EXPECT_FALSE(cutter.fCtC);
}

TEST(TokenCutter, PointCanBeSavedAndRestored)
{
    TokenCutter cutter;
    cutter.TextEx(QStringLiteral("a,b,c;"));
    QString token;
    (void)cutter.getToken(token);
    const auto saved = cutter.Point();
    (void)cutter.getToken(token);
    EXPECT_EQ(token, QStringLiteral("b"));
    EXPECT_EQ(cutter.prevPoint(), saved);
    cutter.SetPoint(saved);
    (void)cutter.getToken(token);
    EXPECT_EQ(token, QStringLiteral("b"));
}

TEST(TokenCutter, GetToTeminRestoresTheRawText)
{
    TokenCutter cutter;
    cutter.TextEx(QStringLiteral("a,\"x,y\";b endlet;"));
    EXPECT_EQ(cutter.getToTemin(QStringLiteral("endlet")), QStringLiteral("a,\"x,y\";b"));
    QString token;
    EXPECT_EQ(cutter.getToken(token), TokenType::TkWord);
    EXPECT_EQ(token, QStringLiteral("endlet"));
}

TEST(TokenCutter, GetToTeminEdgeCases)
{
    TokenCutter cutter;
    cutter.TextEx(QStringLiteral("x \"end\" #c\r\ny end"));
    // Strings are never searched and comments come back as blanks.
    EXPECT_EQ(cutter.getToTemin(QStringLiteral("end")), QStringLiteral("x \"end\"     y"));
    cutter.TextEx(QStringLiteral("no terminator,\"open"));
    EXPECT_EQ(cutter.getToTemin(QStringLiteral("zz")), QStringLiteral("no terminator,\"open\""));
    QString token;
    EXPECT_EQ(cutter.getToken(token), TokenType::TkEndOfText);
    EXPECT_EQ(cutter.getToTemin(QString(QChar(0))), QString());
    try {
        (void)cutter.getToTemin(QString());
        FAIL() << "an empty terminator must fail";
    } catch (const vorlix::shell::RunError& e) {
        EXPECT_EQ(e.number(), 5);
    }
}

TEST(TokenCutter, RefreshAndRawTextNeverReadOutside)
{
    TokenCutter cutter;
    cutter.TextEx(QStringLiteral("a;"));
    cutter.Refresh();
    QString token;
    EXPECT_EQ(cutter.getToken(token), TokenType::TkEndOfText);
    cutter.SetText(QStringLiteral("ab"));
    EXPECT_EQ(cutter.Size(), 2);
    EXPECT_EQ(cutter.getToken(token), TokenType::TkWord);
    EXPECT_EQ(token, QStringLiteral("ab"));
    EXPECT_EQ(cutter.getToken(token), TokenType::TkEndOfText);
}

TEST(TokenCutter, HugeAndHostileInputsEndCleanly)
{
    TokenCutter cutter;
    QString big = QStringLiteral("h");
    for (int i = 0; i < 100000; ++i)
        big += QStringLiteral(",1");
    big += QChar(0);
    big += QStringLiteral("\"\x08\x07");
    cutter.TextEx(big);
    QString token;
    int count = 0;
    while (cutter.getToken(token) != TokenType::TkEndOfText)
        ++count;
    EXPECT_EQ(count, 100003);
}

}
