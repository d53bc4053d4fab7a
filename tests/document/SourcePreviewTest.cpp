#include "document/Source.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

using namespace vorlix::document;
using namespace vorlix::test;

// A data document of numbered records and a face that prints each record's number on its page.
QString recordsDocument(int records)
{
    QString text = QStringLiteral("<?xml ?><TZQ_002><face>numbers.fae</face><path>CurDir</path>");
    for (int i = 1; i <= records; ++i)
        text += QStringLiteral("<piece><n>%1</n></piece>").arg(i);
    return text + QStringLiteral("</TZQ_002>");
}

class SourcePreviewTest : public vorlix::test::SourceFixture {
protected:
    SourcePreviewTest()
    {
        file(QStringLiteral("numbers.fae"),
            QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;\r\npiece;\r\ns,100,100,$n;\r\n"));
        source.SetObject(&editor, &box);
    }
    // The text the shown page carries.
    QString shownText() const { return box.picture ? box.picture->dump() : QString(); }

    Source source;
    StringEditor editor;
    PictureBox box;
};

TEST_F(SourcePreviewTest, TheBoxIsThePageTimesTheRatioInTwips)
{
    EXPECT_EQ(source.preview().Width(), 2100);
    EXPECT_NEAR(box.boxWidth, 2100 * 5.67, 0.01);
    EXPECT_NEAR(box.boxHeight, 2970 * 5.67, 0.01);
    source.preview().setPicRatio(2.0);
    EXPECT_NEAR(box.boxWidth, 2 * 2100 * 5.67, 0.01);
    source.preview().setPicRatio(0.0);
    source.preview().setPicRatio(-1.0);
    EXPECT_DOUBLE_EQ(source.preview().PicRatio(), 2.0);
    // Landscape paper turns the box.
    source.printer().Orientation = 2;
    source.preview().bindPreview();
    EXPECT_NEAR(box.boxWidth, 2 * 2970 * 5.67, 0.01);
}

// The print-details dialog changes the paper; the preview box follows it whether or not the
// dialog was confirmed, and without a dialog nothing changes.
TEST_F(SourcePreviewTest, PrintDetailsRebindTheBoxToThePaperChosen)
{
    EXPECT_FALSE(source.OpenPrintDet());
    bool confirm = true;
    source.setPrintDetails([&](PrinterSettings& printer) {
        printer.PaperSize = 8;
        printer.Orientation = 2;
        return confirm;
    });
    EXPECT_TRUE(source.OpenPrintDet());
    EXPECT_EQ(source.preview().Width(), 4200);
    EXPECT_EQ(source.preview().Height(), 2970);
    EXPECT_NEAR(box.boxWidth, 4200 * 5.67, 0.01);
    source.setPrintDetails([&](PrinterSettings& printer) {
        printer.Orientation = 1;
        return false;
    });
    EXPECT_FALSE(source.OpenPrintDet());
    EXPECT_EQ(source.preview().Width(), 2970);
}

TEST_F(SourcePreviewTest, APageBeyondTheDocumentShowsPageOne)
{
    editor.setText(recordsDocument(2));
    source.document().FileType = SourceFile::FileTypes::DataDocument;
    source.PreView(1);
    ASSERT_TRUE(source.merged().fMaScOn);
    ASSERT_EQ(source.merged().Page, 2);
    const QString first = shownText();
    EXPECT_TRUE(first.contains(u"\"1\"")) << first.toStdString();
    source.preview().PageView(2, false);
    EXPECT_TRUE(shownText().contains(u"\"2\""));
    source.preview().PageView(99, false);
    EXPECT_EQ(shownText(), first);
    EXPECT_FALSE(source.preview().fInterpreterProblem);
}

// A long document is kept packed: the page count is whole, and a jump anywhere, forwards or back
// and across packed blocks, shows that record's page.
TEST_F(SourcePreviewTest, PageJumpsReachEveryPageOfALongDocument)
{
    const int records = 6000;
    editor.setText(recordsDocument(records));
    source.document().FileType = SourceFile::FileTypes::DataDocument;
    source.PreView(1);
    ASSERT_TRUE(source.merged().fMaScOn);
    ASSERT_EQ(source.merged().Page, records);
    ASSERT_GT(source.merged().ManuScript->bodySize(), 140000);
    for (const int page : { records, 2, 4321, 1, 5999, 3000, 3001 }) {
        source.preview().PageView(page, false);
        const QString shown = shownText();
        EXPECT_TRUE(shown.contains(QStringLiteral("\"%1\"").arg(page))) << page;
        EXPECT_FALSE(shown.contains(QStringLiteral("\"%1\"").arg(page + 1))) << page;
    }
    EXPECT_FALSE(source.preview().fInterpreterProblem);
}

TEST_F(SourcePreviewTest, InterpreterProblemsAreShownAndThePageStays)
{
    vorlix::test::MessageRecorder messages;
    editor.setText(QStringLiteral("h,1,x,1;s,100,100,\"after\";"));
    source.document().FileType = SourceFile::FileTypes::FaceProgram;
    source.PreView(1);
    EXPECT_TRUE(source.preview().fInterpreterProblem);
    EXPECT_TRUE(shownText().contains(u"after"));
    ASSERT_EQ(messages.prompts.size(), 1u);
    EXPECT_EQ(messages.prompts[0].text, "Source/PrintGo>インタプリタエラー");
    // The page's report outlives the job's end, which the interpreter runs afterwards.
    EXPECT_TRUE(source.preview().oCt.report.clean());
    EXPECT_EQ(source.preview().report().ErrNumber, 13);
    EXPECT_EQ(source.preview().report().statement, "h,1,x,1");

    editor.setText(QStringLiteral("zz,1,2;s,100,100,\"after\";"));
    source.PreView(1);
    ASSERT_EQ(messages.prompts.size(), 2u);
    EXPECT_EQ(messages.prompts[1].text, "Source/PrintGo>インタプリタ警告");
    EXPECT_FALSE(source.preview().report().fError);
    EXPECT_EQ(source.preview().report().statement, "zz,1,2");

    editor.setText(QStringLiteral("s,100,100,\"fine\";"));
    source.PreView(1);
    EXPECT_TRUE(source.preview().report().clean());
    EXPECT_FALSE(source.preview().fInterpreterProblem);
}

}
