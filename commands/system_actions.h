#pragma once
#include "platform/platform.h"

namespace commands {

// The four commands that act on the operating system rather than on the program. None asks
// for confirmation, none reports an outcome and none changes the program's state.

// Empties the clipboard; nothing happens while another program holds it open.
void emptyClipboard(platform::Platform& os);
// Clears the shell's list of recently used documents.
void clearRecentDocuments(platform::Platform& os);
// Asks the system to restart. Running programs may still refuse.
void restartComputer(platform::Platform& os);
// Asks the system to shut down. Running programs may still refuse.
void shutDownComputer(platform::Platform& os);

}  // namespace commands
