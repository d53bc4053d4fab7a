#include "window/FileCommands.h"

#include "shell/CodePage.h"
#include "tests/app/SourceTestSupport.h"
#include "tests/window/WindowTestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using vorlix::document::Source;
using vorlix::test::readFileBytes;
using vorlix::test::writeFileBytes;
using vorlix::window::FileCommands;
using vorlix::window::SaveQuestion;

constexpr int Yes = 6;
constexpr int No = 7;
constexpr int Cancel = 2;

const QString kOverwriteQuestion
    = QStringLiteral("ソースリストが変更されています\r\n上書き保存しますか？");
const QString kSaveAsQuestion
    = QStringLiteral("ソースリストが変更されています\r\n名前を付けて保存しますか？");

// The file commands over a source document with a plain editor, an edited face program open,
// and a record of what the window was asked to do.
class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeFileBytes(w.path("a.fae"), "s,100,100,\"A\";\r\n");
        writeFileBytes(w.path("b.fae"), "s,100,100,\"B\";\r\n");
        source().SetObject(&editor, &picture);
        source().setFileName(w.path("a.fae"));
        ASSERT_TRUE(source().InBuff(false));
        source().setFileDialog([this](bool save) {
            ++saveDialogs;
            return save ? saveAsName : QString();
        });
        commands = std::make_unique<FileCommands>(source(),
            FileCommands::Host { [this] { ++renders; }, [this] { ++titles; },
                [this] {
                    ++openDialogs;
                    return openName;
                },
                [this] { ++clears; } });
    }

    Source& source() { return *w.source; }

    void edit(const QString& text)
    {
        editor.setText(text);
        source().fFileEdit = true;
    }

    vorlix::test::WindowEnvironment w;
    vorlix::test::ScriptedMessages messages;
    vorlix::test::StringEditor editor;
    vorlix::test::PictureBox picture;
    std::unique_ptr<FileCommands> commands;
    QString openName;
    QString saveAsName;
    int renders = 0;
    int titles = 0;
    int openDialogs = 0;
    int saveDialogs = 0;
    int clears = 0;
};

TEST_F(FileCommandsTest, QuestionTextsAndAnswersFollowTheTable)
{
    EXPECT_EQ(SaveQuestion::question(vorlix::window::FileCommand::Reload),
        QStringLiteral("名前を付けて保存しますか？"));
    EXPECT_EQ(SaveQuestion::question(vorlix::window::FileCommand::Open),
        QStringLiteral("上書き保存しますか？"));
    EXPECT_EQ(SaveQuestion::ConfirmSave(false, QStringLiteral("q")), SaveQuestion::NotEdited);
    EXPECT_TRUE(messages.prompts.isEmpty());
    messages.answers = { Yes, No, Cancel };
    EXPECT_EQ(SaveQuestion::ConfirmSave(true, QStringLiteral("q")), SaveQuestion::Yes);
    EXPECT_EQ(SaveQuestion::ConfirmSave(true, QStringLiteral("q")), SaveQuestion::No);
    EXPECT_EQ(SaveQuestion::ConfirmSave(true, QStringLiteral("q")), SaveQuestion::Cancel);
    EXPECT_EQ(messages.prompts.value(0), QStringLiteral("ソースリストが変更されています\r\nq"));
    EXPECT_EQ(messages.styles.at(0), 35);
}

