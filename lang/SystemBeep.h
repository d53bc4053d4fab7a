#pragma once

#include <functional>

namespace vorlix::lang {

// Sounds the system beep the interpreter gives for a warning or a failed statement. The window
// layer installs the real beep (QApplication::beep); without one the beep is silent, so that
// unattended runs and tests need no widgets.
void SystemBeep();
void setSystemBeep(std::function<void()> beep);

}
