#include "shell/Log.h"

#include "shell/CodePage.h"
#include "shell/DeferredOutput.h"
#include "shell/DescriptorLogSink.h"
#include "shell/ModuleState.h"

#include <mutex>

namespace vorlix::shell {

namespace {
    // Lines from several threads (a print job's workers) never interleave within a line.
    std::mutex& logLock()
    {
        static std::mutex lock;
        return lock;
    }
}

void WriteLog(const QString& message)
{
    const ModuleState& state = moduleState();
    DeferredOutput* deferred = DeferredOutput::current();
    if (!deferred && !state.logSink && !DescriptorLogSink::usable(state.StdOutHandle))
        return;
    QByteArray line = toLocaleBytes(message);
    line.append("\r\n");
    if (deferred)
        deferred->addLine(std::move(line));
    else
        writeLogLine(line);
}

void writeLogLine(const QByteArray& line)
{
    const ModuleState& state = moduleState();
    const std::lock_guard guard(logLock());
    if (state.logSink)
        state.logSink->write(line);
    else
        DescriptorLogSink(state.StdOutHandle).write(line);
}

void writeLogLines(const std::vector<QByteArray>& lines)
{
    if (lines.empty())
        return;
    const ModuleState& state = moduleState();
    const std::lock_guard guard(logLock());
    if (state.logSink) {
        for (const QByteArray& line : lines)
            state.logSink->write(line);
        return;
    }
    qsizetype size = 0;
    for (const QByteArray& line : lines)
        size += line.size();
    QByteArray joined;
    joined.reserve(size);
    for (const QByteArray& line : lines)
        joined += line;
    DescriptorLogSink(state.StdOutHandle).write(joined);
}

LifeLog::LifeLog(QString className, QString initializeText, QString terminateText)
    : m_className(std::move(className))
    , m_terminateText(std::move(terminateText))
    , m_initializeText(std::move(initializeText))
{
    WriteLog(m_className + u'/' + m_initializeText);
}

LifeLog::LifeLog(const LifeLog& other)
    : LifeLog(other.m_className, other.m_initializeText, other.m_terminateText)
{
}

LifeLog::~LifeLog()
{
    WriteLog(m_className + u'/' + m_terminateText);
}

}
