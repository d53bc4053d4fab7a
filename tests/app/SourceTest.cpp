#include "document/Source.h"
#include "render/PageRecord.h"
#include "render/PrinterObject.h"
#include "shell/CodePage.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/iniInit.h"
#include "tests/app/SourceTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using vorlix::document::Source;
using vorlix::shell::moduleState;
using vorlix::test::PictureBox;
using vorlix::test::StringEditor;
using vorlix::test::TempEnvironment;
using vorlix::test::writeFileBytes;

// A fresh settings file in a temporary home, the source document, and the module state the
// unattended print mode gives.
class SourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The settings' current folder is the folder of the first start: the temporary home.
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(env.root());
        auto settings = std::make_shared<vorlix::shell::InitFile>();
        vorlix::shell::iniInit(*settings).SetInit(QString());
        moduleState().SettingsFile = settings;
        moduleState().RunMode = vorlix::shell::RunModePrint;
    }
    void TearDown() override
    {
        QDir::setCurrent(m_oldDir);
        auto& s = moduleState();
        s.ArgFaceFile.clear();
        s.ArgSheetPath.clear();
        s.ArgTitle.clear();
        s.ArgCopies = 0;
        s.ArgPages.clear();
        s.RunMode = 0;
        s.SettingsFile.reset();
        vorlix::render::PrinterObject::current().setExportFile(QString());
    }
    QString file(const QString& name, const QString& text)
    {
        const QString path = env.root() + u'/' + name;
        writeFileBytes(path, vorlix::shell::toCp932(text));
        return path;
    }

    TempEnvironment env;
    QString m_oldDir;
};

TEST(SourceStatic, FileTypesByExtension)
{
    EXPECT_EQ(Source::fileTypeOf(QStringLiteral("bill.fae")), 1);
    EXPECT_EQ(Source::fileTypeOf(QStringLiteral("DATA.XML")), 3);
    EXPECT_EQ(Source::fileTypeOf(QStringLiteral("a.Mnd")), 3);
    EXPECT_EQ(Source::fileTypeOf(QStringLiteral("notes.txt")), 4);
    EXPECT_EQ(Source::fileTypeOf(QStringLiteral("README")), 4);
    EXPECT_EQ(Source::fileTypeOf(QString()), 4);
}

TEST(SourceStatic, PageRanges)
{
    struct Case {
        const char* pages;
        int from;
        int to;
    } cases[] = { { "", 1, 9999 }, { "2,5", 2, 5 }, { "5,2", 5, 9999 }, { "3", 1, 9999 },
        { ",4", 1, 9999 }, { "-2,-4", 2, 4 }, { "x,y", 1, 9999 }, { "2,", 2, 9999 } };
    for (const auto& c : cases) {
        std::int32_t from = 0;
        std::int32_t to = 0;
        Source::pageRange(QString::fromUtf8(c.pages), from, to);
        EXPECT_EQ(from, c.from) << c.pages;
        EXPECT_EQ(to, c.to) << c.pages;
    }
}

TEST(SourceStatic, Templates)
{
    const QStringList face
        = Source::faceTemplate(QStringLiteral("2026/12/07"), QStringLiteral("9:30"))
              .split(QStringLiteral("\r\n"));
    ASSERT_EQ(face.size(), 9);
    EXPECT_EQ(face[0], u"#2026/12/07 9:30");
    EXPECT_EQ(face[1], u"#newfile.fae");
    EXPECT_EQ(face[2], u"fs,1,\"ＭＳ 明朝\",9,0;");
    EXPECT_EQ(face[4], u"a,1,1;");
    EXPECT_EQ(face[7], u"o,210,130;");
    EXPECT_EQ(face[8], u"");
    const QString data = Source::dataTemplate(QStringLiteral("d"), QStringLiteral("t"));
    EXPECT_TRUE(data.startsWith(QStringLiteral("<!-- d t -->\r\n<!-- newfile.mnd -->\r\n")));
    EXPECT_TRUE(
        data.contains(QStringLiteral("<?xml version=\"1.0\"  encoding=\"Shift_JIS\" ?>\r\n")));
    EXPECT_TRUE(data.endsWith(QStringLiteral(" <face>filename.fae</face>\r\n\r\n</TZQ_002> ")));
}

