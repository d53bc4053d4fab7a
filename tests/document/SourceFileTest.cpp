#include "document/SourceFile.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/MessageRecorder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

// A file that cannot be read gives one message, naming the file and why; the text stays.
TEST_F(SourceFileTest, AFileThatCannotBeReadIsNamedWithTheReasonInOneMessage)
{
    vorlix::test::HttpTestServer server(
        vorlix::test::HttpTestServer::sendAndClose("HTTP/1.0 404 Not Found\r\n\r\ngone"));
    const QString fifo = env.root() + QStringLiteral("/pipe.fae");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        QString name;
        QString reason;
    };
    const Case cases[] = {
        { env.root() + QStringLiteral("/nothing.mnd"), QStringLiteral("ファイルが見つかりません") },
        { fifo, QStringLiteral("通常のファイルではありません") },
        { QStringLiteral("http://%1/gone.mnd").arg(server.host()),
            QStringLiteral("サーバーの答え: HTTP 404") },
        { QStringLiteral("http://127.0.0.1:%1/x.mnd")
                .arg(vorlix::test::HttpTestServer::closedPort()),
            QStringLiteral("サーバーから答えがありません") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        SourceFile document;
        document.setText(QStringLiteral("kept"));
        document.setFileName(c.name);
        vorlix::test::MessageRecorder messages;
        EXPECT_FALSE(document.InBuff(false));
        EXPECT_EQ(document.Text(), u"kept");
        ASSERT_EQ(messages.prompts.size(), 1u);
        EXPECT_EQ(messages.prompts[0].text, SourceFile::cannotOpenMessage(c.name, c.reason));
        EXPECT_EQ(messages.prompts[0].style, 64);
        EXPECT_FALSE(messages.prompts[0].caption.endsWith(QStringLiteral("/GeneFile")));
    }
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

// A save writes the lines back with the ends they were read with, and never leaves Shift_JIS
// unasked: a text it cannot hold is saved in UTF-8 only on "はい"; "いいえ" saves nothing and
// selects the character.
TEST_F(SourceFileTest, ASaveKeepsLineEndsAndAsksBeforeLeavingShiftJis)
{
    struct Case {
        const char* name;
        QByteArray file;
        QString edited;
        int answer;
        QByteArray written; // empty: the file is left as it was
        QString question; // the start of the question, empty for none
        int selected; // the selection's start after the save, -1 for none
    };
    const QString euro = QStringLiteral("s,1,1,\"1€\";");
    const Case cases[] = {
        { "LF", "h,1,1,1;\nv,1,1,1;\n", QStringLiteral("h,2,2,2;\r\nv,1,1,1;\r\n"), 0,
            "h,2,2,2;\nv,1,1,1;\n", {}, -1 },
        { "CR LF", "h,1,1,1;\r\nv,1,1,1;\r\n", QStringLiteral("h,2,2,2;\r\nv,1,1,1;\r\n"), 0,
            "h,2,2,2;\r\nv,1,1,1;\r\n", {}, -1 },
        { "CR", "h,1,1,1;\rv,1,1,1;\r", QStringLiteral("h,2,2,2;\r\nv,1,1,1;\r\n"), 0,
            "h,2,2,2;\rv,1,1,1;\r", {}, -1 },
        { "euro, no", "h,1,1,1;\r\n", QStringLiteral("h,1,1,1;\r\n") + euro, 7, {},
            QStringLiteral("2 行目の「€」(U+20AC) は Shift_JIS で保存できません。"), 18 },
        { "euro, yes", "h,1,1,1;\r\n", QStringLiteral("h,1,1,1;\r\n") + euro, 6,
            (QStringLiteral("h,1,1,1;\r\n") + euro).toUtf8(),
            QStringLiteral("2 行目の「€」(U+20AC)"), -1 },
        { "kana read as UTF-8", "h,1,1,1;", QStringLiteral("#ﾃｱ"), 6,
            QStringLiteral("#ﾃｱ").toUtf8(), QStringLiteral("この内容を Shift_JIS で保存すると"),
            -1 },
        { "UTF-8 file", QStringLiteral("#請求\n").toUtf8(), QStringLiteral("#請求\r\n") + euro, 0,
            (QStringLiteral("#請求\n") + euro).toUtf8(), {}, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = env.root() + QStringLiteral("/keep.fae");
        vorlix::test::writeFileBytes(path, c.file);
        vorlix::test::StringEditor editor;
        SourceFile document;
        document.setEditor(&editor);
        document.setFileName(path);
        ASSERT_TRUE(document.InBuff(false));
        editor.setText(c.edited);
        editor.setSelectionStart(0);
        document.fFileEdit = true;
        vorlix::test::MessageRecorder messages(c.answer);
        EXPECT_EQ(document.OutBuff(false, false), !c.written.isEmpty());
        EXPECT_EQ(readFileBytes(path), c.written.isEmpty() ? c.file : c.written);
        EXPECT_EQ(document.fFileEdit, c.written.isEmpty());
        ASSERT_EQ(messages.prompts.size(), c.question.isEmpty() ? 0u : 1u);
        if (!c.question.isEmpty()) {
            EXPECT_TRUE(messages.prompts[0].text.startsWith(c.question))
                << messages.prompts[0].text.toStdString();
            EXPECT_EQ(messages.prompts[0].style, 36);
        }
        EXPECT_EQ(editor.selectionStart(), std::max(0, c.selected));
        EXPECT_EQ(editor.selectionLength(), c.selected < 0 ? 0 : 1);
    }
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
