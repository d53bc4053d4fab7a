#pragma once

#include <QString>

// Where Qt's own messages go while a run is unattended ("QStandardPaths: XDG_RUNTIME_DIR not
// set", "propagateSizeHints"): the user's standard error then carries only the program's own
// lines.
namespace vorlix::shell {

enum class QtMessageRoute {
    DebugLog, // a log line "Qt/Warning>..." (or Debug, Info, Critical)
    Nowhere,
};

// Sends Qt's messages the given way from now on. A fatal message still goes to standard error,
// prefixed "<program>: ", since the program ends with it.
void routeQtMessages(QtMessageRoute route, const QString& program);

// Whether routeQtMessages has been called in this process.
[[nodiscard]] bool qtMessagesRouted();

// The route of this build: the debug log in debug builds, nowhere in release builds.
[[nodiscard]] QtMessageRoute buildQtMessageRoute();

}
