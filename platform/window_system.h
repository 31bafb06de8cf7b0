#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// Opaque window handle; null means "no window".
struct WindowTag;
using Window = WindowTag*;

// Message box flags and answers (Win32 values).
constexpr uint32_t kMbOk = 0x00;
constexpr uint32_t kMbYesNo = 0x04;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconWarning = 0x30;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Open-file dialog flags (Win32 values).
constexpr uint32_t kOfnShowHelp = 0x10;
constexpr uint32_t kOfnPathMustExist = 0x800;
constexpr uint32_t kOfnFileMustExist = 0x1000;

// Window messages the program handles itself (Win32 numbers).
constexpr uint32_t kWmClose = 0x0010;
constexpr uint32_t kWmQueryEndSession = 0x0011;
constexpr uint32_t kWmSettingChange = 0x001A;  // a system metric or setting changed
constexpr uint32_t kWmDisplayChange = 0x007E;  // the screen's resolution changed
constexpr uint32_t kWmDpiChanged = 0x02E0;     // the window's display scale changed
constexpr uint32_t kWmHotKey = 0x0312;
constexpr uint32_t kWmUser = 0x0400;

enum class Frame {
    Sizeable,  // caption, system menu, minimise/maximise buttons, sizing border
    Dialog,    // dialog frame with a caption and no title-bar buttons
};

// A plain window; its client size is in 96-dpi units, shown at the screen's DPI
// (platform/display_scale.h).
struct WindowSpec {
    std::string className;
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    Frame frame = Frame::Sizeable;
    bool centredOnDesktop = false;  // otherwise the system picks the position
};

// Receives the messages of one window. Returns true when it handled the message and
// stored the answer in result; false lets the system's default handling run.
class WindowHandler {
public:
    virtual ~WindowHandler() = default;
    virtual bool handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // A top-level window of this class, visible or hidden, or null.
    virtual Window findTopLevelWindow(const std::string& className) = 0;
    virtual int messageBox(Window owner, const std::string& text, const std::string& caption,
                           uint32_t flags) = 0;

    // Registers the class on first use. Returns null when the window cannot be made.
    virtual Window createWindow(const WindowSpec& layout, WindowHandler* handler) = 0;
    virtual void showWindow(Window window, bool visible) = 0;
    // Paints the window now, before the caller blocks the thread.
    virtual void updateWindow(Window window) = 0;
    virtual void destroyWindow(Window window) = 0;

    // Runs until quitMessageLoop is called. An exception that escapes a handler is passed
    // to the error reporter and the loop goes on.
    virtual void runMessageLoop() = 0;
    virtual void quitMessageLoop() = 0;
    virtual void setErrorReporter(std::function<void(const std::string&)> reporter) = 0;

    // The system-wide number of a named window message (RegisterWindowMessage): every
    // program asking with the same name gets the same number, 0xC000 or above; 0 on failure.
    virtual uint32_t registerWindowMessage(const std::string& name) = 0;
    // Puts a message in the window's queue (any thread may call it); false when it could not.
    virtual bool postMessage(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // The same, from the window's own thread, once its queue has first run empty: every message
    // already waiting, the first paints included, has been handled and the window is ready for
    // input. For start-up work the user need not wait for.
    virtual bool postMessageWhenIdle(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

    // Translucency of a top-level window: the layered style with one alpha for the whole
    // window (255 opaque). Systems before Windows 2000 have no layered windows: false, and the
    // window is left as it was.
    virtual bool setWindowAlpha(Window window, uint8_t alpha) = 0;
    // Takes the layered style away: the window is opaque again.
    virtual void clearWindowAlpha(Window window) = 0;

    // System-wide hot keys delivered to the window as WM_HOTKEY with the id. modifiers: 1 Alt,
    // 2 Ctrl, 4 Shift. False when the combination is taken (by another program, say).
    virtual bool registerHotKey(Window window, int id, uint32_t modifiers, uint32_t virtualKey) = 0;
    virtual void unregisterHotKey(Window window, int id) = 0;
    // The keyboard layout's name of a virtual key (empty when it has none).
    virtual std::string keyName(uint16_t virtualKey) = 0;

    // Brings the window to the front and gives it the keyboard (SetForegroundWindow).
    virtual void bringToFront(Window window) = 0;
    // The mouse pointer's position on the screen.
    virtual void cursorPosition(int& x, int& y) = 0;
    // Where the top-left corner of the window's client area lies on the screen.
    virtual void clientOrigin(Window window, int& x, int& y) = 0;

    // The system's open-file dialog, owned by `owner`, with no filter, no initial folder and
    // the given flags (kOfn...). The chosen path, or empty when the user cancelled.
    virtual std::string chooseFileToOpen(Window owner, uint32_t flags) = 0;
};

}  // namespace platform
