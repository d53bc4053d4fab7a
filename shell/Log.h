#pragma once

#include <QString>

namespace vorlix::shell {

// Writes one line of the debug log: the message and CR LF in the locale's character set, to the
// module state's log sink, or when none is installed to its standard output handle, unbuffered.
// Silent when neither is usable; never fails towards the caller.
void WriteLog(const QString& message);

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
