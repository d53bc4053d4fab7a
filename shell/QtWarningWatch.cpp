#include "shell/QtWarningWatch.h"

#include "shell/QtMessageRoute.h"

#include <atomic>
#include <mutex>

namespace vorlix::shell {

namespace {

    thread_local QtWarningWatch* current = nullptr;
    std::atomic<QtMessageHandler> routedBefore { nullptr };

    void watchAndForward(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        QtWarningWatch::notice(type, message);
        if (const QtMessageHandler next = routedBefore.load())
            next(type, context, message);
    }

    // Where no route of the program's own is in place (a tool, a test), the watch puts a handler
    // in front of whatever handles Qt's messages; a route installed later notices by itself.
    void ensureHandler()
    {
        static std::once_flag once;
        std::call_once(once, [] {
            if (!qtMessagesRouted())
                routedBefore = qInstallMessageHandler(watchAndForward);
        });
    }

}

QtWarningWatch::QtWarningWatch()
    : m_outer(current)
{
    ensureHandler();
    current = this;
}

QtWarningWatch::~QtWarningWatch()
{
    current = m_outer;
}

void QtWarningWatch::notice(QtMsgType type, const QString& message)
{
    if (current && (type == QtWarningMsg || type == QtCriticalMsg))
        current->m_warnings.append(message);
}

}
