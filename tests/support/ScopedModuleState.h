#pragma once

#include "shell/CommandLineOptions.h"
#include "shell/ModuleState.h"

namespace vorlix::shell {
class InitFile;
}

namespace vorlix::test {

// Gives a test the module state of a process that has not started yet, in a run mode of its
// choice, and leaves it so afterwards: options, settings object, log sink and hooks all go. Hold
// one (as a fixture member) in every test that reads or changes the module state.
class ScopedModuleState {
public:
    explicit ScopedModuleState(shell::RunModes mode = shell::RunModes::Window);
    ~ScopedModuleState();
    ScopedModuleState(const ScopedModuleState&) = delete;
    ScopedModuleState& operator=(const ScopedModuleState&) = delete;

    shell::ModuleState& operator*() const { return shell::moduleState(); }
    shell::ModuleState* operator->() const { return &shell::moduleState(); }
    [[nodiscard]] shell::CommandLineOptions& options() const
    {
        return shell::moduleState().commandLine;
    }

    // Creates the settings object on the settings file of the (temporary) home, as the first
    // start does: a missing file gets every default.
    shell::InitFile& startSettings();
};

}
