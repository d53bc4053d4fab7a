#include "window/FileCommands.h"

#include "shell/CodePage.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/window/WindowTestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using vorlix::document::SourceFile;
using FileTypes = vorlix::document::SourceFile::FileTypes;
using vorlix::test::readFileBytes;
using vorlix::test::writeFileBytes;
using vorlix::window::FileCommands;
using vorlix::window::SaveQuestion;

using enum vorlix::test::Answer;

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
        w.source->SetObject(&editor, &picture);
        file().setFileName(w.path("a.fae"));
        ASSERT_TRUE(file().InBuff(false));
        file().setFileDialog([this](bool save) {
            ++saveDialogs;
            return save ? saveAsName : QString();
        });
        commands = std::make_unique<FileCommands>(file(),
            FileCommands::Host { [this] { ++renders; }, [this] { ++titles; },
                [this] {
                    ++openDialogs;
                    return openName;
                },
                [this] { ++clears; } });
    }

    SourceFile& file() { return w.source->document(); }
    QStringList prompts() const { return vorlix::test::promptTexts(messages); }

    void edit(const QString& text)
    {
        editor.setText(text);
        file().fFileEdit = true;
    }

    vorlix::test::WindowEnvironment w;
    vorlix::test::MessageRecorder messages { Cancel };
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
    EXPECT_TRUE(prompts().isEmpty());
    messages.answers = { Yes, No, Cancel };
    EXPECT_EQ(SaveQuestion::ConfirmSave(true, QStringLiteral("q")), SaveQuestion::Yes);
    EXPECT_EQ(SaveQuestion::ConfirmSave(true, QStringLiteral("q")), SaveQuestion::No);
    EXPECT_EQ(SaveQuestion::ConfirmSave(true, QStringLiteral("q")), SaveQuestion::Cancel);
    EXPECT_EQ(prompts().value(0), QStringLiteral("ソースリストが変更されています\r\nq"));
    EXPECT_EQ(messages.prompts.at(0).style, 35);
}

TEST_F(FileCommandsTest, NewAnswersYesNoCancelAndUnedited)
{
    edit(QStringLiteral("edited A"));
    messages.answers = { Cancel };
    commands->newFile(FileTypes::FaceProgram);
    EXPECT_EQ(file().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(file().FileName(), w.path("a.fae"));

    messages.answers = { Yes };
    commands->newFile(FileTypes::DataDocument);
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("edited A"));
    EXPECT_EQ(file().FileName(), QStringLiteral("newfile.mnd"));
    EXPECT_TRUE(file().Text().contains(QStringLiteral("<TZQ_002>")));
    EXPECT_FALSE(file().fFileEdit);
    EXPECT_EQ(prompts(), QStringList({ kOverwriteQuestion, kOverwriteQuestion }));

    edit(QStringLiteral("edited new"));
    file().setFileName(w.path("a.fae"));
    messages.answers = { No };
    commands->newFile(FileTypes::FaceProgram);
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("edited A"));
    EXPECT_EQ(file().FileName(), QStringLiteral("newfile.fae"));

    // Not edited: no question at all.
    commands->newFile(FileTypes::DataDocument);
    EXPECT_EQ(prompts().size(), 3);
    EXPECT_EQ(file().FileName(), QStringLiteral("newfile.mnd"));
    EXPECT_EQ(clears, 3);
}

