#pragma once
#include <string_view>

#include "platform/platform.h"

namespace startup {

// Runs a command-line recovery (and the program to start after it) on the calling thread.
// Returns true when the process is finished, false when the normal start should follow.
bool runCommandLine(std::string_view text, platform::Platform& os);

}  // namespace startup
