#pragma once

#include "shell/Log.h"
#include "shell/ProfileFile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vorlix::shell {

// The settings file vorlix.ini, shared by the whole program (and by Drovik). The file is read once
// and again whenever it changed, so a hand edit or another run's write is seen at the next read;
// GetString writes a missing key's default back, so every key ever read appears in the file.
// Other runs may write the same file at the same time: every change is made under the file's
// lock, and a default never replaces a value another run stored meanwhile. No operation reports
// an error: a failed write leaves the file as it was and a failed read gives the empty string.
class InitFile {
public:
    // The executable name names the file and its header comment; both programs use "vorlix".
    explicit InitFile(QString apprExeName = QStringLiteral("vorlix"));
    InitFile(const InitFile&) = delete;
    InitFile& operator=(const InitFile&) = delete;

    // The computer's name.
    [[nodiscard]] const QString& HostName() const { return m_hostName; }
    // The logged-on user's name; the computer's name when none is available.
    [[nodiscard]] const QString& UserName() const { return m_userName; }
    // The system's own folder ("windir", else /etc/) with a trailing "/".
    [[nodiscard]] const QString& WinPath() const { return m_winPath; }
    // The folder of this computer's settings: $profiles/host/<host>/ or $XDG_CONFIG_HOME/vorlix/.
    [[nodiscard]] const QString& HostPath() const { return m_hostPath; }
    // The folder of this user's settings (kept for completeness; nothing reads it).
    [[nodiscard]] const QString& UserPath() const { return m_userPath; }
    // The folder of the running executable with a trailing "/".
    [[nodiscard]] const QString& ApprPath() const { return m_apprPath; }
    // The shared profiles root with a trailing "/", or WinPath when "profiles" is not set.
    [[nodiscard]] const QString& DomainPath() const { return m_domainPath; }
    // The name of the settings file without ".ini": "vorlix" for both programs.
    [[nodiscard]] const QString& ApprExeName() const { return m_apprExeName; }
    // True when the last assignment of File had to create the file.
    [[nodiscard]] bool fNewFile() const { return m_newFile; }

    // The full path of the settings file.
    [[nodiscard]] const QString& File() const { return m_file; }
    // Chooses the settings file: empty names HostPath's file, a folder ending in "/" gets
    // "<ApprExeName>.ini" appended, anything else is the full path. A missing file is created
    // with its comment line and "[general]".
    void setFile(const QString& name);

    // The current section, used by Value and RepValue; starts as "general".
    [[nodiscard]] const QString& Section() const { return m_section; }
    void setSection(const QString& section) { m_section = section; }

    // A key of the current section; empty when missing. Nothing is written.
    [[nodiscard]] QString Value(const QString& key) const;
    void setValue(const QString& key, const QString& value);

    // Writes a key of a given section without changing the current section.
    void SetString(const QString& section, const QString& key, const QString& value);
    // Writes the keys as that many SetString calls would, replacing the file once.
    void SetStrings(const QList<ProfileWrite>& writes);

    // Makes `section` current and reads the key; a missing or empty key gets the default
    // written back and returned.
    QString GetString(const QString& section, const QString& key, const QString& defaultValue);

    // The next entry of the current section; false at the end, after which the next call starts
    // again from the first entry.
    bool RepValue(QString& key, QString& value);
    // The next section name of the file; false at the end, then starts again.
    bool RepSection(QString& section);

private:
    struct EntryCursor {
        bool loaded = false;
        QList<ProfileEntry> items;
        qsizetype next = 0;
    };
    struct NameCursor {
        bool loaded = false;
        QStringList items;
        qsizetype next = 0;
    };

    [[nodiscard]] const ProfileFile& profile() const { return m_profile; }
    void log(const QString& message) const;

    LifeLog m_life { QStringLiteral("InitFAPI"), QStringLiteral("Initialze>") };
    QString m_apprExeName;
    QString m_apprPath;
    QString m_hostName;
    QString m_userName;
    QString m_winPath;
    QString m_domainPath;
    QString m_hostPath;
    QString m_userPath;
    QString m_file;
    ProfileFile m_profile { QString() };
    QString m_section = QStringLiteral("general");
    bool m_newFile = false;
    EntryCursor m_values;
    NameCursor m_sections;
};

}
