#pragma once
#include <cstdint>

namespace platform {

// ExitWindowsEx flags (Win32 values). No force flag: running programs may still refuse.
constexpr uint32_t kEwxShutdown = 1;
constexpr uint32_t kEwxReboot = 2;

// One-shot requests to the operating system. None reports an outcome: each is a request the
// system may decline, and the program carries on either way.
class SystemCommands {
public:
    virtual ~SystemCommands() = default;
    // Opens the clipboard with no owner, empties it and closes it. Nothing happens while another
    // program holds the clipboard open.
    virtual void emptyClipboard() = 0;
    // Tells the shell to clear its list of recently used documents.
    virtual void clearRecentDocuments() = 0;
    // Enables the shutdown privilege in the current process's token (NT family only; the 9x
    // family has no tokens).
    virtual void enableShutdownPrivilege() = 0;
    // Asks the system to end the session with the given kEwx... flag.
    virtual void exitWindows(uint32_t flags) = 0;
};

}  // namespace platform
