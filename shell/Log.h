#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace vorlix::shell {

// Writes one line of the debug log: the message and CR LF in the locale's character set, to the
// module state's log sink, or when none is installed to its standard output handle, unbuffered.
// Silent when neither is usable; never fails towards the caller.
// On a thread with a DeferredOutput installed the line is kept there instead.
void WriteLog(const QString& message);
// Writes one finished line (CR LF included) to the log sink or standard output at once.
void writeLogLine(const QByteArray& line);
// Writes finished lines that follow one another in the log as one piece: the standard output
// gets them in a single write, a log sink still one line at a time.
void writeLogLines(const std::vector<QByteArray>& lines);

// Logs "<Class>/Initialize>" when an object begins and "<Class>/Terminate>" when it ends. Hold one
// as the first member of a class whose life the log reports.
class LifeLog {
public:
    explicit LifeLog(QString className, QString initializeText = QStringLiteral("Initialize>"),
        QString terminateText = QStringLiteral("Terminate>"));
    ~LifeLog();
    LifeLog(const LifeLog& other);
    LifeLog& operator=(const LifeLog&) { return *this; }

private:
    QString m_className;
    QString m_terminateText;
    QString m_initializeText;
};

}