TEST_F(FileCommandsTest, NewAnswersYesNoCancelAndUnedited)
{
    edit(QStringLiteral("edited A"));
    messages.answers = { Cancel };
    commands->newFile(Source::FaceProgram);
    EXPECT_EQ(source().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(source().FileName(), w.path("a.fae"));

    messages.answers = { Yes };
    commands->newFile(Source::DataDocument);
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("edited A"));
    EXPECT_EQ(source().FileName(), QStringLiteral("newfile.mnd"));
    EXPECT_TRUE(source().Text().contains(QStringLiteral("<TZQ_002>")));
    EXPECT_FALSE(source().fFileEdit);
    EXPECT_EQ(messages.prompts, QStringList({ kOverwriteQuestion, kOverwriteQuestion }));

    edit(QStringLiteral("edited new"));
    source().setFileName(w.path("a.fae"));
    messages.answers = { No };
    commands->newFile(Source::FaceProgram);
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("edited A"));
    EXPECT_EQ(source().FileName(), QStringLiteral("newfile.fae"));

    // Not edited: no question at all.
    commands->newFile(Source::DataDocument);
    EXPECT_EQ(messages.prompts.size(), 3);
    EXPECT_EQ(source().FileName(), QStringLiteral("newfile.mnd"));
    EXPECT_EQ(clears, 3);
}

TEST_F(FileCommandsTest, CancelOnOpenLeavesDocumentAndViewUntouched)
{
    edit(QStringLiteral("edited A"));
    openName = w.path("b.fae");
    messages.answers = { Cancel };
    commands->open();
    EXPECT_EQ(openDialogs, 0);
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(source().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(source().FileName(), w.path("a.fae"));
    EXPECT_TRUE(source().fFileEdit);
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("s,100,100,\"A\";\r\n"));
}

TEST_F(FileCommandsTest, OpenSavesOnYesAndDiscardsOnNo)
{
    edit(QStringLiteral("edited A"));
    openName = w.path("b.fae");
    messages.answers = { Yes };
    commands->open();
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("edited A"));
    EXPECT_EQ(source().FileName(), w.path("b.fae"));
    EXPECT_EQ(source().Text(), QStringLiteral("s,100,100,\"B\";\r\n"));
    EXPECT_EQ(renders, 1);

    edit(QStringLiteral("edited B"));
    openName = w.path("a.fae");
    messages.answers = { No };
    commands->open();
    EXPECT_EQ(readFileBytes(w.path("b.fae")), QByteArray("s,100,100,\"B\";\r\n"));
    EXPECT_EQ(source().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(renders, 2);
}

TEST_F(FileCommandsTest, CancelledOpenDialogKeepsTheDocumentAndItsName)
{
    edit(QStringLiteral("edited A"));
    messages.answers = { No };
    openName.clear();
    commands->open();
    EXPECT_EQ(openDialogs, 1);
    EXPECT_EQ(source().FileName(), w.path("a.fae"));
    EXPECT_EQ(source().FileType, Source::FaceProgram);
    EXPECT_EQ(source().Text(), QStringLiteral("edited A"));
    EXPECT_TRUE(source().fFileEdit);
    EXPECT_EQ(renders, 0);
}

TEST_F(FileCommandsTest, ReloadAsksToSaveUnderANewName)
{
    edit(QStringLiteral("edited A"));
    messages.answers = { Cancel };
    commands->reload();
    EXPECT_EQ(messages.prompts.value(0), kSaveAsQuestion);
    EXPECT_EQ(source().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(renders, 0);

    // No: the file is read again and the edit is gone.
    messages.answers = { No };
    commands->reload();
    EXPECT_EQ(source().Text(), QStringLiteral("s,100,100,\"A\";\r\n"));
    EXPECT_EQ(renders, 1);

    // Yes: saved under the chosen name, which is then read.
    edit(QStringLiteral("edited again"));
    saveAsName = w.path("copy.fae");
    messages.answers = { Yes };
    commands->reload();
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_EQ(readFileBytes(w.path("copy.fae")), QByteArray("edited again"));
    EXPECT_EQ(source().FileName(), w.path("copy.fae"));
    EXPECT_EQ(source().Text(), QStringLiteral("edited again"));
    EXPECT_EQ(renders, 2);
}

TEST_F(FileCommandsTest, ReloadOfADeletedFileKeepsTheText)
{
    edit(QStringLiteral("edited A"));
    QFile::remove(w.path("a.fae"));
    messages.answers = { No };
    commands->reload();
    EXPECT_EQ(source().Text(), QStringLiteral("edited A"));
    EXPECT_TRUE(source().fFileEdit);
    ASSERT_EQ(messages.prompts.size(), 2);
    EXPECT_EQ(messages.prompts.at(1), w.path("a.fae") + QStringLiteral("\r\nファイルがありません"));
    EXPECT_EQ(renders, 0);
}

TEST_F(FileCommandsTest, ExitAsksOnlyWhenEdited)
{
    EXPECT_TRUE(commands->queryClose());
    EXPECT_TRUE(messages.prompts.isEmpty());

    edit(QStringLiteral("edited A"));
    messages.answers = { Cancel };
    EXPECT_FALSE(commands->queryClose());
    messages.answers = { No };
    EXPECT_TRUE(commands->queryClose());
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("s,100,100,\"A\";\r\n"));
    messages.answers = { Yes };
    EXPECT_TRUE(commands->queryClose());
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("edited A"));
}

