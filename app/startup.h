#pragma once
#include "platform/platform.h"

namespace app {

// The program from start to end: paths, the command-line run, the single-instance test,
// the main window and its message loop. Always returns the exit code 0.
int runQuillet(platform::Platform& os);

}  // namespace app
