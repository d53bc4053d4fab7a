#include "window/FileCommands.h"

#include "document/Source.h"
#include "shell/ModuleState.h"

#include <QFileInfo>

namespace vorlix::window {

namespace {

    constexpr int InformationStyle = 64;

    void tell(const QString& name, const QString& why)
    {
        shell::ShowMessage(name + QStringLiteral("\r\n") + why, InformationStyle);
    }

}

FileCommands::FileCommands(document::Source& source, Host host)
    : m_source(source)
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
        return QStringLiteral("ファイルがありません");
    if (info.isDir())
        return QStringLiteral("フォルダです。ファイルを指定してください");
    if (!info.isReadable())
        return QStringLiteral("ファイルが開けません");
    return {};
}

bool FileCommands::save(bool askName)
{
    const bool wasEdited = m_source.fFileEdit;
    const bool written = m_source.OutBuff(askName, askName);
    // The document object marks the text as saved even when nothing was written.
    if (!written)
        m_source.fFileEdit = wasEdited;
    m_host.showTitle();
    return written;
}

bool FileCommands::askAndSave(FileCommand command)
{
    const auto answer
        = SaveQuestion::ConfirmSave(m_source.fFileEdit, SaveQuestion::question(command));
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
    const QString oldName = m_source.FileName();
    const auto oldType = m_source.FileType;
    const bool oldEdited = m_source.fFileEdit;
    m_source.setFileName(name);
    if (!m_source.InBuff(false)) {
        m_source.setFileName(oldName);
        m_source.FileType = oldType;
        m_source.fFileEdit = oldEdited;
        m_host.showTitle();
        return false;
    }
    m_host.showTitle();
    m_host.render();
    return true;
}

void FileCommands::newFile(std::int32_t type)
{
    if (!askAndSave(FileCommand::New))
        return;
    m_source.Clear(type);
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
    readFile(m_source.FileName());
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
