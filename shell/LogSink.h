#pragma once

#include <QByteArray>

namespace vorlix::shell {

// Where the debug log's lines go. Each call receives one whole line as it is to be written: the
// message in the locale's character set, ended by CR LF. A sink never fails towards the log.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(const QByteArray& line) = 0;
};

}
