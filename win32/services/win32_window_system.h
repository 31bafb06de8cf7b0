#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace win32 {

// Top-level windows and their messages, the message loop, message boxes, translucency, the file
// dialog, the cursor, and the hot keys (win32_hot_keys.cpp). One per process: the window
// procedure of its windows reports what their handlers throw to its error reporter.
class Win32WindowSystem : public platform::WindowSystem {
public:
    Win32WindowSystem();
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

    // Windows and messages
    platform::Window findTopLevelWindow(const std::string& className) override;
    int messageBox(platform::Window owner, const std::string& text, const std::string& caption, uint32_t flags) override;
    platform::Window createWindow(const platform::WindowSpec& layout, platform::WindowHandler* handler) override;
    void showWindow(platform::Window window, bool visible) override;
    void updateWindow(platform::Window window) override;
    void destroyWindow(platform::Window window) override;
    void runMessageLoop() override;
    void quitMessageLoop() override;
    void setErrorReporter(std::function<void(const std::string&)> reporter) override;
    uint32_t registerWindowMessage(const std::string& name) override;
    bool postMessage(platform::Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    bool postMessageWhenIdle(platform::Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    bool setWindowAlpha(platform::Window window, uint8_t alpha) override;
    void clearWindowAlpha(platform::Window window) override;
    void bringToFront(platform::Window window) override;
    void cursorPosition(int& x, int& y) override;
    void clientOrigin(platform::Window window, int& x, int& y) override;
    std::string chooseFileToOpen(platform::Window owner, uint32_t flags) override;

    // Hot keys (win32_hot_keys.cpp)
    bool registerHotKey(platform::Window window, int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotKey(platform::Window window, int id) override;
    std::string keyName(uint16_t virtualKey) override;

    // Hands the message to the error reporter, if one is set.
    void reportError(const std::string& message);

private:
    bool registerClass(const std::string& className);

    struct Posting {
        platform::Window window;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };
    std::vector<Posting> whenIdle_;  // posted by the message loop once the queue runs empty
    std::set<std::string> registeredClasses_;
    std::function<void(const std::string&)> errorReporter_;
};

}  // namespace win32
