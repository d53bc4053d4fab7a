#pragma once

#include <QString>
#include <QStringList>

namespace vorlix::shell {

// The file association as the Linux desktop knows it, below the user's data folder: the
// shared-mime-info package that makes "*.fae" and "*.mnd" files "text/x-vorlix", the desktop entry
// "vorlix.desktop" that opens them (and prints them from its "print" action), and the icon in the
// hicolor theme. After a change the desktop's caches are rebuilt with update-mime-database and
// update-desktop-database when they are installed; without them the files are still written.
class DesktopIntegration {
public:
    // What the user chose in section "reg" of the settings.
    struct Choice {
        bool fae = true; // associate "*.fae"
        bool mnd = true; // associate "*.mnd"
        bool vopt = true; // open with "-v"
        bool mime = true; // register the MIME type
    };

    // Files go below dataHome ($XDG_DATA_HOME); the entry starts `executable`.
    explicit DesktopIntegration(
        QString dataHome = defaultDataHome(), QString executable = defaultExecutable());

    [[nodiscard]] static QString defaultDataHome();
    // The program beside the running one: ApprPath + "vorlix".
    [[nodiscard]] static QString defaultExecutable();

    // Writes or removes the package, the entry and the icon as the choice says and rebuilds the
    // caches. False when a file could not be written or removed; every file is either written
    // whole or left as it was.
    bool apply(const Choice& choice);

    [[nodiscard]] QString mimePackagePath() const;
    [[nodiscard]] QString desktopEntryPath() const;
    [[nodiscard]] QString iconPath() const;

    // The package text for these glob patterns ("*.fae").
    [[nodiscard]] static QString mimePackage(const QStringList& globs);
    // The entry text: the open command and the print command, each without the file argument
    // (which the entry adds).
    [[nodiscard]] static QString desktopEntry(
        const QString& openCommand, const QString& printCommand);
    // A program path as one argument of an entry's Exec line (quoted and escaped where the
    // desktop entry rules ask for it).
    [[nodiscard]] static QString execArgument(const QString& path);

private:
    bool writeMimePackage(const Choice& choice);
    bool writeDesktopEntry(const Choice& choice);
    bool writeIcon();
    void updateCaches() const;

    QString m_dataHome;
    QString m_executable;
};

}
