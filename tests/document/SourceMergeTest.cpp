#include "document/Source.h"
#include "shell/InitFile.h"
#include "shell/iniInit.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

using namespace vorlix::document;
using namespace vorlix::test;
using FileTypes = SourceFile::FileTypes;

class SourceMergeTest : public vorlix::test::SourceFixture {
protected:
    // A source document holding the text as a document of the type.
    void load(const QString& text, FileTypes type)
    {
        source.document().setText(text);
        source.document().FileType = type;
    }

    Source source;
};

TEST_F(SourceMergeTest, FaceProgramMergesAgainstTheBuiltInData)
{
    source.document().setFileName(file(QStringLiteral("own.fae"),
        QStringLiteral("s,100,100,$System/filetype;\r\ns,100,200,$nothing;\r\n")));
    ASSERT_TRUE(source.document().InBuff(false));
    ASSERT_TRUE(source.SrcMerg(source.document().Text()));
    const QString merged = source.merged().ManuScript->text();
    EXPECT_TRUE(merged.startsWith(QStringLiteral("head,1,")));
    EXPECT_TRUE(merged.contains(QStringLiteral("s,100,100,3;"))) << merged.toStdString();
    // A reference that finds nothing drops its statement.
    EXPECT_FALSE(merged.contains(QStringLiteral("s,100,200")));
    EXPECT_EQ(source.merge().Tr.Value(QStringLiteral("path")), u"Direct");
    EXPECT_EQ(source.merge().Tr.Value(QStringLiteral("face")), source.document().FileName());
}

TEST_F(SourceMergeTest, FaceIsFoundThroughTheDefaultSheetFolder)
{
    const QString sheet = vorlix::shell::iniInit::DefaultSheetFolder();
    writeFileBytes(sheet + QStringLiteral("bill.fae"),
        vorlix::shell::toCp932(QStringLiteral("s,100,100,$name;\r\ns,1,1,$Title;\r\n")));
    load(QStringLiteral("<?xml ?><TZQ_002><face>bill.fae</face><name>株式会社テスト</name>"
                        "<Title>請求書</Title></TZQ_002>"),
        FileTypes::DataDocument);
    LogCapture log;
    ASSERT_TRUE(source.SrcMerg(source.document().Text()));
    EXPECT_TRUE(
        source.merged().ManuScript->text().contains(QStringLiteral("s,100,100,株式会社テスト;")));
    // The data's own title becomes the application title.
    EXPECT_TRUE(source.merged().ManuScript->text().contains(QStringLiteral("s,1,1,請求書;")));
    EXPECT_EQ(state->ApplicationTitle, u"請求書");
    EXPECT_EQ(source.merge().Tr.Value(QStringLiteral("path")), u"Default");
    EXPECT_EQ(source.merge().Tr.Value(QStringLiteral("dir")), sheet);
    EXPECT_EQ(log.linesStartingWith(QStringLiteral("Source/")),
        QStringList({ "Source/ReadTD>fTagOn=True", "Source/SeScPath>SheetPath=" + sheet,
            "Source/Mergeup>fMaScOn=True" }));
}

TEST_F(SourceMergeTest, FaceMissingEverywhereGivesTheFailurePage)
{
    load(QStringLiteral("<?xml ?><TZQ_002><face>gone.fae</face><path>Nope</path></TZQ_002>"),
        FileTypes::DataDocument);
    LogCapture log;
    ASSERT_TRUE(source.SrcMerg(source.document().Text()));
    EXPECT_TRUE(source.merge().face().missing);
    EXPECT_TRUE(source.merged().ManuScript->text().contains(
        QStringLiteral("ァイルの読み込みが失敗しました")));
    const QStringList failures = log.linesStartingWith(QStringLiteral("Source/Mergeup>"));
    ASSERT_EQ(failures.size(), 4);
    EXPECT_TRUE(failures[0].startsWith(u"Source/Mergeup>１回目のファイルの読み込みが失敗しました"));
    EXPECT_TRUE(failures[1].startsWith(u"Source/Mergeup>２回目のファイルの読み込みが失敗しました"));
    EXPECT_TRUE(failures[2].startsWith(u"Source/Mergeup>ァイルの読み込みが失敗しました"));
    EXPECT_EQ(failures[3], u"Source/Mergeup>fMaScOn=True");
}

