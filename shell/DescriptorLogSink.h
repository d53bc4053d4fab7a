#pragma once

#include "shell/LogSink.h"

namespace vorlix::shell {

// The log's own sink: a file descriptor (standard output once the program has checked it),
// written unbuffered. A descriptor that is not usable, closed or broken swallows the line, and a
// reader that went away cannot end the program through SIGPIPE.
class DescriptorLogSink final : public LogSink {
public:
    explicit DescriptorLogSink(int descriptor)
        : m_descriptor(descriptor)
    {
    }

    // 0 means "not obtained yet" and 65537 "no console": neither is written to.
    [[nodiscard]] static bool usable(int descriptor)
    {
        return descriptor > 0 && descriptor != 65537;
    }

    void write(const QByteArray& line) override;

private:
    int m_descriptor;
};

}
