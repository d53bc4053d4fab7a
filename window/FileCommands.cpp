#include "window/FileCommands.h"

#include "shell/UserInterface.h"

#include <QFileInfo>

namespace vorlix::window {

namespace {

    constexpr int InformationStyle = 64;

    void tell(const QString& name, const QString& why)
    {
        shell::ShowMessage(document::SourceFile::cannotOpenMessage(name, why), InformationStyle);
    }

}

FileCommands::FileCommands(document::SourceFile& file, Host host)
    : m_file(file)
    , m_host(std::move(host))
{
}

QString FileCommands::whyNotReadable(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("ファイル名がありません");
    if (name.startsWith(QStringLiteral("http:/"), Qt::CaseInsensitive))
        return {};
    const QFileInfo info(QString(name).replace(u'\\', u'/'));
    if (!info.exists())
        return QStringLiteral("ファイルが見つかりません");
    if (info.isDir())
        return QStringLiteral("フォルダです。ファイルを指定してください");
    if (!info.isReadable())
        return QStringLiteral("読み取りが許されていません");
    return {};
}

bool FileCommands::save(bool askName)
{
    // A save that did not reach the disk leaves the text marked as edited.
    const bool written = m_file.OutBuff(askName, askName);
    m_host.showTitle();
    return written;
}

bool FileCommands::askAndSave(FileCommand command)
{
    const auto answer
        = SaveQuestion::ConfirmSave(m_file.fFileEdit, SaveQuestion::question(command));
    const auto plan = SaveQuestion::plan(command, answer);
    if (!plan.proceed)
        return false;
    return !plan.save || save(plan.askName);
}

bool FileCommands::readFile(const QString& name)
{
    if (const QString why = whyNotReadable(name); !why.isEmpty()) {
        tell(name, why);
        return false;
    }
    const auto before = m_file.naming();
    m_file.setFileName(name);
    if (!m_file.InBuff(false)) {
        // Reading failed after the checks (a web file, a file gone meanwhile): the text was not
        // replaced, so the name, type, mark and title go back to the document's.
        m_file.restoreNaming(before);
        m_host.showTitle();
        return false;
    }
    m_host.showTitle();
    m_host.render();
    return true;
}

void FileCommands::newFile(document::SourceFile::FileTypes type)
{
    if (!askAndSave(FileCommand::New))
        return;
    m_file.Clear(type);
    m_host.clearPreview();
    m_host.showTitle();
}

void FileCommands::open()
{
    if (!askAndSave(FileCommand::Open))
        return;
    // The name is chosen before anything changes: a cancelled dialog leaves the document whole.
    const QString name = m_host.chooseOpenFile();
    if (!name.isEmpty())
        readFile(name);
}

void FileCommands::reload()
{
    if (!askAndSave(FileCommand::Reload))
        return;
    readFile(m_file.FileName());
}

bool FileCommands::overwrite()
{
    return save(false);
}

bool FileCommands::saveAs()
{
    return save(true);
}

void FileCommands::openName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (const QString why = whyNotReadable(trimmed); !why.isEmpty()) {
        tell(trimmed, why);
        m_host.showTitle();
        return;
    }
    if (!askAndSave(FileCommand::NameBox)) {
        m_host.showTitle();
        return;
    }
    readFile(trimmed);
}

bool FileCommands::queryClose()
{
    return askAndSave(FileCommand::Exit);
}

}
