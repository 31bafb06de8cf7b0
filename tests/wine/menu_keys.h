#pragma once
#include <windows.h>

#include <string>

#include "tests/wine/e2e_support.h"

namespace e2e {

// The access letter of a menu caption ("查看(&V)" -> 'v'), or 0.
wchar_t accessLetter(const std::string& caption);
// Whether one of the process's menus is open.
bool menuOpen(HWND window);
// Chooses a main-menu item with the keyboard; returns whether the menu opened and closed again.
bool chooseMenuItem(HWND window, const std::string& itemName);

}  // namespace e2e
