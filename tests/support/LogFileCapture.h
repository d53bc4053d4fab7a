#pragma once

// The drawing-surface tests still include the log capture by this name.
#include "tests/support/LogCapture.h"

namespace vorlix::test {
using LogFileCapture = LogCapture;
}
