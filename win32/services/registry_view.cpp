#include "win32/services/registry_view.h"

#include <windows.h>

namespace win32 {

namespace {

uint32_t findView() {
#ifdef _WIN64
    return 0;  // a 64-bit process sees the 64-bit view already
#else
    // IsWow64Process came with Windows XP SP2 (and 2003 SP1): looked up, so that the program
    // still starts without it. Where it is missing there is no 64-bit view to reach, and older
    // releases (Windows 2000) refuse the flag.
    using IsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    void* found = kernel != nullptr ? reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
    const auto isWow64 = reinterpret_cast<IsWow64Process>(found);
    BOOL wow64 = FALSE;
    if (isWow64 == nullptr || !isWow64(GetCurrentProcess(), &wow64) || !wow64) return 0;
    return KEY_WOW64_64KEY;
#endif
}

}  // namespace

uint32_t registryViewAccess() {
    static const uint32_t access = findView();
    return access;
}

}  // namespace win32
