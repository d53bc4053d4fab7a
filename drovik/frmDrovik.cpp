#include "drovik/frmDrovik.h"

#include "drovik/Downloader.h"
#include "drovik/SharedSettings.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/UserInterface.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace vorlix::drovik {

namespace {

    constexpr int kYesNoQuestion = 36;
    constexpr int kAnswerYes = 6;

    // What the window says before the first download: where the files come from and go to, and
    // that files of the same name are replaced.
    QStringList openingLines(const QString& settingsFile, const QString& sheetFolder)
    {
        return {
            QStringLiteral("初期化>") + settingsFile,
            QString(),
            QStringLiteral("接続先のサイトは上に表示されたところです"),
            QStringLiteral("取得したファイルは") + sheetFolder + QStringLiteral("に保存されます"),
            QStringLiteral("同名のファイルがある場合は無条件で上書きされますので、"),
            QStringLiteral("必要なファイルに付いては各自でバックアップをしてから実行して下さい"),
            QString(),
            QStringLiteral(
                "インターネットに接続した後、\"ダウンロード\"のボタンをクリックして下さい"),
            QStringLiteral("クリックするとダウンロードが始まります"),
            QString(),
        };
    }

}

frmDrovik::frmDrovik(QWidget* parent)
    : QWidget(parent)
    , Text1(new QLineEdit(this))
    , Text2(new QPlainTextEdit(this))
    , Command1(new QPushButton(QStringLiteral("ダウンロード"), this))
{
    setWindowTitle(QApplication::applicationName());
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2->setObjectName(QStringLiteral("Text2"));
    Command1->setObjectName(QStringLiteral("Command1"));
    // The transcript can be read, selected and copied, never typed into.
    Text2->setReadOnly(true);
    Text2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* address = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("URL:"), this);
    label->setBuddy(Text1);
    address->addWidget(label);
    address->addWidget(Text1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(address);
    layout->addWidget(Text2, 1);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    resize(560, 400);

    connect(Command1, &QPushButton::clicked, this, &frmDrovik::Command1_Click);
    Form_Load();
}

void frmDrovik::Form_Load()
{
    Text1->setText(SharedSettings::webFolder());
    m_sheetFolder = Downloader::sheetFolderOf(SharedSettings::sheetFolder());
    QDir().mkpath(m_sheetFolder);
    const auto& settings = shell::moduleState().SettingsFile;
    for (const QString& line : openingLines(settings ? settings->File() : QString(), m_sheetFolder))
        AddLine(line);
}

void frmDrovik::AddLine(const QString& text)
{
    QTextCursor cursor(Text2->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text + QStringLiteral("\r\n"));
    Text2->setTextCursor(cursor);
    Text2->ensureCursorVisible();
}

void frmDrovik::Command1_Click()
{
    // One run at a time: the progress and question windows run event loops of their own.
    Command1->setEnabled(false);
    Downloader downloader([this](const QString& line) { AddLine(line); },
        [](const QString& prompt) {
            return shell::ShowMessage(prompt, kYesNoQuestion) == kAnswerYes;
        });
    (void)downloader.run(Text1->text(), m_sheetFolder);
    Command1->setEnabled(true);
}

}
