#pragma once
#include <cstdint>

#include "platform/system_commands.h"

namespace win32 {

// The commands on the whole system: the clipboard, the recent-documents list, shutting down.
class Win32SystemCommands : public platform::SystemCommands {
public:
    void emptyClipboard() override;
    void clearRecentDocuments() override;
    void enableShutdownPrivilege() override;
    void exitWindows(uint32_t flags) override;
};

}  // namespace win32
