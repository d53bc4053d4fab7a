#pragma once

#include <QByteArray>
#include <QStringList>

namespace vorlix::test {

// Sends file descriptor 1 into a temporary file for the lifetime of the object and makes it the
// log's handle, so that a test sees exactly the bytes the log writes. Restores both afterwards.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written to standard output so far.
    [[nodiscard]] QByteArray bytes() const;
    // The lines written so far (UTF-8 or the locale's set), without their CR LF.
    [[nodiscard]] QStringList lines() const;

private:
    int m_savedFd = -1;
    int m_fileFd = -1;
    int m_savedHandle = 0;
};

}
