#pragma once

#include <QStringList>
#include <QTemporaryFile>

namespace vorlix::test {

// Points the debug log's handle at a temporary file for the lifetime of the object, leaving
// standard output (and the test runner's messages) alone. For byte-exact checks of what reaches
// file descriptor 1, use LogCapture instead.
class LogFileCapture {
public:
    LogFileCapture();
    ~LogFileCapture();
    LogFileCapture(const LogFileCapture&) = delete;
    LogFileCapture& operator=(const LogFileCapture&) = delete;

    // Every line logged so far, without its CR LF.
    [[nodiscard]] QStringList lines() const;
    // The lines that begin with the prefix.
    [[nodiscard]] QStringList linesStartingWith(const QString& prefix) const;

private:
    QTemporaryFile m_file;
    int m_saved;
};

}
