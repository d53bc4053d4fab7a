#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace vorlix::test {

// The desktop tools as a user's session would run them: xdg-mime without a desktop of its own
// (so it reads the shared-mime-info database and the desktop entries' caches), and the cache
// builders. The environment decides which data folders they see.
class DesktopQuery {
public:
    explicit DesktopQuery(QProcessEnvironment environment)
        : m_environment(std::move(environment))
    {
        for (const char* name : { "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                 "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "DISPLAY", "WAYLAND_DISPLAY" })
            m_environment.remove(QString::fromLatin1(name));
    }

    [[nodiscard]] static bool available()
    {
        for (const char* tool : { "xdg-mime", "update-mime-database", "update-desktop-database",
                 "desktop-file-validate" }) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return false;
        }
        return true;
    }

    // The first line a tool printed, with its exit status checked.
    QString run(const QString& tool, const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(tool, arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << tool.toStdString();
        EXPECT_EQ(process.exitCode(), 0)
            << tool.toStdString() << ": " << process.readAllStandardError().constData();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QString filetype(const QString& file) const
    {
        return run(QStringLiteral("xdg-mime"),
            { QStringLiteral("query"), QStringLiteral("filetype"), file });
    }
    QString defaultApplication(const QString& type) const
    {
        return run(QStringLiteral("xdg-mime"),
            { QStringLiteral("query"), QStringLiteral("default"), type });
    }

private:
    QProcessEnvironment m_environment;
};

}
