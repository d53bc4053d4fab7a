#include "document/SourceFile.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

using vorlix::document::SourceFile;
using vorlix::test::readFileBytes;
using FileTypes = SourceFile::FileTypes;

class SourceFileTest : public vorlix::test::SourceFixture { };

TEST(SourceFileStatic, FileTypesByExtension)
{
    EXPECT_EQ(SourceFile::fileTypeOf(QStringLiteral("bill.fae")), FileTypes::FaceProgram);
    for (const char* data : { "DATA.XML", "a.Mnd", "/forms.v2/請求書.mnd" })
        EXPECT_EQ(SourceFile::fileTypeOf(QString::fromUtf8(data)), FileTypes::DataDocument) << data;
    for (const char* other : { "notes.txt", "README", "", "fae" })
        EXPECT_EQ(SourceFile::fileTypeOf(QString::fromUtf8(other)), FileTypes::OtherFile) << other;
}

TEST(SourceFileStatic, Templates)
{
    const QStringList face
        = SourceFile::faceTemplate(QStringLiteral("2026/12/07"), QStringLiteral("9:30"))
              .split(QStringLiteral("\r\n"));
    ASSERT_EQ(face.size(), 9);
    EXPECT_EQ(face[0], u"#2026/12/07 9:30");
    EXPECT_EQ(face[1], u"#newfile.fae");
    EXPECT_EQ(face[2], u"fs,1,\"ＭＳ 明朝\",9,0;");
    EXPECT_EQ(face[4], u"a,1,1;");
    EXPECT_EQ(face[7], u"o,210,130;");
    EXPECT_EQ(face[8], u"");
    const QString data = SourceFile::dataTemplate(QStringLiteral("d"), QStringLiteral("t"));
    EXPECT_TRUE(data.startsWith(QStringLiteral("<!-- d t -->\r\n<!-- newfile.mnd -->\r\n")));
    EXPECT_TRUE(
        data.contains(QStringLiteral("<?xml version=\"1.0\"  encoding=\"Shift_JIS\" ?>\r\n")));
    EXPECT_TRUE(data.endsWith(QStringLiteral(" <face>filename.fae</face>\r\n\r\n</TZQ_002> ")));
}

TEST_F(SourceFileTest, ReadsAFileTypesItAndTakesItsTitle)
{
    SourceFile document;
    QStringList titles;
    document.setTitleSink([&](const QString& title) { titles << title; });
    document.setFileName(file(QStringLiteral("請求.MND"),
        QStringLiteral("<?xml ?><TZQ_002><face>x.fae</face></TZQ_002>")));
    EXPECT_TRUE(document.InBuff(false));
    EXPECT_EQ(document.FileType, FileTypes::DataDocument);
    EXPECT_TRUE(document.Text().contains(u"x.fae"));
    EXPECT_EQ(titles, QStringList { "請求" });
    EXPECT_EQ(state->ApplicationTitle, u"請求");
    // The folder of the last open is where the next one starts.
    EXPECT_EQ(state->SettingsFile->GetString("general", "CurDir", "-"), env.root());
}

TEST_F(SourceFileTest, MissingFileCannotBeReadAndTellsTheUser)
{
    SourceFile document;
    document.setText(QStringLiteral("kept"));
    document.setFileName(env.root() + QStringLiteral("/nothing.mnd"));
    vorlix::test::MessageRecorder messages;
    EXPECT_FALSE(document.InBuff(false));
    EXPECT_EQ(document.FileType, FileTypes::DataDocument);
    EXPECT_EQ(document.Text(), u"kept");
    ASSERT_FALSE(messages.prompts.empty());
    EXPECT_EQ(messages.prompts.back().text, "ファイルが開けません");
    EXPECT_EQ(messages.prompts.back().style, 64);
}

TEST_F(SourceFileTest, CancelledOpenDialogLeavesTheTextButNoName)
{
    SourceFile document;
    document.setFileName(file(QStringLiteral("a.fae"), QStringLiteral("h,1,1,1;")));
    ASSERT_TRUE(document.InBuff(false));
    int asked = 0;
    document.setFileDialog([&](bool save) {
        EXPECT_FALSE(save);
        ++asked;
        return QString();
    });
    EXPECT_FALSE(document.InBuff(true));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(document.FileName().isEmpty());
    EXPECT_EQ(document.FileType, FileTypes::OtherFile);
    EXPECT_EQ(document.Text(), u"h,1,1,1;");
}

