#include "shell/QtMessageRoute.h"

#include "shell/CodePage.h"
#include "shell/Log.h"
#include "shell/QtWarningWatch.h"

#include <QtGlobal>
#include <cstdio>

namespace vorlix::shell {

namespace {

    struct Route {
        QtMessageRoute route = QtMessageRoute::Nowhere;
        QString program;
        bool installed = false;
    };

    Route& currentRoute()
    {
        static Route route;
        return route;
    }

    QString kindOf(QtMsgType type)
    {
        switch (type) {
        case QtDebugMsg:
            return QStringLiteral("Debug");
        case QtInfoMsg:
            return QStringLiteral("Info");
        case QtWarningMsg:
            return QStringLiteral("Warning");
        case QtCriticalMsg:
            return QStringLiteral("Critical");
        case QtFatalMsg:
            break;
        }
        return QStringLiteral("Fatal");
    }

    void handleQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        QtWarningWatch::notice(type, message);
        const Route& route = currentRoute();
        if (route.route == QtMessageRoute::DebugLog || type == QtFatalMsg)
            WriteLog(QStringLiteral("Qt/") + kindOf(type) + u'>' + message);
        if (type == QtFatalMsg) {
            const QByteArray line
                = toLocaleBytes(route.program + QStringLiteral(": ") + message + u'\n');
            std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
            std::fflush(stderr);
        }
    }

}

void routeQtMessages(QtMessageRoute route, const QString& program)
{
    currentRoute() = { route, program, true };
    qInstallMessageHandler(handleQtMessage);
}

bool qtMessagesRouted()
{
    return currentRoute().installed;
}

QtMessageRoute buildQtMessageRoute()
{
#ifdef NDEBUG
    return QtMessageRoute::Nowhere;
#else
    return QtMessageRoute::DebugLog;
#endif
}

}
