#pragma once

#include <QString>
#include <functional>

// What the Core-only code asks of the person at the screen. The layers that show windows install
// the hooks (the entry program at start, the main window, the dialogs); without them every
// routine does the quiet thing, so that unattended runs, tools and tests need no widgets.
namespace vorlix::shell {

// Shows a message and returns the answer as the platform numbers it.
using MessagePresenter
    = std::function<int(const QString& prompt, int buttons, const QString& caption)>;
// Receives every message that an unattended run answers by itself.
using UnattendedMessageSink = std::function<void(const QString& prompt)>;

// The hooks, held by the module state.
struct UserInterface {
    // Message boxes; without one ShowMessage answers 1.
    MessagePresenter presenter;
    // What unattended runs do with the messages nobody sees (the command line writes them to
    // standard error).
    UnattendedMessageSink unattended;
    // The system beep of warnings and failed statements; silent without one.
    std::function<void()> beep;
    // Handles the window's pending events while a long job runs; nothing without one.
    std::function<void()> pendingEvents;
};

// Shows a message with button and icon flags as the platform numbers them (0 OK, 64 information,
// 35 Yes/No/Cancel question) and returns the answer (1 OK, 2 Cancel, 6 Yes, 7 No). The caption is
// the application title followed by captionSuffix (the file objects add "/GeneFile" or
// "/WebFile"). In every run mode other than 0 and 2 nobody is there: the answer is 1 at once.
int ShowMessage(const QString& prompt, int buttons, const QString& captionSuffix = {});

// Sounds the system beep.
void SystemBeep();

// Lets the window handle its pending events.
void HandlePendingEvents();

// The application title, or the program's name while none is set.
[[nodiscard]] QString applicationTitle();

}
