#include "app/SignalWatch.h"

#include "shell/SignalCleanup.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace vorlix::app {

namespace {

    constexpr std::array kEndingSignals { SIGINT, SIGTERM, SIGHUP, SIGXFSZ };

    int g_pipe[2] = { -1, -1 };

    void noteSignal(int signal)
    {
        const int saved = errno;
        const auto number = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
        errno = saved;
    }

    [[noreturn]] void endBySignal(int signal)
    {
        shell::SignalCleanup::runAll();
        std::signal(signal, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
        ::raise(signal);
        // Not reached unless the signal's default action is to go on (it is not for these).
        std::_Exit(128 + signal);
    }

    void watch()
    {
        for (;;) {
            unsigned char number = 0;
            const ssize_t got = ::read(g_pipe[0], &number, 1);
            if (got == 1)
                endBySignal(number);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return;
        }
    }

}

void watchEndingSignals()
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC) != 0)
        return;
    std::thread(watch).detach();
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kEndingSignals)
        sigaction(signal, &action, nullptr);
}

}