// A new document's name is only a suggestion: "上書き保存" and "はい" before New, Open or Exit
// ask for a name, so that a second new document never replaces the first's file unasked; a
// cancelled dialog saves nothing and the command stops. Once named, a save overwrites.
TEST_F(FileCommandsTest, AnUnnamedDocumentIsSavedThroughTheDialog)
{
    writeFileBytes(w.path("newfile.fae"), "the first new document");
    commands->newFile(FileTypes::FaceProgram);
    edit(QStringLiteral("second"));
    EXPECT_FALSE(commands->overwrite());
    EXPECT_EQ(saveDialogs, 1);
    messages.answers = { Yes };
    EXPECT_FALSE(commands->queryClose());
    EXPECT_EQ(saveDialogs, 2);
    messages.answers = { Yes };
    commands->newFile(FileTypes::DataDocument);
    EXPECT_EQ(saveDialogs, 3);
    EXPECT_EQ(file().Text(), QStringLiteral("second"));
    EXPECT_EQ(readFileBytes(w.path("newfile.fae")), QByteArray("the first new document"));

    // The name chosen is another existing file: it is replaced only when the user agrees.
    saveAsName = w.path("b.fae");
    messages.answers = { No };
    EXPECT_FALSE(commands->overwrite());
    EXPECT_EQ(readFileBytes(w.path("b.fae")), QByteArray("s,100,100,\"B\";\r\n"));
    saveAsName = w.path("second.fae");
    EXPECT_TRUE(commands->overwrite());
    EXPECT_EQ(saveDialogs, 5);
    edit(QStringLiteral("second, edited"));
    EXPECT_TRUE(commands->overwrite());
    EXPECT_EQ(saveDialogs, 5);
    EXPECT_EQ(readFileBytes(w.path("second.fae")), QByteArray("second, edited"));
}

TEST_F(FileCommandsTest, CancelOnOpenLeavesDocumentAndViewUntouched)
{
    edit(QStringLiteral("edited A"));
    openName = w.path("b.fae");
    messages.answers = { Cancel };
    commands->open();
    EXPECT_EQ(openDialogs, 0);
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(file().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(file().FileName(), w.path("a.fae"));
    EXPECT_TRUE(file().fFileEdit);
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("s,100,100,\"A\";\r\n"));
}

