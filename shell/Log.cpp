#include "shell/Log.h"

#include "shell/CodePage.h"
#include "shell/ModuleState.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

namespace vorlix::shell {

namespace {

    // A log on a pipe whose reader has gone must not end the program: SIGPIPE is held back while
    // the log writes, and one it caused is taken off the queue before the mask is restored.
    class SigPipeGuard {
    public:
        SigPipeGuard()
        {
            sigemptyset(&m_pipe);
            sigaddset(&m_pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &m_pipe, &m_saved);
            m_wasPending = pipePending();
        }
        ~SigPipeGuard()
        {
            if (!m_wasPending && pipePending()) {
                const timespec none {};
                sigtimedwait(&m_pipe, nullptr, &none);
            }
            pthread_sigmask(SIG_SETMASK, &m_saved, nullptr);
        }
        SigPipeGuard(const SigPipeGuard&) = delete;
        SigPipeGuard& operator=(const SigPipeGuard&) = delete;

    private:
        static bool pipePending()
        {
            sigset_t pending;
            sigemptyset(&pending);
            sigpending(&pending);
            return sigismember(&pending, SIGPIPE) == 1;
        }

        sigset_t m_pipe {};
        sigset_t m_saved {};
        bool m_wasPending = false;
    };

}

void WriteLog(const QString& message)
{
    const int handle = moduleState().StdOutHandle;
    // 0 means "not obtained yet"; 65537 is the value the original treated as "no console".
    if (handle <= 0 || handle == 65537)
        return;
    QByteArray bytes = toLocaleBytes(message);
    bytes.append("\r\n");
    const SigPipeGuard guard;
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

LifeLog::~LifeLog()
{
    WriteLog(m_className + u'/' + m_terminateText);
}

}
