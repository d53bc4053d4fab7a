#pragma once

#include <QByteArray>
#include <QStringList>
#include <memory>

namespace vorlix::shell {
class LogSink;
}

namespace vorlix::test {

// Catches every line of the debug log for the lifetime of the object: it installs itself as the
// module state's log sink and puts the previous sink back afterwards. The lines keep the bytes
// the log wrote (the locale's character set, CR LF), so that a test can check them exactly.
class LogCapture {
public:
    LogCapture(); // installs itself as the log sink
    ~LogCapture(); // puts the previous sink back
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything logged so far, as written.
    [[nodiscard]] QByteArray bytes() const;
    // The lines logged so far, without their CR LF.
    [[nodiscard]] QStringList lines() const;
    // The lines that begin with the prefix.
    [[nodiscard]] QStringList linesStartingWith(const QString& prefix) const;

private:
    class Sink;
    std::shared_ptr<Sink> m_sink;
    std::shared_ptr<shell::LogSink> m_previous;
};

}
