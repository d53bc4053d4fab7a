#include "tests/support/LogCapture.h"

#include "shell/CodePage.h"
#include "shell/LogSink.h"
#include "shell/ModuleState.h"

#include <QRegularExpression>

namespace vorlix::test {

class LogCapture::Sink final : public shell::LogSink {
public:
    void write(const QByteArray& line) override { bytes += line; }
    QByteArray bytes;
};

LogCapture::LogCapture()
    : m_sink(std::make_shared<Sink>())
    , m_previous(shell::moduleState().logSink)
{
    shell::moduleState().logSink = m_sink;
}

LogCapture::~LogCapture()
{
    shell::moduleState().logSink = m_previous;
}

QByteArray LogCapture::bytes() const
{
    return m_sink->bytes;
}

QStringList LogCapture::lines() const
{
    QStringList out = shell::fromLocaleBytes(bytes()).split(QStringLiteral("\r\n"));
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

QStringList LogCapture::linesStartingWith(const QString& prefix) const
{
    return lines().filter(QRegularExpression(u'^' + QRegularExpression::escape(prefix)));
}

}
