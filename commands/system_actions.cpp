#include "commands/system_actions.h"

#include "monitor/os_detection.h"

namespace commands {

namespace {

// Restart and shut down differ only in the flag. On the NT family a process may end the
// session only with the shutdown privilege enabled; the 9x family has no such check.
void endSession(platform::Platform& os, uint32_t flags) {
    if (monitor::isNtFamily(os.osVersion)) os.systemCommands.enableShutdownPrivilege();
    os.systemCommands.exitWindows(flags);
}

}  // namespace

void emptyClipboard(platform::Platform& os) { os.systemCommands.emptyClipboard(); }

void clearRecentDocuments(platform::Platform& os) { os.systemCommands.clearRecentDocuments(); }

void restartComputer(platform::Platform& os) { endSession(os, platform::kEwxReboot); }

void shutDownComputer(platform::Platform& os) { endSession(os, platform::kEwxShutdown); }

}  // namespace commands
