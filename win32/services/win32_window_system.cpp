#include "win32/services/win32_window_system.h"

#include <windows.h>
#include <commdlg.h>

#include <exception>
#include <string>

#include "platform/display_scale.h"
#include "win32/services/display_dpi.h"
#include "win32/services/system_dll.h"
#include "win32/services/wide_text.h"

namespace win32 {

namespace {

Win32WindowSystem* theInstance = nullptr;

HWND toHwnd(platform::Window window) { return reinterpret_cast<HWND>(window); }

platform::Window toWindow(HWND hwnd) { return reinterpret_cast<platform::Window>(hwnd); }

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* handler = reinterpret_cast<platform::WindowHandler*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (handler != nullptr) {
        // Exceptions must not unwind through the system's frames: report them here and go on.
        try {
            intptr_t result = 0;
            if (handler->handleMessage(message, wParam, lParam, result)) return result;
        } catch (const std::exception& e) {
            if (theInstance != nullptr) theInstance->reportError(e.what());
            return 0;
        } catch (...) {
            if (theInstance != nullptr) theInstance->reportError("未知错误。");
            return 0;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

Win32WindowSystem::Win32WindowSystem() { theInstance = this; }

Win32WindowSystem::~Win32WindowSystem() {
    if (theInstance == this) theInstance = nullptr;
}

platform::Window Win32WindowSystem::findTopLevelWindow(const std::string& className) {
    return toWindow(FindWindowW(widen(className).c_str(), nullptr));
}

int Win32WindowSystem::messageBox(platform::Window owner, const std::string& text, const std::string& caption, uint32_t flags) {
    return MessageBoxW(toHwnd(owner), widen(text).c_str(), widen(caption).c_str(), flags);
}

bool Win32WindowSystem::registerClass(const std::string& className) {
    if (registeredClasses_.count(className) != 0) return true;
    const std::wstring name = widen(className);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name.c_str();
    if (RegisterClassExW(&wc) == 0) return false;
    registeredClasses_.insert(className);
    return true;
}

platform::Window Win32WindowSystem::createWindow(const platform::WindowSpec& layout, platform::WindowHandler* handler) {
    if (!registerClass(layout.className)) return nullptr;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    if (layout.frame == platform::Frame::Dialog) {
        style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        exStyle = WS_EX_DLGMODALFRAME;
    }
    // The layout is in 96-dpi units: the client area takes the size it has at the screen's DPI.
    const int dpi = systemDpi();
    RECT frame{0, 0, platform::scaledLength(layout.clientWidth, dpi), platform::scaledLength(layout.clientHeight, dpi)};
    adjustWindowRect(frame, style, false, exStyle, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (layout.centredOnDesktop) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    HWND hwnd = CreateWindowExW(exStyle, widen(layout.className).c_str(), widen(layout.caption).c_str(), style, x, y, width,
                                height, nullptr, nullptr, GetModuleHandleW(nullptr), handler);
    return toWindow(hwnd);
}

void Win32WindowSystem::showWindow(platform::Window window, bool visible) {
    ShowWindow(toHwnd(window), visible ? SW_SHOW : SW_HIDE);
}

void Win32WindowSystem::updateWindow(platform::Window window) {
    HWND hwnd = toHwnd(window);
    UpdateWindow(hwnd);
    // Let the window's pending messages through so it is drawn before the thread blocks.
    MSG msg;
    while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Win32WindowSystem::destroyWindow(platform::Window window) { DestroyWindow(toHwnd(window)); }

void Win32WindowSystem::runMessageLoop() {
    UINT_PTR idleTimer = 0;
    const auto postWaiting = [this, &idleTimer] {
        if (idleTimer != 0) KillTimer(nullptr, idleTimer);
        idleTimer = 0;
        const std::vector<Posting> due = std::move(whenIdle_);
        whenIdle_.clear();
        for (const Posting& p : due) postMessage(p.window, p.message, p.wParam, p.lParam);
    };
    MSG msg;
    for (;;) {
        // Once nothing is waiting the thread blocks in GetMessage: the moment the system counts
        // the program ready for input (what WaitForInputIdle waits for). The work that waited
        // for that moment comes right after it, on the thread's shortest timer.
        if (!whenIdle_.empty() && idleTimer == 0 && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
            idleTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, nullptr);
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        // Any timer comes only when nothing else waits; its handler may open a dialog with a
        // loop of its own, which must find the waiting work posted.
        if (msg.message == WM_TIMER && !whenIdle_.empty()) {
            const bool ours = msg.hwnd == nullptr && msg.wParam == idleTimer;
            postWaiting();
            if (ours) continue;
        }
        // Tab, Shift+Tab and the arrow keys move between the controls of the window the message
        // is for, as in a dialog.
        HWND top = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (top != nullptr && IsDialogMessageW(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32WindowSystem::quitMessageLoop() { PostQuitMessage(0); }

uint32_t Win32WindowSystem::registerWindowMessage(const std::string& name) {
    return RegisterWindowMessageW(widen(name).c_str());
}

bool Win32WindowSystem::setWindowAlpha(platform::Window window, uint8_t alpha) {
    // Looked up at run time: user32 of Windows 95, 98, ME and NT 4 has no layered windows.
    using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE user32 = LoadLibraryA("user32");
    if (user32 == nullptr) return false;
    const auto setLayered = reinterpret_cast<SetLayeredWindowAttributesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    if (setLayered != nullptr) {
        auto* hwnd = reinterpret_cast<HWND>(window);
        const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        setLayered(hwnd, 0, alpha, LWA_ALPHA);
    }
    FreeLibrary(user32);
    return setLayered != nullptr;
}

void Win32WindowSystem::clearWindowAlpha(platform::Window window) {
    auto* hwnd = reinterpret_cast<HWND>(window);
    const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}

bool Win32WindowSystem::postMessage(platform::Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

bool Win32WindowSystem::postMessageWhenIdle(platform::Window window, uint32_t message, uintptr_t wParam,
                                            intptr_t lParam) {
    whenIdle_.push_back({window, message, wParam, lParam});
    return true;
}

void Win32WindowSystem::bringToFront(platform::Window window) { SetForegroundWindow(reinterpret_cast<HWND>(window)); }

void Win32WindowSystem::cursorPosition(int& x, int& y) {
    POINT point{};
    GetCursorPos(&point);
    x = point.x;
    y = point.y;
}

void Win32WindowSystem::clientOrigin(platform::Window window, int& x, int& y) {
    POINT point{};
    ClientToScreen(toHwnd(window), &point);
    x = point.x;
    y = point.y;
}

std::string Win32WindowSystem::chooseFileToOpen(platform::Window owner, uint32_t flags) {
    wchar_t file[256] = L"";
    wchar_t title[256] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = reinterpret_cast<HWND>(owner);
    dialog.lpstrFile = file;
    dialog.nMaxFile = 256;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = 256;
    dialog.Flags = flags;
    using Open = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const Open open = systemFunction<Open>(L"comdlg32.dll", "GetOpenFileNameW");
    if (open == nullptr || !open(&dialog)) return {};
    return narrow(file);
}

void Win32WindowSystem::setErrorReporter(std::function<void(const std::string&)> reporter) {
    errorReporter_ = std::move(reporter);
}

void Win32WindowSystem::reportError(const std::string& message) {
    if (errorReporter_) errorReporter_(message);
}

}  // namespace win32
