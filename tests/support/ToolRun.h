#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vorlix::test {

// What running a command-line tool came to.
struct ToolResult {
    bool started = false;
    bool finished = false; // ended by itself within the time allowed (else it was killed)
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    [[nodiscard]] bool succeeded() const { return finished && exitCode == 0; }
};

// Runs a tool found on PATH and waits for it. The child is spawned, never forked from this
// process with its threads: the test programs that run under ThreadSanitizer use this, whose
// interception of the clone() under QProcess fails.
[[nodiscard]] ToolResult runTool(
    const QString& program, const QStringList& arguments, int timeoutMs = 60000);

}