// A face that no sheet folder holds is looked for beside the data document, last, with a log line
// for the attempt before it; a face in a sheet folder still wins.
TEST_F(SourceMergeTest, FaceBesideTheDocumentIsTriedLast)
{
    const QString forms = env.root() + QStringLiteral("/forms/");
    file(QStringLiteral("forms/bill.fae"), QStringLiteral("s,1,1,\"beside\";\r\n"));
    source.document().setFileName(file(QStringLiteral("forms/bill.mnd"),
        QStringLiteral("<?xml ?><TZQ_002><face>bill.fae</face><path>CurDir</path></TZQ_002>")));
    ASSERT_TRUE(source.document().InBuff(false));
    {
        LogCapture log;
        ASSERT_TRUE(source.SrcMerg(source.document().Text()));
        EXPECT_TRUE(source.merged().ManuScript->text().contains(QStringLiteral("\"beside\"")));
        EXPECT_FALSE(source.merge().face().missing);
        EXPECT_EQ(source.merge().face().file, forms + QStringLiteral("bill.fae"));
        EXPECT_EQ(source.merge().Tr.Value(QStringLiteral("path")), u"Document");
        EXPECT_EQ(source.merge().Tr.Value(QStringLiteral("dir")), forms);
        const QStringList lines = log.linesStartingWith(QStringLiteral("Source/Mergeup>"));
        ASSERT_EQ(lines.size(), 4);
        EXPECT_TRUE(
            lines[1].startsWith(u"Source/Mergeup>２回目のファイルの読み込みが失敗しました"));
        EXPECT_TRUE(
            lines[2].startsWith(u"Source/Mergeup>３回目のファイルの読み込みが失敗しました"));
        EXPECT_EQ(lines[3], u"Source/Mergeup>fMaScOn=True");
    }

    const QString sheet = vorlix::shell::iniInit::DefaultSheetFolder();
    writeFileBytes(sheet + QStringLiteral("bill.fae"), QByteArray("s,1,1,\"sheet\";\r\n"));
    ASSERT_TRUE(source.SrcMerg(source.document().Text()));
    EXPECT_TRUE(source.merged().ManuScript->text().contains(QStringLiteral("\"sheet\"")));
    EXPECT_EQ(source.merge().Tr.Value(QStringLiteral("path")), u"Default");

    // Missing beside the document too: the failure names the folder tried last.
    load(QStringLiteral("<?xml ?><TZQ_002><face>gone.fae</face></TZQ_002>"),
        FileTypes::DataDocument);
    LogCapture log;
    ASSERT_TRUE(source.SrcMerg(source.document().Text()));
    EXPECT_TRUE(source.merge().face().missing);
    const QStringList lines = log.linesStartingWith(QStringLiteral("Source/Mergeup>"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[3], u"Source/Mergeup>ァイルの読み込みが失敗しました");
    const QStringList all = log.lines();
    EXPECT_EQ(all.value(all.indexOf(lines[3]) + 1), forms + QStringLiteral("gone.fae"));
}

TEST_F(SourceMergeTest, ArgumentsOverrideFaceAndSheet)
{
    QDir().mkpath(env.root() + QStringLiteral("/forms"));
    writeFileBytes(
        env.root() + QStringLiteral("/forms/other.fae"), QByteArray("s,1,1,\"other\";\r\n"));
    state->SettingsFile->SetString(
        QStringLiteral("sheet"), QStringLiteral("Forms"), env.root() + QStringLiteral("/forms/"));
    state.options().ArgFaceFile = QStringLiteral("other.fae");
    state.options().ArgSheetPath = QStringLiteral("Forms");
    load(QStringLiteral("<?xml ?><TZQ_002><face>bill.fae</face><path>CurDir</path></TZQ_002>"),
        FileTypes::DataDocument);
    ASSERT_TRUE(source.SrcMerg(source.document().Text()));
    EXPECT_TRUE(source.merged().ManuScript->text().contains(QStringLiteral("\"other\"")));
    EXPECT_EQ(source.merge().face().file, env.root() + QStringLiteral("/forms/other.fae"));
}

// In the window the user is told what is wrong and the caret goes to the problem.
TEST_F(SourceMergeTest, DataDocumentErrorIsShownAtItsLine)
{
    vorlix::test::MessageRecorder messages;
    vorlix::test::StringEditor editor;
    source.SetObject(&editor, nullptr);
    load(
        QStringLiteral("<?xml ?>\r\n<TZQ_002>\r\n<a>1</b>\r\n</TZQ_002>"), FileTypes::DataDocument);
    EXPECT_FALSE(source.SrcMerg(source.document().Text()));
    EXPECT_FALSE(source.merge().fTagOn);
    EXPECT_FALSE(source.merged().fMaScOn);
    const auto& report = source.merge().report();
    EXPECT_TRUE(report.fWarning);
    EXPECT_EQ(report.sErrMsg, "LabData>終了タグが違う:b");
    ASSERT_EQ(messages.prompts.size(), 1u);
    EXPECT_EQ(messages.prompts[0].text, "ソースエラー\r\nLabData>終了タグが違う:b\r\n<a>1</b>");
    EXPECT_EQ(editor.selectionLength(), 8);
}

TEST_F(SourceMergeTest, OtherFilesAndFailedMergesAreRefused)
{
    vorlix::test::MessageRecorder messages;
    load(QStringLiteral("anything"), FileTypes::OtherFile);
    EXPECT_FALSE(source.SrcMerg(source.document().Text()));
    load(QStringLiteral("course,0;s,1,1,$nothing;"), FileTypes::FaceProgram);
    LogCapture log;
    EXPECT_FALSE(source.SrcMerg(source.document().Text()));
    EXPECT_TRUE(source.merge().report().fError);
    EXPECT_TRUE(log.lines().contains("Source/Mergeup>Mergで致命的なエラー"));
    ASSERT_EQ(messages.prompts.size(), 2u);
    EXPECT_EQ(messages.prompts[0].text, "ファイルタイプが変です");
    EXPECT_EQ(messages.prompts[1].text, "マージエラー");
}

TEST_F(SourceMergeTest, NewTextForgetsTheLastMerge)
{
    load(QStringLiteral("s,1,1,\"a\";"), FileTypes::FaceProgram);
    ASSERT_TRUE(source.SrcMerg(source.document().Text()));
    ASSERT_TRUE(source.merge().fTagOn);
    source.document().setText(QStringLiteral("h,1,1,1;"));
    EXPECT_FALSE(source.merge().fTagOn);
    EXPECT_FALSE(source.merged().fMaScOn);
    EXPECT_FALSE(source.merged().ManuScript);
}

}
