#include "tests/support/ScopedModuleState.h"

#include "shell/InitFile.h"
#include "shell/iniInit.h"

#include <memory>

namespace vorlix::test {

ScopedModuleState::ScopedModuleState(shell::RunModes mode)
{
    shell::moduleState().reset();
    shell::moduleState().commandLine.RunMode = mode;
}

ScopedModuleState::~ScopedModuleState()
{
    shell::moduleState().reset();
}

shell::InitFile& ScopedModuleState::startSettings()
{
    auto& settings = shell::moduleState().SettingsFile;
    settings = std::make_unique<shell::InitFile>();
    shell::iniInit(*settings).SetInit(QString());
    return *settings;
}

}
