#include "render/StalePartFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>

namespace vorlix::render {

namespace {

    bool processGone(qint64 pid)
    {
        return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    }

}

void removeStalePartFiles(const QString& target)
{
    const QFileInfo info(target);
    QString base = info.completeBaseName();
    // "out%1.png" names its pages by the number in place of %1: any part of the name before it.
    if (const qsizetype mark = base.indexOf(QStringLiteral("%1")); mark >= 0)
        base.truncate(mark);
    const QRegularExpression partName(
        QStringLiteral("^\\.%1.*\\.(\\d+)\\.part$").arg(QRegularExpression::escape(base)));
    QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList(
        { QStringLiteral(".*.part") }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = partName.match(name);
        if (match.hasMatch() && processGone(match.captured(1).toLongLong()))
            folder.remove(name);
    }
}

}
