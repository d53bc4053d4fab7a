#include "shell/InitFile.h"

#include "shell/Common.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace vorlix::shell {

namespace {

    QString environment(const char* name)
    {
        return qEnvironmentVariable(name);
    }

    QString withSlash(const QString& folder)
    {
        return folder.endsWith(u'/') ? folder : folder + u'/';
    }

    QString executableFolder()
    {
        const QFileInfo exe(QStringLiteral("/proc/self/exe"));
        const QString target = exe.symLinkTarget();
        if (!target.isEmpty())
            return withSlash(QFileInfo(target).absolutePath());
        return withSlash(QDir::currentPath());
    }

    QString computerName()
    {
        const QString name = QSysInfo::machineHostName().trimmed();
        return name.isEmpty() ? QStringLiteral("localhost") : name;
    }

    QString loggedOnUser()
    {
        long size = sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
        passwd entry {};
        passwd* found = nullptr;
        if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
            && found->pw_name)
            return QString::fromLocal8Bit(found->pw_name).trimmed();
        return environment("USER").trimmed();
    }

    // $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config.
    QString configHome()
    {
        const QString xdg = environment("XDG_CONFIG_HOME");
        if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
            return withSlash(xdg);
        return withSlash(QDir::homePath()) + QStringLiteral(".config/");
    }

}

InitFile::InitFile(QString apprExeName)
    : m_apprExeName(std::move(apprExeName))
{
    m_apprPath = executableFolder();
    m_hostName = computerName();
    m_userName = loggedOnUser();
    if (m_userName.isEmpty())
        m_userName = m_hostName;
    const QString windir = localPath(environment("windir"));
    m_winPath = windir.isEmpty() ? QStringLiteral("/etc/") : withSlash(windir);

    QString profiles = localPath(environment("profiles"));
    while (profiles.size() > 1 && profiles.endsWith(u'/'))
        profiles.chop(1);
    if (!profiles.isEmpty()) {
        m_domainPath = withSlash(profiles);
        m_hostPath = m_domainPath + QStringLiteral("host/") + m_hostName + u'/';
        m_userPath = m_domainPath + QStringLiteral("user/") + m_userName + u'/';
    } else {
        m_domainPath = m_winPath;
        // Both programs share one settings folder, whatever the executable is called.
        m_hostPath = configHome() + QStringLiteral("vorlix/");
        m_userPath = m_hostPath;
    }
    // A failure here shows up as the creation failure when the file is chosen.
    QDir().mkpath(m_hostPath);
    // The file starts in the settings folder rather than beside the executable, which is
    // normally not writable; SetInit fixes it for good.
    m_file = m_hostPath + m_apprExeName + QStringLiteral(".ini");
    m_profile = ProfileFile(m_file);
}

void InitFile::log(const QString& message) const
{
    WriteLog(QStringLiteral("InitFAPI/") + message);
}

void InitFile::setFile(const QString& name)
{
    const QString local = localPath(name);
    if (local.isEmpty())
        m_file = m_hostPath + m_apprExeName + QStringLiteral(".ini");
    else if (local.endsWith(u'/'))
        m_file = local + m_apprExeName + QStringLiteral(".ini");
    else
        m_file = local;

    m_profile = ProfileFile(m_file);
    // Another run starting at the same moment may create the file first: it is then not new.
    const QStringList header {
        u';' + m_apprExeName + QStringLiteral(" により作製された"),
        QStringLiteral("[general]"),
    };
    const ProfileCreation creation = m_profile.createIfMissing(header);
    m_newFile = creation != ProfileCreation::Existed;
    if (creation == ProfileCreation::Failed)
        log(QStringLiteral("File>ファイルの書き込みが失敗した:") + name);
}

QString InitFile::Value(const QString& key) const
{
    return profile().readString(m_section, key).value_or(QString());
}

void InitFile::setValue(const QString& key, const QString& value)
{
    (void)profile().writeString(m_section, key, value);
}

void InitFile::SetString(const QString& section, const QString& key, const QString& value)
{
    (void)profile().writeString(section, key, value);
}

void InitFile::SetStrings(const QList<ProfileWrite>& writes)
{
    (void)profile().writeStrings(writes);
}

QString InitFile::GetString(const QString& section, const QString& key, const QString& defaultValue)
{
    m_section = section;
    const QString value = Value(key);
    if (!value.isEmpty())
        return value;
    // Written only when the key is still without a value under the lock: a value another run
    // stored since the read wins over the default.
    if (!profile().writeStrings({ { section, key, defaultValue, true } }))
        return defaultValue;
    const QString stored = Value(key);
    return stored.isEmpty() ? defaultValue : stored;
}

bool InitFile::RepValue(QString& key, QString& value)
{
    if (m_section.isEmpty())
        return false;
    if (!m_values.loaded) {
        m_values.items = profile().sectionEntries(m_section);
        m_values.next = 0;
        if (m_values.items.isEmpty())
            return false;
        m_values.loaded = true;
    }
    if (m_values.next < m_values.items.size()) {
        const ProfileEntry& entry = m_values.items[m_values.next++];
        key = entry.key;
        value = entry.value;
        return true;
    }
    m_values = {};
    return false;
}

bool InitFile::RepSection(QString& section)
{
    if (!m_sections.loaded) {
        m_sections.items = profile().sectionNames();
        m_sections.next = 0;
        if (m_sections.items.isEmpty())
            return false;
        m_sections.loaded = true;
    }
    if (m_sections.next < m_sections.items.size()) {
        section = m_sections.items[m_sections.next++];
        return true;
    }
    m_sections = {};
    return false;
}

}
