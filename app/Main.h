#pragma once

namespace vorlix::app {

// The program's start: log, settings, command line, printer, source document, then the job of the
// run mode. Returns the process's exit status (unattended modes) or runs the window's event loop.
int Main(int argc, char** argv);

}
