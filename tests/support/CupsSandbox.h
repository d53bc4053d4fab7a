#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vorlix::test {

// A private CUPS daemon with cups-pdf queues (scripts/cups-sandbox), for tests that print for
// real: it listens on a socket in a temporary folder, the PDFs of its queues arrive in that
// folder's "out", and it is stopped by its process id when the object ends. Clients reach it
// through CUPS_SERVER, which a test process must point at it before it asks CUPS anything.
class CupsSandbox {
public:
    // Starts the daemon with these queues; the first is the default destination. More lines of
    // its configuration (a limit) may follow.
    explicit CupsSandbox(const QStringList& queues, const QString& configuration = {});
    ~CupsSandbox();
    CupsSandbox(const CupsSandbox&) = delete;
    CupsSandbox& operator=(const CupsSandbox&) = delete;

    // Empty when the daemon runs; otherwise why it cannot run here (not root, no cupsd, ...).
    [[nodiscard]] const QString& unavailable() const { return m_unavailable; }
    [[nodiscard]] QString socket() const { return m_dir.path() + QStringLiteral("/cups.sock"); }
    // Sets CUPS_SERVER of this process to the daemon.
    void useInThisProcess() const;

    // Runs a CUPS client program (lpadmin, lpstat) against the daemon; its exit code.
    int client(const QString& program, const QStringList& arguments) const;

    // Stops the daemon now (a server that goes away in the middle of a job).
    void stop();

    // Removes the PDFs that have arrived so far.
    void clearOutput() const;

    // Waits until the queues are empty and `count` PDFs have arrived and stopped growing; their
    // paths, oldest first (fewer when the time ran out).
    [[nodiscard]] QStringList waitForPdfs(int count, int timeoutMs = 120000) const;

    // The attributes the daemon keeps with its newest job (options, title, state), each as
    // "name=value"; empty when it has none. Complete only while the job waits (a stopped queue):
    // the daemon forgets most of them once a job has printed.
    [[nodiscard]] QStringList newestJobAttributes() const;

private:
    [[nodiscard]] bool jobsPending() const;

    QTemporaryDir m_dir;
    QString m_unavailable;
    bool m_started = false;
};

}
