#include "win32/services/win32_process.h"

#include <windows.h>

#include <string>
#include <vector>

#include "win32/services/system_dll.h"
#include "win32/services/wide_text.h"

namespace win32 {

Win32Process::Win32Process(std::string commandLine) : commandLine_(std::move(commandLine)) {}

std::string Win32Process::programPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return narrow(std::wstring_view(buffer.data(), length));
        if (buffer.size() >= 32768) return narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32Process::windowsFolder() {
    wchar_t buffer[MAX_PATH + 1] = L"";
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return "";
    return narrow(std::wstring_view(buffer, length));
}

std::string Win32Process::applicationDataFolder() {
    // The shell's answer where it has one (shell32 of Windows 2000 and later, and of 95, 98 and
    // NT 4 with a later Internet Explorer's desktop update); else the variable Windows 2000 and
    // later set for every user.
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    static const auto getFolderPath = systemFunction<GetFolderPath>(L"shell32.dll", "SHGetFolderPathW");
    constexpr int kAppData = 0x001A;     // CSIDL_APPDATA
    constexpr DWORD kCurrentPath = 0;    // SHGFP_TYPE_CURRENT
    wchar_t buffer[MAX_PATH + 1] = L"";
    std::wstring folder;
    if (getFolderPath != nullptr && getFolderPath(nullptr, kAppData, nullptr, kCurrentPath, buffer) == S_OK) {
        folder = buffer;
    } else {
        const DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer, MAX_PATH + 1);
        if (length > 0 && length <= MAX_PATH) folder.assign(buffer, length);
    }
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return narrow(folder);
}

std::string Win32Process::longPathName(const std::string& path) {
    const std::wstring wide = widen(path);
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        // The size needed (with the terminating zero) when the buffer is too small.
        const DWORD length = GetLongPathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return path;
        if (length < buffer.size()) return narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(length);
    }
    return path;
}

}  // namespace win32
