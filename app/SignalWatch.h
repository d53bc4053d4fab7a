#pragma once

namespace vorlix::app {

// Makes SIGINT, SIGTERM, SIGHUP and SIGXFSZ end the program only after the work they interrupt
// is undone (shell::SignalCleanup: partial files removed, a print job cancelled); the program
// then ends by the same signal, so its parent sees the usual status. The handler only writes the
// signal's number into a pipe; a thread of its own does the rest.
void watchEndingSignals();

}
