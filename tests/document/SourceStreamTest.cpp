// The source document leaves a large data document on disk in unattended runs: the merge reads
// its head and then one record at a time, with the same result as from the whole text.
#include "document/Source.h"
#include "shell/CodePage.h"
#include "tests/document/SourceTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace vorlix::document;
using namespace vorlix::test;

class SourceStreamTest : public SourceFixture {
protected:
    // Reads and merges the named file, streamed from `streamFrom` bytes on.
    QString merge(const QString& path, std::int64_t streamFrom)
    {
        Source source;
        source.document().setStreamFrom(streamFrom);
        source.document().setFileName(path);
        EXPECT_TRUE(source.document().InBuff(false));
        streamed = source.document().streamed();
        textLength = source.document().Text().size();
        merged = source.SrcMerg(source.document().Text());
        report = source.merge().report();
        place = source.merge().lineColumn(report.nErrPit);
        return merged && source.merged().ManuScript ? source.merged().ManuScript->text()
                                                    : QString();
    }

    void writeFace()
    {
        file(QStringLiteral("card.fae"),
            QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;\r\npiece;\r\ns,100,100,$name;\r\n"
                           "s,100,200,$Title;\r\n"));
    }

    bool streamed = false;
    bool merged = false;
    qsizetype textLength = -1;
    vorlix::shell::Report report;
    QString place;
};

TEST_F(SourceStreamTest, LargeDocumentsAreLeftOnDiskAndMergeTheSame)
{
    writeFace();
    QString data = QStringLiteral("<?xml ?>\r\n<TZQ_002><face>card.fae</face><path>CurDir</path>");
    for (int i = 0; i < 50; ++i)
        data += QStringLiteral("<piece><name>名前%1</name></piece>\r\n").arg(i);
    const QString path
        = file(QStringLiteral("cards.mnd"), data + QStringLiteral("<Title>題</Title></TZQ_002>"));

    const QString whole = merge(path, -1);
    EXPECT_FALSE(streamed);
    EXPECT_GT(textLength, 0);
    ASSERT_TRUE(merged);
    EXPECT_TRUE(whole.startsWith(QStringLiteral("head,50,")));

    EXPECT_EQ(merge(path, 0), whole);
    EXPECT_TRUE(streamed);
    EXPECT_EQ(textLength, 0);

    // Below the size the whole text is read as before.
    EXPECT_EQ(merge(path, 1 << 20), whole);
    EXPECT_FALSE(streamed);
}

TEST_F(SourceStreamTest, FaultsOfAStreamedDocumentAreReportedByLineAndColumn)
{
    writeFace();
    const QString path = file(QStringLiteral("bad.mnd"),
        QStringLiteral("<?xml ?>\r\n<TZQ_002><face>card.fae</face>\r\n<piece>\r\n"
                       "<name>a</nam></piece></TZQ_002>"));
    merge(path, -1);
    const vorlix::shell::Report wholeReport = report;
    const QString wholePlace = place;
    EXPECT_TRUE(report.fWarning);
    EXPECT_EQ(place, "4:8");
    merge(path, 0);
    EXPECT_TRUE(streamed);
    EXPECT_FALSE(merged);
    EXPECT_EQ(report, wholeReport);
    EXPECT_EQ(place, wholePlace);
}

TEST_F(SourceStreamTest, WindowAndSmallFilesKeepTheWholeRead)
{
    writeFace();
    const QString path = file(QStringLiteral("face.fae"), QStringLiteral("s,1,1,\"x\";\r\n"));
    merge(path, 0);
    EXPECT_FALSE(streamed) << "only data documents are streamed";
    EXPECT_TRUE(merged);
}

}
