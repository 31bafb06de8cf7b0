#include "win32/services/win32_tray.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <cstdint>
#include <string>
#include <vector>

#include "win32/services/display_dpi.h"
#include "win32/services/gdi_canvas.h"
#include "win32/services/system_dll.h"
#include "win32/services/wide_text.h"

namespace win32 {

namespace {

HWND toHwnd(platform::Window window) { return reinterpret_cast<HWND>(window); }

Win32Tray::ShellRecordObserver shellRecordObserver = nullptr;

bool callShell(DWORD action, NOTIFYICONDATAW& data) {
    static const auto notify = systemFunction<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    if (shellRecordObserver != nullptr) shellRecordObserver(action, &data);
    return notify != nullptr && notify(action, &data) != FALSE;
}

// The record every shell version knows (the 64-character tip of the first one).
bool notifyIcon(DWORD action, platform::Window window, uint32_t id, uint32_t callbackMessage, platform::Icon icon, const std::string& tip,
                UINT flags) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = reinterpret_cast<HWND>(window);
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(icon);
    const std::wstring text = widen(tip).substr(0, 63);
    std::copy(text.begin(), text.end(), data.szTip);
    return callShell(action, data);
}
}  // namespace

void Win32Tray::observeShellRecords(ShellRecordObserver observer) { shellRecordObserver = observer; }

bool Win32Tray::addTrayIcon(platform::Window window, uint32_t id, uint32_t callbackMessage, platform::Icon icon,
                                const std::string& tip) {
    return notifyIcon(NIM_ADD, window, id, callbackMessage, icon, tip, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

bool Win32Tray::modifyTrayIcon(platform::Window window, uint32_t id, uint32_t callbackMessage, platform::Icon icon,
                                   const std::string& tip) {
    return notifyIcon(NIM_MODIFY, window, id, callbackMessage, icon, tip, icon != nullptr ? NIF_ICON | NIF_TIP : NIF_TIP);
}

void Win32Tray::deleteTrayIcon(platform::Window window, uint32_t id) { notifyIcon(NIM_DELETE, window, id, 0, nullptr, "", 0); }

bool Win32Tray::showTrayBalloon(platform::Window window, uint32_t id, const std::string& title, const std::string& text) {
    // The record of the shell that has balloons (Windows 2000 and ME): only the balloon changes.
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = toHwnd(window);
    data.uID = id;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    data.uTimeout = 15000;  // milliseconds; the shell keeps it within its own limits
    const std::wstring wideText = widen(text).substr(0, 255);
    std::copy(wideText.begin(), wideText.end(), data.szInfo);
    const std::wstring wideTitle = widen(title).substr(0, 63);
    std::copy(wideTitle.begin(), wideTitle.end(), data.szInfoTitle);
    return callShell(NIM_MODIFY, data);
}

namespace {
constexpr int kSmallIconAt96Dpi = 16;

// The DPI of the monitor the notification area is on. Where Windows tells each monitor's DPI
// (8.1 and later) that is the taskbar's monitor, which keeps its scale whichever monitor the
// program's windows are moved to, and follows a change of that monitor's scale made after the
// program started. Elsewhere it is the system's DPI, the one scale of every monitor there.
int notificationAreaDpi() {
    using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto monitorOf = systemFunction<MonitorFromWindowFn>(L"user32.dll", "MonitorFromWindow");
    static const auto dpiOf = systemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    if (monitorOf != nullptr && dpiOf != nullptr) {
        constexpr DWORD kDefaultToPrimary = 1;  // MONITOR_DEFAULTTOPRIMARY
        constexpr int kEffectiveDpi = 0;        // MDT_EFFECTIVE_DPI
        HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
        UINT dpiX = 0, dpiY = 0;
        if (HMONITOR monitor = monitorOf(taskbar, kDefaultToPrimary);
            monitor != nullptr && SUCCEEDED(dpiOf(monitor, kEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0)
            return static_cast<int>(dpiX);
    }
    return systemDpi();
}
}  // namespace

int Win32Tray::trayIconSize() {
    const int size = systemMetric(SM_CXSMICON, notificationAreaDpi());
    // Whatever a theme or a broken answer says, a picture the painter can make.
    return size <= 0 ? kSmallIconAt96Dpi : std::clamp(size, 8, 256);
}

platform::Icon Win32Tray::iconFromPicture(const platform::Picture& picture) {
    const int width = picture.width, height = picture.height;
    if (width <= 0 || height <= 0 || picture.pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return nullptr;
    HBITMAP colour = nullptr;
    try {
        GdiCanvas surface(width, height);
        surface.setPicture(picture);
        // The icon takes a bitmap of the screen's kind that no device context holds.
        HDC screen = GetDC(nullptr);
        colour = CreateCompatibleBitmap(screen, width, height);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, colour);
        BitBlt(dc, 0, 0, width, height, static_cast<HDC>(surface.deviceContext()), 0, 0, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    } catch (const std::exception&) {
        // Out of drawing resources: no icon this time.
        if (colour != nullptr) DeleteObject(colour);
        return nullptr;
    }
    // An all-black mask (its rows padded to whole 16-bit words): every pixel of the icon is opaque.
    const std::vector<uint8_t> opaque(static_cast<size_t>((width + 15) / 16 * 2) * static_cast<size_t>(height), 0);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, opaque.data());
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    HICON icon = mask != nullptr && colour != nullptr ? CreateIconIndirect(&info) : nullptr;
    if (mask != nullptr) DeleteObject(mask);
    if (colour != nullptr) DeleteObject(colour);
    return reinterpret_cast<platform::Icon>(icon);
}

platform::Icon Win32Tray::programIcon() {
    return reinterpret_cast<platform::Icon>(LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
}

void Win32Tray::destroyIcon(platform::Icon icon) {
    // The program's own icon is shared and stays; drawn ones go.
    if (icon != nullptr && icon != programIcon()) DestroyIcon(reinterpret_cast<HICON>(icon));
}

}  // namespace win32
