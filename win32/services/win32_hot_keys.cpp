// The window system's hot keys and the keyboard layout's names of keys.
#include "win32/services/win32_window_system.h"

#include <windows.h>

#include <string>

#include "win32/services/wide_text.h"

namespace win32 {

bool Win32WindowSystem::registerHotKey(platform::Window window, int id, uint32_t modifiers, uint32_t virtualKey) {
    return RegisterHotKey(reinterpret_cast<HWND>(window), id, modifiers, virtualKey) != FALSE;
}

void Win32WindowSystem::unregisterHotKey(platform::Window window, int id) { UnregisterHotKey(reinterpret_cast<HWND>(window), id); }

std::string Win32WindowSystem::keyName(uint16_t virtualKey) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, 0);  // MAPVK_VK_TO_VSC
    if (scanCode == 0) return {};
    wchar_t name[64] = L"";
    const int length = GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, 64);
    return length > 0 ? narrow(std::wstring(name, static_cast<size_t>(length))) : std::string();
}

}  // namespace win32
