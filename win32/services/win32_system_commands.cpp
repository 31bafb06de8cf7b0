#include "win32/services/win32_system_commands.h"

#include <windows.h>
#include <shlobj.h>

#include "win32/services/system_dll.h"

namespace win32 {

static_assert(platform::kEwxShutdown == EWX_SHUTDOWN && platform::kEwxReboot == EWX_REBOOT, "ExitWindowsEx flags");

void Win32SystemCommands::emptyClipboard() {
    // While another program holds the clipboard open there is nothing to empty.
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

void Win32SystemCommands::clearRecentDocuments() {
    // A null path clears the list. The ANSI path flag (2) is the one every shell knows; with no
    // path there is no text to convert.
    static const auto clear = systemFunction<decltype(&SHAddToRecentDocs)>(L"shell32.dll", "SHAddToRecentDocs");
    if (clear != nullptr) clear(SHARD_PATHA, nullptr);
}

void Win32SystemCommands::enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // The privilege stays enabled in the process's token after the handle is closed.
    CloseHandle(token);
}

void Win32SystemCommands::exitWindows(uint32_t flags) { ExitWindowsEx(flags, 0); }

}  // namespace win32