TEST_F(FileCommandsTest, ASaveThatFailsKeepsTheDocumentEditedAndTheWindowOpen)
{
    QDir().mkpath(w.path("locked"));
    edit(QStringLiteral("precious"));
    // A folder where the file should be: nothing can be written.
    source().setFileName(w.path("locked"));
    EXPECT_FALSE(commands->overwrite());
    EXPECT_TRUE(source().fFileEdit);
    messages.answers = { Yes };
    EXPECT_FALSE(commands->queryClose());
    EXPECT_EQ(source().Text(), QStringLiteral("precious"));
}

TEST_F(FileCommandsTest, NameBoxOpensTheTypedNameOrSaysWhyNot)
{
    edit(QStringLiteral("edited A"));
    commands->openName(w.path("missing.fae"));
    commands->openName(w.env.root());
    ASSERT_EQ(messages.prompts.size(), 2);
    EXPECT_TRUE(messages.prompts.at(0).endsWith(QStringLiteral("ファイルがありません")));
    EXPECT_TRUE(messages.prompts.at(1).endsWith(
        QStringLiteral("フォルダです。ファイルを指定してください")));
    EXPECT_EQ(messages.styles.at(0), 64);
    EXPECT_EQ(source().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(source().FileName(), w.path("a.fae"));

    messages.answers = { No };
    commands->openName(QStringLiteral("  ") + w.path("b.fae") + QStringLiteral(" "));
    EXPECT_EQ(source().FileName(), w.path("b.fae"));
    EXPECT_EQ(source().Text(), QStringLiteral("s,100,100,\"B\";\r\n"));
    EXPECT_EQ(renders, 1);
}

TEST_F(FileCommandsTest, SavingKeepsTheEncodingTheFileWasReadIn)
{
    // A UTF-8 file whose text would also fit CP932 stays UTF-8; a CP932 file stays CP932.
    writeFileBytes(w.path("u.fae"), QStringLiteral("s,1,1,\"請求\";").toUtf8());
    source().setFileName(w.path("u.fae"));
    ASSERT_TRUE(source().InBuff(false));
    edit(source().Text() + QStringLiteral("#済"));
    ASSERT_TRUE(commands->overwrite());
    EXPECT_EQ(readFileBytes(w.path("u.fae")), QStringLiteral("s,1,1,\"請求\";#済").toUtf8());

    writeFileBytes(w.path("s.fae"), vorlix::shell::toCp932(QStringLiteral("s,1,1,\"請求\";")));
    source().setFileName(w.path("s.fae"));
    ASSERT_TRUE(source().InBuff(false));
    edit(source().Text() + QStringLiteral("#済"));
    ASSERT_TRUE(commands->overwrite());
    EXPECT_EQ(readFileBytes(w.path("s.fae")),
        vorlix::shell::toCp932(QStringLiteral("s,1,1,\"請求\";#済")));
}

}