TEST_F(SourceTest, ReadsAFileAndTypesIt)
{
    Source source;
    source.setFileName(file(QStringLiteral("請求.MND"),
        QStringLiteral("<?xml ?><TZQ_002><face>x.fae</face></TZQ_002>")));
    EXPECT_TRUE(source.InBuff(false));
    EXPECT_EQ(source.FileType, 3);
    EXPECT_EQ(source.title(), u"請求");
    EXPECT_TRUE(source.Text().contains(u"x.fae"));
    // Putting new text in forgets the last merge.
    source.ManuScript = QStringLiteral("x");
    source.fMaScOn = true;
    source.setText(QStringLiteral("h,1,1,1;"));
    EXPECT_FALSE(source.fMaScOn);
    EXPECT_TRUE(source.ManuScript.isEmpty());
}

TEST_F(SourceTest, MissingFileCannotBeRead)
{
    Source source;
    source.setFileName(env.root() + QStringLiteral("/nothing.mnd"));
    EXPECT_FALSE(source.InBuff(false));
    EXPECT_EQ(source.FileType, 3);
}

TEST_F(SourceTest, FaceProgramMergesAgainstTheBuiltInData)
{
    Source source;
    source.setFileName(file(QStringLiteral("own.fae"),
        QStringLiteral("s,100,100,$System/filetype;\r\ns,100,200,$nothing;\r\n")));
    ASSERT_TRUE(source.InBuff(false));
    ASSERT_TRUE(source.SrcMerg(source.Text()));
    EXPECT_TRUE(source.ManuScript.startsWith(QStringLiteral("head,1,")));
    EXPECT_TRUE(source.ManuScript.contains(QStringLiteral("s,100,100,3;")))
        << source.ManuScript.toStdString();
    // A reference that finds nothing drops its statement.
    EXPECT_FALSE(source.ManuScript.contains(QStringLiteral("s,100,200")));
    EXPECT_EQ(source.Tr.Value(QStringLiteral("path")), u"Direct");
}

TEST_F(SourceTest, FaceIsFoundThroughTheDefaultSheetFolder)
{
    const QString sheet = vorlix::shell::iniInit::DefaultSheetFolder();
    writeFileBytes(sheet + QStringLiteral("bill.fae"),
        vorlix::shell::toCp932(QStringLiteral("s,100,100,$name;\r\n")));
    Source source;
    source.setText(QStringLiteral(
        "<?xml ?><TZQ_002><face>bill.fae</face><name>株式会社テスト</name></TZQ_002>"));
    source.FileType = 3;
    vorlix::test::LogCapture log;
    ASSERT_TRUE(source.SrcMerg(source.Text()));
    EXPECT_TRUE(source.ManuScript.contains(QStringLiteral("株式会社テスト")));
    EXPECT_EQ(source.Tr.Value(QStringLiteral("path")), u"Default");
    EXPECT_EQ(source.Tr.Value(QStringLiteral("dir")), sheet);
    EXPECT_TRUE(log.lines().contains(QStringLiteral("Source/SeScPath>SheetPath=") + sheet));
}

TEST_F(SourceTest, FaceMissingEverywhereGivesTheFailurePage)
{
    Source source;
    source.setText(
        QStringLiteral("<?xml ?><TZQ_002><face>gone.fae</face><path>Nope</path></TZQ_002>"));
    source.FileType = 3;
    vorlix::test::LogCapture log;
    ASSERT_TRUE(source.SrcMerg(source.Text()));
    EXPECT_TRUE(source.fFaceMissing);
    EXPECT_TRUE(source.ManuScript.contains(QStringLiteral("ァイルの読み込みが失敗しました")));
    const QStringList lines = log.lines();
    auto has = [&](const QString& start) {
        return std::any_of(
            lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(start); });
    };
    EXPECT_TRUE(has(QStringLiteral("Source/Mergeup>１回目のファイルの読み込みが失敗しました")));
    EXPECT_TRUE(has(QStringLiteral("Source/Mergeup>２回目のファイルの読み込みが失敗しました")));
    EXPECT_TRUE(has(QStringLiteral("Source/Mergeup>ァイルの読み込みが失敗しました")));
}

TEST_F(SourceTest, ArgumentsOverrideFaceAndSheet)
{
    QDir().mkpath(env.root() + QStringLiteral("/forms"));
    writeFileBytes(
        env.root() + QStringLiteral("/forms/other.fae"), QByteArray("s,1,1,\"other\";\r\n"));
    moduleState().SettingsFile->SetString(
        QStringLiteral("sheet"), QStringLiteral("Forms"), env.root() + QStringLiteral("/forms/"));
    moduleState().ArgFaceFile = QStringLiteral("other.fae");
    moduleState().ArgSheetPath = QStringLiteral("Forms");
    Source source;
    source.setText(
        QStringLiteral("<?xml ?><TZQ_002><face>bill.fae</face><path>CurDir</path></TZQ_002>"));
    source.FileType = 3;
    ASSERT_TRUE(source.SrcMerg(source.Text()));
    EXPECT_TRUE(source.ManuScript.contains(QStringLiteral("\"other\"")));
}

