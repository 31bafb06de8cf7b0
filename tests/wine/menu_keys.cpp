// The main menu of the running program chosen with the keyboard, for every driver.
#include "tests/wine/menu_keys.h"

#include <cctype>

#include "mainwindow/main_form_layout.h"

namespace e2e {

// The access letter of a menu caption ("查看(&V)" -> 'v'), or 0.
wchar_t accessLetter(const std::string& caption) {
    const size_t amp = caption.find('&');
    if (amp == std::string::npos || amp + 1 >= caption.size()) return 0;
    return static_cast<wchar_t>(std::tolower(static_cast<unsigned char>(caption[amp + 1])));
}

// Whether one of the process's menus is open.
bool menuOpen(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    for (HWND menu : windowsOf(process, L"#32768"))
        if (IsWindowVisible(menu)) return true;
    return false;
}

// Chooses a main-menu item with the keyboard, as a user without a mouse would: Alt and the
// menu's letter open it (the first item is then highlighted), then the item's own letter, or
// the Down key to the item and Enter. (Menus of another process cannot be read from here
// under Wine, so the tables say where the item is.) Returns whether the menu opened and
// closed again.
bool chooseMenuItem(HWND window, const std::string& itemName) {
    const mainwindow::MenuItemLayout* item = mainwindow::findMenuItem(itemName);
    const mainwindow::MenuItemLayout* menu = item != nullptr ? mainwindow::findMenuItem(item->parent) : nullptr;
    if (menu == nullptr || menu->parent != mainwindow::kMainMenuName) return false;
    const wchar_t menuLetter = accessLetter(menu->caption);
    if (menuLetter == 0) return false;
    PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, menuLetter);
    if (!waitUntil([&] { return menuOpen(window); })) return false;
    if (const wchar_t letter = accessLetter(item->caption)) {
        PostMessageW(window, WM_CHAR, letter, 1);
    } else {
        for (const mainwindow::MenuItemLayout* other : mainwindow::childMenuItems(menu->name)) {
            if (other == item) break;
            if (other->separator) continue;
            PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
        }
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
    }
    return waitUntil([&] { return !IsWindow(window) || !menuOpen(window); });
}

}  // namespace e2e
