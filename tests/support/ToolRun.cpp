#include "tests/support/ToolRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace vorlix::test {

namespace {

    // Waits for the child; kills it when the time is up. The exit code, or nothing.
    std::optional<int> waitFor(pid_t child, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        int status = 0;
        for (;;) {
            const pid_t done = ::waitpid(child, &status, WNOHANG);
            if (done == child)
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            if (done < 0 || clock.hasExpired(timeoutMs))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return std::nullopt;
    }

}

ToolResult runTool(const QString& program, const QStringList& arguments, int timeoutMs)
{
    ToolResult result;
    // The output goes to files rather than pipes: nothing to drain while waiting.
    QTemporaryDir folder;
    const QByteArray outPath = QFile::encodeName(folder.filePath(QStringLiteral("out")));
    const QByteArray errPath = QFile::encodeName(folder.filePath(QStringLiteral("err")));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(
        &actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<QByteArray> words { QFile::encodeName(program) };
    for (const QString& argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t child = 0;
    const int spawned
        = ::posix_spawnp(&child, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    // posix_spawnp reports a program it cannot execute itself, as an error.
    result.started = true;
    const std::optional<int> code = waitFor(child, timeoutMs);
    result.finished = code.has_value();
    result.exitCode = code.value_or(-1);
    QFile out(QFile::decodeName(outPath));
    if (out.open(QIODevice::ReadOnly))
        result.out = out.readAll();
    QFile err(QFile::decodeName(errPath));
    if (err.open(QIODevice::ReadOnly))
        result.err = err.readAll();
    return result;
}

}
