#pragma once

#include "shell/CommandLineOptions.h"
#include "shell/UserInterface.h"

#include <QString>
#include <memory>

namespace vorlix::shell {

class InitFile;
class LogSink;

// The process-wide state of module "vorlix": how the parts of both programs meet. The entry sets
// it once at start-up; every other part reads it. The source document is not here: the entry
// program holds it, above every library.
struct ModuleState {
    ModuleState();
    ~ModuleState();
    ModuleState(ModuleState&&) noexcept;
    ModuleState& operator=(ModuleState&&) noexcept;

    // What the command line asked for.
    CommandLineOptions commandLine;
    // The settings' general/Debug, reported once at start-up; it does not gate the log.
    bool DebugFlag = true;
    // The descriptor the log writes to when no sink is installed; 0 until the program has checked
    // that standard output is usable.
    int StdOutHandle = 0;
    // Where the log goes instead of StdOutHandle (tests capture it here); null for the descriptor.
    std::shared_ptr<LogSink> logSink;
    // The one settings object; null until the entry creates it and after the end.
    std::unique_ptr<InitFile> SettingsFile;
    // The application title: the program's name until a document gives its own; message boxes
    // and print jobs carry it.
    QString ApplicationTitle;
    // What the window layer lends: message boxes, the beep, pending events.
    UserInterface ui;

    // Back to the state of a process that has not started (the settings object ends, every hook
    // goes); tests call it between cases.
    void reset();
};

// The module state of this process.
ModuleState& moduleState();

// Checks standard output and, when it is an open descriptor, makes it the log's handle.
void obtainStdOutHandle();

}
