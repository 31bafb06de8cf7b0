#pragma once
// The running main window as the scenarios drive it from outside (main_window_scenarios.cpp),
// and the display-scale suite built on it (display_scale_scenarios.cpp).
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "tests/wine/e2e_support.h"
#include "tests/wine/menu_keys.h"

namespace e2e {

// Runs Quillet.exe until its main window shows, with every page opened once so that every
// control has its window; ends it through the end-of-session message (answered 1, exit code 0)
// unless the scenario ended it already.
struct MainWindow {
    Child child{L""};
    HWND window = nullptr;
    std::map<std::string, HWND> controls;

    // `meanwhile` runs once the program has started, before its main window shows.
    explicit MainWindow(const std::function<void(const Child&)>& meanwhile = nullptr);
    HWND control(const std::string& name) const;
    void endSession(const std::string& what);
};

// Chooses a View-menu item and waits until its page shows; returns whether it did.
bool showPage(const MainWindow& main, const std::string& item, const std::string& page);

// The main window, the splash and every dialog laid out for the screen's DPI.
void displayScale();

}  // namespace e2e
