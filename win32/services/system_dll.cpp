#include "win32/services/system_dll.h"

#include <windows.h>

#include <string>

namespace win32 {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, understood by the loader of a system that has
// SetDefaultDllDirectories.
constexpr DWORD kSearchSystem32 = 0x00000800;

void* kernelProcedure(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name));
}

bool loaderSearchesSystem32Only() {
    static const bool known = kernelProcedure("SetDefaultDllDirectories") != nullptr;
    return known;
}

}  // namespace

void restrictLibrarySearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
    if (auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(kernelProcedure("SetDefaultDllDirectories"));
        setDefault != nullptr && setDefault(kSearchSystem32))
        return;
    // Windows XP SP1 and later: the current folder leaves the search.
    if (auto setDllDirectory = reinterpret_cast<SetDllDirectoryWFn>(kernelProcedure("SetDllDirectoryW")))
        setDllDirectory(L"");
}

void* systemProcedure(const wchar_t* dll, const char* name) {
    HMODULE module = nullptr;
    if (loaderSearchesSystem32Only()) {
        module = LoadLibraryExW(dll, nullptr, kSearchSystem32);
    } else {
        // By its full path; what it needs is looked for beside it first, in the system folder,
        // not beside the program.
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

}  // namespace win32
