#include "shell/DescriptorLogSink.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

namespace vorlix::shell {

namespace {

    // SIGPIPE is held back while the log writes, and one the write caused is taken off the queue
    // before the mask is restored.
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

void DescriptorLogSink::write(const QByteArray& line)
{
    if (!usable(m_descriptor))
        return;
    const SigPipeGuard guard;
    const char* data = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(m_descriptor, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        left -= written;
    }
}

}
