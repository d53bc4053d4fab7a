#include "shell/ModuleState.h"

#include "shell/Log.h"

#include <QCoreApplication>
#include <fcntl.h>

namespace vorlix::shell {

namespace {

    MessagePresenter& presenter()
    {
        static MessagePresenter instance;
        return instance;
    }

    UnattendedMessageSink& unattendedSink()
    {
        static UnattendedMessageSink instance;
        return instance;
    }

}

ModuleState& moduleState()
{
    static ModuleState state;
    return state;
}

void setMessagePresenter(MessagePresenter p)
{
    presenter() = std::move(p);
}

void setUnattendedMessageSink(UnattendedMessageSink sink)
{
    unattendedSink() = std::move(sink);
}

QString applicationTitle()
{
    const QString& title = moduleState().ApplicationTitle;
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

int ShowMessage(const QString& prompt, int buttons, const QString& captionSuffix)
{
    const auto mode = moduleState().RunMode;
    if (mode != RunModeWindow && mode != RunModeView) {
        if (unattendedSink())
            unattendedSink()(prompt);
        return 1;
    }
    if (!presenter())
        return 1;
    return presenter()(prompt, buttons, applicationTitle() + captionSuffix);
}

void EndApp()
{
    auto& state = moduleState();
    state.TheSource.reset();
    state.SettingsFile.reset();
    WriteLog(QStringLiteral("Vorlix/Main>!!END!!"));
}

void obtainStdOutHandle()
{
    moduleState().StdOutHandle = (::fcntl(1, F_GETFL) != -1) ? 1 : 0;
}

}