TEST_F(SourceFileTest, SavingWritesTheTextBackInTheFilesEncoding)
{
    const QString path = env.root() + QStringLiteral("/utf8.fae");
    vorlix::test::writeFileBytes(path, QStringLiteral("s,1,1,\"髙\";").toUtf8());
    SourceFile document;
    document.setFileName(path);
    ASSERT_TRUE(document.InBuff(false));
    EXPECT_EQ(document.encoding(), vorlix::shell::TextEncoding::Utf8);
    document.setText(QStringLiteral("s,1,1,\"①\";\r\n"));
    document.fFileEdit = true;
    EXPECT_TRUE(document.OutBuff(false, false));
    EXPECT_FALSE(document.fFileEdit);
    EXPECT_EQ(readFileBytes(path), QStringLiteral("s,1,1,\"①\";\r\n").toUtf8());

    // Save as: the dialog names a new file, which gets CP932 and its own type.
    document.setFileDialog([&](bool save) {
        EXPECT_TRUE(save);
        return env.root() + QStringLiteral("/copy.mnd");
    });
    EXPECT_TRUE(document.OutBuff(true, false));
    EXPECT_EQ(document.FileType, FileTypes::DataDocument);
    EXPECT_EQ(readFileBytes(env.root() + QStringLiteral("/copy.mnd")),
        vorlix::shell::toCp932(QStringLiteral("s,1,1,\"①\";\r\n")));
}

// A save that did not happen must not make the changes look saved, or closing the window would
// lose them without asking.
TEST_F(SourceFileTest, ChangesStayUnsavedWhenTheSaveDoesNotHappen)
{
    SourceFile document;
    document.setText(QStringLiteral("h,1,1,1;"));
    document.fFileEdit = true;
    document.setFileDialog([](bool) { return QString(); });
    EXPECT_FALSE(document.OutBuff(true, false));
    EXPECT_TRUE(document.fFileEdit);
    QDir().mkpath(env.root() + QStringLiteral("/folder.fae"));
    document.setFileDialog([&](bool) { return env.root() + QStringLiteral("/folder.fae"); });
    EXPECT_FALSE(document.OutBuff(true, false));
    EXPECT_TRUE(document.fFileEdit);
    document.setFileDialog([&](bool) { return env.root() + QStringLiteral("/saved.fae"); });
    EXPECT_TRUE(document.OutBuff(true, false));
    EXPECT_FALSE(document.fFileEdit);
    EXPECT_EQ(readFileBytes(env.root() + QStringLiteral("/saved.fae")), "h,1,1,1;");
}

TEST_F(SourceFileTest, NewDocumentsGoIntoTheEditorWithItsFontSize)
{
    vorlix::test::StringEditor editor;
    SourceFile document;
    document.setText(QStringLiteral("before the editor"));
    document.setEditor(&editor);
    EXPECT_EQ(editor.text(), u"before the editor");
    state->SettingsFile->SetString("menu", "fontsize", "14");
    document.Clear(FileTypes::DataDocument);
    EXPECT_EQ(document.FileName(), u"newfile.mnd");
    EXPECT_TRUE(editor.text().startsWith(u"<!-- "));
    EXPECT_TRUE(editor.text().endsWith(u"</TZQ_002> "));
    EXPECT_EQ(editor.fontSize, 14);
    document.Clear(FileTypes::OtherFile);
    EXPECT_EQ(document.FileName(), u"newfile.mnd");
    EXPECT_EQ(document.Text(), u"");
}

TEST_F(SourceFileTest, NewTextTellsWhoMadeSomethingOfTheOld)
{
    SourceFile document;
    int replaced = 0;
    document.setTextReplaced([&] { ++replaced; });
    document.setText(QStringLiteral("a"));
    document.Clear(FileTypes::FaceProgram);
    EXPECT_EQ(replaced, 2);
}

TEST_F(SourceFileTest, CommandLineTitleWinsOverTheDocumentsOwn)
{
    SourceFile document;
    document.SetDocTitle(QStringLiteral("見積書"));
    EXPECT_EQ(document.title(), u"見積書");
    EXPECT_EQ(document.savedTitle(), u"見積書");
    document.SetDocTitle(QString());
    EXPECT_EQ(document.title(), u"見積書");
    state.options().ArgTitle = QStringLiteral("請求書");
    document.SetDocTitle(QStringLiteral("見積書"));
    EXPECT_EQ(state->ApplicationTitle, u"請求書");
    // A title of the moment does not replace the file's own.
    document.setApplicationTitle(QStringLiteral("データの題"));
    EXPECT_EQ(document.title(), u"データの題");
    EXPECT_EQ(document.savedTitle(), u"請求書");
}

}
