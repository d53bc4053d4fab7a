#include "tests/support/LogFileCapture.h"

#include "shell/CodePage.h"
#include "shell/ModuleState.h"

#include <QFile>

namespace vorlix::test {

LogFileCapture::LogFileCapture()
    : m_saved(shell::moduleState().StdOutHandle)
{
    if (m_file.open())
        shell::moduleState().StdOutHandle = m_file.handle();
}

LogFileCapture::~LogFileCapture()
{
    shell::moduleState().StdOutHandle = m_saved;
}

QStringList LogFileCapture::lines() const
{
    QFile reader(m_file.fileName());
    if (!reader.open(QIODevice::ReadOnly))
        return {};
    QStringList all = shell::fromLocaleBytes(reader.readAll()).split(QStringLiteral("\r\n"));
    if (!all.isEmpty() && all.last().isEmpty())
        all.removeLast();
    return all;
}

QStringList LogFileCapture::linesStartingWith(const QString& prefix) const
{
    QStringList picked;
    for (const QString& line : lines()) {
        if (line.startsWith(prefix))
            picked << line;
    }
    return picked;
}

}
