#include "shell/UserInterface.h"

#include "shell/ModuleState.h"

#include <QCoreApplication>

namespace vorlix::shell {

int ShowMessage(const QString& prompt, int buttons, const QString& captionSuffix)
{
    const ModuleState& state = moduleState();
    if (state.commandLine.unattended()) {
        if (state.ui.unattended)
            state.ui.unattended(prompt);
        return 1;
    }
    if (!state.ui.presenter)
        return 1;
    return state.ui.presenter(prompt, buttons, applicationTitle() + captionSuffix);
}

void SystemBeep()
{
    if (const auto& beep = moduleState().ui.beep)
        beep();
}

void HandlePendingEvents()
{
    if (const auto& handle = moduleState().ui.pendingEvents)
        handle();
}

QString applicationTitle()
{
    const QString& title = moduleState().ApplicationTitle;
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

}