TEST_F(FileCommandsTest, OpenSavesOnYesAndDiscardsOnNo)
{
    edit(QStringLiteral("edited A"));
    openName = w.path("b.fae");
    messages.answers = { Yes };
    commands->open();
    EXPECT_EQ(readFileBytes(w.path("a.fae")), QByteArray("edited A"));
    EXPECT_EQ(file().FileName(), w.path("b.fae"));
    EXPECT_EQ(file().Text(), QStringLiteral("s,100,100,\"B\";\r\n"));
    EXPECT_EQ(renders, 1);

    edit(QStringLiteral("edited B"));
    openName = w.path("a.fae");
    messages.answers = { No };
    commands->open();
    EXPECT_EQ(readFileBytes(w.path("b.fae")), QByteArray("s,100,100,\"B\";\r\n"));
    EXPECT_EQ(file().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(renders, 2);
}

TEST_F(FileCommandsTest, CancelledOpenDialogKeepsTheDocumentAndItsName)
{
    edit(QStringLiteral("edited A"));
    messages.answers = { No };
    openName.clear();
    commands->open();
    EXPECT_EQ(openDialogs, 1);
    EXPECT_EQ(file().FileName(), w.path("a.fae"));
    EXPECT_EQ(file().FileType, FileTypes::FaceProgram);
    EXPECT_EQ(file().Text(), QStringLiteral("edited A"));
    EXPECT_TRUE(file().fFileEdit);
    EXPECT_EQ(renders, 0);
}

TEST_F(FileCommandsTest, ReloadAsksToSaveUnderANewName)
{
    edit(QStringLiteral("edited A"));
    messages.answers = { Cancel };
    commands->reload();
    EXPECT_EQ(prompts().value(0), kSaveAsQuestion);
    EXPECT_EQ(file().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(renders, 0);

    // No: the file is read again and the edit is gone.
    messages.answers = { No };
    commands->reload();
    EXPECT_EQ(file().Text(), QStringLiteral("s,100,100,\"A\";\r\n"));
    EXPECT_EQ(renders, 1);

    // Yes: saved under the chosen name, which is then read.
    edit(QStringLiteral("edited again"));
    saveAsName = w.path("copy.fae");
    messages.answers = { Yes };
    commands->reload();
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_EQ(readFileBytes(w.path("copy.fae")), QByteArray("edited again"));
    EXPECT_EQ(file().FileName(), w.path("copy.fae"));
    EXPECT_EQ(file().Text(), QStringLiteral("edited again"));
    EXPECT_EQ(renders, 2);
}

TEST_F(FileCommandsTest, ReloadOfADeletedFileKeepsTheText)
{
    edit(QStringLiteral("edited A"));
    QFile::remove(w.path("a.fae"));
    messages.answers = { No };
    commands->reload();
    EXPECT_EQ(file().Text(), QStringLiteral("edited A"));
    EXPECT_TRUE(file().fFileEdit);
    ASSERT_EQ(prompts().size(), 2);
    EXPECT_EQ(prompts().at(1),
        SourceFile::cannotOpenMessage(w.path("a.fae"), QStringLiteral("ファイルが見つかりません")));
    EXPECT_EQ(renders, 0);
}

TEST_F(FileCommandsTest, ExitAsksOnlyWhenEdited)
{
    EXPECT_TRUE(commands->queryClose());
    EXPECT_TRUE(prompts().isEmpty());

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
    file().setFileName(w.path("locked"));
    EXPECT_FALSE(commands->overwrite());
    EXPECT_TRUE(file().fFileEdit);
    messages.answers = { Yes };
    EXPECT_FALSE(commands->queryClose());
    EXPECT_EQ(file().Text(), QStringLiteral("precious"));
}

TEST_F(FileCommandsTest, NameBoxOpensTheTypedNameOrSaysWhyNot)
{
    edit(QStringLiteral("edited A"));
    commands->openName(w.path("missing.fae"));
    commands->openName(w.env.root());
    ASSERT_EQ(prompts().size(), 2);
    EXPECT_TRUE(prompts().at(0).endsWith(QStringLiteral("ファイルが見つかりません")));
    EXPECT_TRUE(
        prompts().at(1).endsWith(QStringLiteral("フォルダです。ファイルを指定してください")));
    EXPECT_EQ(messages.prompts.at(0).style, 64);
    EXPECT_EQ(file().Text(), QStringLiteral("edited A"));
    EXPECT_EQ(file().FileName(), w.path("a.fae"));

    messages.answers = { No };
    commands->openName(QStringLiteral("  ") + w.path("b.fae") + QStringLiteral(" "));
    EXPECT_EQ(file().FileName(), w.path("b.fae"));
    EXPECT_EQ(file().Text(), QStringLiteral("s,100,100,\"B\";\r\n"));
    EXPECT_EQ(renders, 1);
}

TEST_F(FileCommandsTest, SavingKeepsTheEncodingTheFileWasReadIn)
{
    // A UTF-8 file whose text would also fit CP932 stays UTF-8; a CP932 file stays CP932.
    writeFileBytes(w.path("u.fae"), QStringLiteral("s,1,1,\"請求\";").toUtf8());
    file().setFileName(w.path("u.fae"));
    ASSERT_TRUE(file().InBuff(false));
    edit(file().Text() + QStringLiteral("#済"));
    ASSERT_TRUE(commands->overwrite());
    EXPECT_EQ(readFileBytes(w.path("u.fae")), QStringLiteral("s,1,1,\"請求\";#済").toUtf8());

    writeFileBytes(w.path("s.fae"), vorlix::shell::toCp932(QStringLiteral("s,1,1,\"請求\";")));
    file().setFileName(w.path("s.fae"));
    ASSERT_TRUE(file().InBuff(false));
    edit(file().Text() + QStringLiteral("#済"));
    ASSERT_TRUE(commands->overwrite());
    EXPECT_EQ(readFileBytes(w.path("s.fae")),
        vorlix::shell::toCp932(QStringLiteral("s,1,1,\"請求\";#済")));
}

}
