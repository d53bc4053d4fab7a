#include "tests/support/LogCapture.h"

#include "shell/CodePage.h"
#include "shell/ModuleState.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace vorlix::test {

LogCapture::LogCapture()
{
    std::fflush(stdout);
    QByteArray name = (QDir::tempPath() + "/vorlix-log-XXXXXX").toLocal8Bit();
    m_fileFd = ::mkstemp(name.data());
    if (m_fileFd >= 0) {
        ::unlink(name.constData());
        m_savedFd = ::dup(1);
        ::dup2(m_fileFd, 1);
    }
    m_savedHandle = shell::moduleState().StdOutHandle;
    shell::moduleState().StdOutHandle = 1;
}

LogCapture::~LogCapture()
{
    std::fflush(stdout);
    shell::moduleState().StdOutHandle = m_savedHandle;
    if (m_savedFd >= 0) {
        ::dup2(m_savedFd, 1);
        ::close(m_savedFd);
    }
    if (m_fileFd >= 0)
        ::close(m_fileFd);
}

QByteArray LogCapture::bytes() const
{
    QByteArray out;
    if (m_fileFd < 0)
        return out;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(m_fileFd, buffer, sizeof buffer, offset);
        if (n <= 0)
            break;
        out.append(buffer, n);
        offset += n;
    }
    return out;
}

QStringList LogCapture::lines() const
{
    QStringList out = shell::fromLocaleBytes(bytes()).split(QStringLiteral("\r\n"));
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

}
