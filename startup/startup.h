#pragma once
#include "platform/platform.h"
#include "ui/component.h"

namespace startup {

// The program from start to end: paths, the command-line run, the single-instance test,
// the main window (its controls mirrored by `backend`) and its message loop. Always returns
// the exit code 0.
int runQuillet(platform::Platform& os, ui::Backend& backend);

}  // namespace startup
