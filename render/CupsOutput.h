#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>

namespace vorlix::render {

// One job on a CUPS queue, its document streamed as it is written: the job is created with its
// options, the document (PDF) follows in pieces, and the job is only handed over when the
// document is finished. Every answer of the server is checked; what went wrong is kept in CUPS's
// own words. A server that stops answering fails after timeoutSeconds() instead of holding the
// job for ever.
class CupsOutput {
public:
    // A job option, as "lp -o name=value" gives it.
    using Option = QPair<QByteArray, QByteArray>;

    CupsOutput(QString queue, QList<Option> options);
    // A job that was begun and not committed is cancelled.
    ~CupsOutput();
    CupsOutput(const CupsOutput&) = delete;
    CupsOutput& operator=(const CupsOutput&) = delete;

    // Creates the job under this title and opens its document; false when the server refused.
    [[nodiscard]] bool begin(const QString& title);
    // Sends the next piece of the document; false when the server or the connection failed.
    [[nodiscard]] bool write(const QByteArray& bytes);
    // Ends the document and checks that the job stands; false when it was refused or stopped.
    [[nodiscard]] bool commit();
    // Cancels the job; nothing of it prints.
    void discard();

    // Why the job failed, in the server's words; empty while nothing failed.
    [[nodiscard]] const QString& error() const { return m_error; }
    // The job's number on the server; 0 before it exists.
    [[nodiscard]] int jobId() const { return m_jobId; }

    // How long the server may stay silent before a request fails: VORLIX_CUPS_TIMEOUT in
    // seconds when it is set to a number from 1 to 3600, else 30.
    [[nodiscard]] static int timeoutSeconds();
    // Whether the server answers a request within the time-out: empty when it does or when there
    // is no server at all (then there are no printers); otherwise why not.
    [[nodiscard]] static QString probeServer();

private:
    struct Connection;

    // Cancels a job by its number, also from another thread.
    static void cancelJob(const QByteArray& queue, int jobId);
    bool fail(const QString& what);
    [[nodiscard]] bool jobStands();

    QString m_queue;
    QList<Option> m_options;
    std::unique_ptr<Connection> m_http;
    int m_jobId = 0;
    bool m_open = false;
    bool m_committed = false;
    QString m_error;
};

}
