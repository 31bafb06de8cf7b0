#include "win32/services/win32_shell.h"

#include <windows.h>
#include <shellapi.h>
#include <mmsystem.h>

#include <string>

#include "win32/services/system_dll.h"
#include "win32/services/wide_text.h"

namespace win32 {

namespace {
HWND toHwnd(platform::Window window) { return reinterpret_cast<HWND>(window); }
}  // namespace

void Win32Shell::playSound(const std::string& file, uint32_t flags) {
    using Play = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    static const Play play = systemFunction<Play>(L"winmm.dll", "PlaySoundW");
    if (play != nullptr) play(widen(file).c_str(), nullptr, flags);
}

intptr_t Win32Shell::shellExecute(platform::Window owner, const std::string& verb, const std::string& file,
                                     const std::string& parameters, const std::string& directory, int showCommand) {
    static const auto execute = systemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute == nullptr) return 0;  // "out of memory or resources", as the shell itself says it
    const std::wstring wideDirectory = widen(directory);
    HINSTANCE result = execute(toHwnd(owner), widen(verb).c_str(), widen(file).c_str(),
                                     widen(parameters).c_str(), directory.empty() ? nullptr : wideDirectory.c_str(),
                                     showCommand);
    return reinterpret_cast<intptr_t>(result);
}

}  // namespace win32
