#include "shell/ModuleState.h"

#include "shell/InitFile.h"
#include "shell/LogSink.h"

#include <fcntl.h>

namespace vorlix::shell {

ModuleState::ModuleState() = default;
ModuleState::~ModuleState() = default;
ModuleState::ModuleState(ModuleState&&) noexcept = default;
ModuleState& ModuleState::operator=(ModuleState&&) noexcept = default;

void ModuleState::reset()
{
    // The settings object ends first, while the rest of the state is still whole.
    SettingsFile.reset();
    *this = ModuleState();
}

ModuleState& moduleState()
{
    static ModuleState state;
    return state;
}

void obtainStdOutHandle()
{
    moduleState().StdOutHandle = (::fcntl(1, F_GETFL) != -1) ? 1 : 0;
}

}
