// Values reach the page as the data holds them: the merged text quotes them the same whether the
// document is read whole or in a stream, and a value that does not fit its format fails the run
// with a message that names it, while the rest of the page is drawn.
#include "tests/app/VorlixRun.h"

#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

TEST_F(VorlixRun, ValuesAreQuotedDecodedAndFormatted)
{
    write(QStringLiteral("v.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\npiece;\ns,100,100,$\"name\";\n"
                       "sf,1900,200,2,\"#,##0円\",$\"amount\";\n"));
    write(QStringLiteral("v.mnd"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<TZQ_002>\n"
                       "<face>v.fae</face>\n<path>CurDir</path>\n"
                       "<piece><name>液晶 24\" モニタ &amp; S&amp;B</name>"
                       "<amount>1,234</amount></piece>\n"
                       "<piece><name>No. 0012</name><amount>abc</amount></piece>\n"
                       "</TZQ_002>\n"));
    for (const char* streamFrom : { "-1", "0" }) {
        SCOPED_TRACE(streamFrom);
        QProcessEnvironment stream;
        stream.insert(QStringLiteral("VORLIX_STREAM_FROM"), QString::fromLatin1(streamFrom));
        const RunResult merged
            = run({ QStringLiteral("-m=v.txt"), QStringLiteral("v.mnd") }, stream);
        EXPECT_EQ(merged.status, 0) << merged.err.toStdString();
        const QString text
            = QString::fromUtf8(readFileBytes(env.root() + QStringLiteral("/v.txt")));
        EXPECT_TRUE(text.contains(QStringLiteral("s,100,100,\"液晶 24\"\" モニタ & S&B\";"
                                                 "sf,1900,200,2,\"#,##0円\",\"1,234\";")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(
            QStringLiteral("s,100,100,\"No. 0012\";sf,1900,200,2,\"#,##0円\",\"abc\";")));
    }
    const RunResult r = run({ QStringLiteral("-e=v.pdf"), QStringLiteral("v.mnd") });
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("13:値 \"abc\" は数値ではありません（書式 \"#,##0円\"）")))
        << r.err.toStdString();
    const QString pages = tool(QStringLiteral("pdftotext"),
        { env.root() + QStringLiteral("/v.pdf"), QStringLiteral("-") });
    for (const char* drawn : { "液晶 24\" モニタ & S&B", "1,234円", "0012" })
        EXPECT_TRUE(pages.contains(QString::fromUtf8(drawn))) << drawn << pages.toStdString();
}

}
