#include "shell/DesktopIntegration.h"

#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace vorlix::shell {

namespace {

    constexpr int kToolTimeoutMs = 30000;

    QString resourceText(const QString& name)
    {
        QFile file(QStringLiteral(":/vorlix/desktop/") + name);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }

    void logFailure(const QString& path)
    {
        WriteLog(QStringLiteral("Vorlix/RegisterShell>ファイルの書き込みが失敗した:") + path);
    }

    // Writes the whole file or nothing.
    bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QSaveFile file(path);
        const bool written = QDir().mkpath(QFileInfo(path).absolutePath())
            && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
            && file.commit();
        if (!written)
            logFailure(path);
        return written;
    }

    bool removeFile(const QString& path)
    {
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return true;
        logFailure(path);
        return false;
    }

    // Runs a cache tool on a folder when both exist; its output is of no interest.
    void runTool(const QString& tool, const QString& folder)
    {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty() || !QFileInfo(folder).isDir())
            return;
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, { folder });
        if (!process.waitForFinished(kToolTimeoutMs)) {
            process.kill();
            process.waitForFinished();
        }
        WriteLog(QStringLiteral("Vorlix/RegisterShell>") + tool + u'='
            + QString::number(
                process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1));
    }

    // Characters after which an Exec argument has to be quoted.
    bool needsQuotes(const QString& argument)
    {
        static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
        for (const QChar c : argument) {
            if (reserved.contains(c))
                return true;
        }
        return argument.isEmpty();
    }

}

DesktopIntegration::DesktopIntegration(QString dataHome, QString executable)
    : m_dataHome(std::move(dataHome))
    , m_executable(std::move(executable))
{
}

QString DesktopIntegration::defaultDataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString DesktopIntegration::defaultExecutable()
{
    const auto& settings = moduleState().SettingsFile;
    const QString folder
        = settings ? settings->ApprPath() : QCoreApplication::applicationDirPath() + u'/';
    return folder + QStringLiteral("vorlix");
}

QString DesktopIntegration::mimePackagePath() const
{
    return m_dataHome + QStringLiteral("/mime/packages/vorlix.xml");
}

QString DesktopIntegration::desktopEntryPath() const
{
    return m_dataHome + QStringLiteral("/applications/vorlix.desktop");
}

QString DesktopIntegration::iconPath() const
{
    return m_dataHome + QStringLiteral("/icons/hicolor/scalable/apps/vorlix.svg");
}

QString DesktopIntegration::mimePackage(const QStringList& globs)
{
    QStringList lines;
    for (const QString& glob : globs)
        lines << QStringLiteral("    <glob pattern=\"%1\"/>").arg(glob.toHtmlEscaped());
    return resourceText(QStringLiteral("vorlix.xml.in"))
        .replace(QStringLiteral("@VORLIX_GLOBS@"), lines.join(u'\n'));
}

QString DesktopIntegration::desktopEntry(const QString& openCommand, const QString& printCommand)
{
    return resourceText(QStringLiteral("vorlix.desktop.in"))
        .replace(QStringLiteral("@VORLIX_OPEN@"), openCommand)
        .replace(QStringLiteral("@VORLIX_PRINT@"), printCommand);
}

QString DesktopIntegration::execArgument(const QString& path)
{
    QString argument = path;
    if (needsQuotes(path)) {
        argument.clear();
        for (const QChar c : path) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                argument += u'\\';
            argument += c;
        }
        argument = u'"' + argument + u'"';
    }
    // The entry's own string rules come on top: a backslash is doubled, a percent sign too.
    return argument.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}

bool DesktopIntegration::writeMimePackage(const Choice& choice)
{
    QStringList globs;
    if (choice.fae)
        globs << QStringLiteral("*.fae");
    if (choice.mnd)
        globs << QStringLiteral("*.mnd");
    if (!choice.mime || globs.isEmpty())
        return removeFile(mimePackagePath());
    return writeFile(mimePackagePath(), mimePackage(globs).toUtf8());
}

bool DesktopIntegration::writeDesktopEntry(const Choice& choice)
{
    if (!choice.fae && !choice.mnd)
        return removeFile(desktopEntryPath()) && removeFile(iconPath());
    const QString program = execArgument(m_executable);
    const QString open = choice.vopt ? program + QStringLiteral(" -v") : program;
    return writeFile(
               desktopEntryPath(), desktopEntry(open, program + QStringLiteral(" -p")).toUtf8())
        && writeIcon();
}

bool DesktopIntegration::writeIcon()
{
    QFile icon(QStringLiteral(":/vorlix/desktop/vorlix.svg"));
    return icon.open(QIODevice::ReadOnly) && writeFile(iconPath(), icon.readAll());
}

void DesktopIntegration::updateCaches() const
{
    runTool(QStringLiteral("update-mime-database"), m_dataHome + QStringLiteral("/mime"));
    runTool(
        QStringLiteral("update-desktop-database"), m_dataHome + QStringLiteral("/applications"));
}

bool DesktopIntegration::apply(const Choice& choice)
{
    if (m_dataHome.isEmpty())
        return false;
    const bool package = writeMimePackage(choice);
    const bool entry = writeDesktopEntry(choice);
    updateCaches();
    return package && entry;
}

}