TEST_F(SourceTest, DataDocumentErrorIsReportedWithItsPosition)
{
    Source source;
    source.setText(QStringLiteral("no declaration here"));
    source.FileType = 3;
    EXPECT_FALSE(source.SrcMerg(source.Text()));
    EXPECT_TRUE(source.fError || source.fWarning);
    EXPECT_FALSE(source.fTagOn);
    EXPECT_FALSE(source.sErrMsg.isEmpty());
}

TEST_F(SourceTest, CaretOperations)
{
    Source source;
    StringEditor editor;
    PictureBox box;
    source.SetObject(&editor, &box);
    editor.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    source.setPLT(7); // inside "two"
    EXPECT_EQ(source.DefaultLine(), u"two");
    EXPECT_EQ(source.PLT(), 5);
    EXPECT_EQ(editor.selectionLength(), 3);
    source.prevPLT();
    EXPECT_EQ(source.PLT(), 0);
    source.nextPLT();
    EXPECT_EQ(source.PLT(), 5);
    source.setPLT(12); // inside the last line, which has no CR LF after it
    source.nextPLT();
    EXPECT_EQ(editor.text(), u"one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(source.PLT(), editor.text().size());
    source.setPLT(7);
    source.AddItem(QStringLiteral("x"));
    EXPECT_EQ(editor.text(), u"one\r\nx\r\ntwo\r\nthree\r\n");
    source.topPLT();
    EXPECT_EQ(source.PLT(), 0);
}

// A data document of numbered records and a face that prints each record's number on its page.
QString recordsDocument(int records)
{
    QString text = QStringLiteral("<?xml ?><TZQ_002><face>numbers.fae</face><path>CurDir</path>");
    for (int i = 1; i <= records; ++i)
        text += QStringLiteral("<piece><n>%1</n></piece>").arg(i);
    return text + QStringLiteral("</TZQ_002>");
}

TEST_F(SourceTest, PreviewShowsPageOneForAPageBeyondTheDocument)
{
    file(QStringLiteral("numbers.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;\r\npiece;\r\ns,100,100,$n;\r\n"));
    Source source;
    StringEditor editor;
    PictureBox box;
    source.SetObject(&editor, &box);
    EXPECT_NEAR(box.boxWidth, 2100 * 5.67, 0.01);
    source.setPicRatio(2.0);
    EXPECT_NEAR(box.boxWidth, 2 * 2100 * 5.67, 0.01);
    source.setPicRatio(1.0);
    source.setText(recordsDocument(2));
    source.FileType = 3;
    source.PreView(1);
    ASSERT_TRUE(source.fMaScOn);
    ASSERT_EQ(source.Page, 2);
    ASSERT_TRUE(box.picture);
    const QString first = box.picture->dump();
    source.PageView(2, false);
    EXPECT_NE(box.picture->dump(), first);
    source.PageView(99, false);
    EXPECT_EQ(box.picture->dump(), first);
}

// Prints into a PDF instead of a printer and counts its pages with pdfinfo.
int pdfPages(const QString& path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), { path });
    info.waitForFinished(30000);
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    for (const QString& line : out.split(u'\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

TEST_F(SourceTest, CopiesGoIntoOneJobAndRangesLimitThePages)
{
    const QString pdf = env.root() + QStringLiteral("/out.pdf");
    vorlix::render::PrinterObject::current().setExportFile(pdf);
    moduleState().ArgCopies = 2;
    moduleState().ArgPages = QStringLiteral("2,3");
    file(QStringLiteral("numbers.fae"), QStringLiteral("piece;\r\ns,100,100,$n;\r\n"));
    Source source;
    source.setText(recordsDocument(3));
    source.FileType = 3;
    ASSERT_TRUE(source.DocPrint());
    EXPECT_EQ(pdfPages(pdf), 4);
}

TEST_F(SourceTest, InterpreterErrorStopsFurtherCopies)
{
    const QString pdf = env.root() + QStringLiteral("/err.pdf");
    vorlix::render::PrinterObject::current().setExportFile(pdf);
    moduleState().ArgCopies = 3;
    Source source;
    source.setText(QStringLiteral("h,1,x,1;s,100,100,\"after\";out;"));
    source.FileType = 1;
    EXPECT_FALSE(source.DocPrint());
    EXPECT_TRUE(source.fInterpreterProblem);
    // The page with its diagnostics is still written, once.
    EXPECT_EQ(pdfPages(pdf), 1);
}

}
