#include "shell/Log.h"

#include "shell/CodePage.h"
#include "shell/DescriptorLogSink.h"
#include "shell/ModuleState.h"

namespace vorlix::shell {

void WriteLog(const QString& message)
{
    const ModuleState& state = moduleState();
    if (!state.logSink && !DescriptorLogSink::usable(state.StdOutHandle))
        return;
    QByteArray line = toLocaleBytes(message);
    line.append("\r\n");
    if (state.logSink)
        state.logSink->write(line);
    else
        DescriptorLogSink(state.StdOutHandle).write(line);
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
