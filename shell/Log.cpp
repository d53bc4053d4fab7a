#include "shell/Log.h"

#include "shell/CodePage.h"
#include "shell/ModuleState.h"

#include <cerrno>
#include <unistd.h>

namespace vorlix::shell {

void WriteLog(const QString& message)
{
    const int handle = moduleState().StdOutHandle;
    // 0 means "not obtained yet"; 65537 is the value the original treated as "no console".
    if (handle <= 0 || handle == 65537)
        return;
    QByteArray bytes = toLocaleBytes(message);
    bytes.append("\r\n");
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(handle, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        left -= written;
    }
}

LifeLog::LifeLog(QString className, QString initializeText, QString terminateText)
    : m_className(std::move(className))
    , m_terminateText(std::move(terminateText))
    , m_initializeText(std::move(initializeText))
{
    WriteLog(m_className + u'/' + m_initializeText);
}

LifeLog::LifeLog(const LifeLog& other)
    : LifeLog(other.m_className, other.m_initializeText, other.m_terminateText)
{
}

LifeLog::~LifeLog() { WriteLog(m_className + u'/' + m_terminateText); }

}
