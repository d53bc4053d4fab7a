#pragma once

namespace vorlix::drovik {

// The downloader's start: --help and --version, the log, the shared settings, then the window or
// (with -y) one unattended run. Returns the process's exit status.
int Main(int argc, char** argv);

}
