// The yardstick for Quillet's idle cost: a plain window that wakes every 500 ms and draws a
// line of Chinese text in 宋体 (a figure that changes on every tick), as a small monitor that
// does nothing more would. It also serves as the minimal window for the start-up time.
// Built as controls_baseline (QUILLET_BASELINE_COMMON_CONTROLS), it also loads the common controls
// as Quillet does, with Quillet's manifest, and uses none of them. Built as children_baseline
// (QUILLET_BASELINE_CHILD_WINDOWS as well), it is Quillet's main window in size and has the child
// windows of its first page (child_windows.cpp).
#include <windows.h>
#ifdef QUILLET_BASELINE_COMMON_CONTROLS
#include <commctrl.h>
#endif
#ifdef QUILLET_BASELINE_CHILD_WINDOWS
#include "child_windows.h"
#endif

#include <cwchar>

namespace {

constexpr UINT_PTR kTimerId = 1;
HFONT font = nullptr;
unsigned ticks = 0;

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
#ifdef QUILLET_BASELINE_CHILD_WINDOWS
    if (drawChildButton(message, lParam)) return TRUE;
#endif
    switch (message) {
    case WM_CREATE:
        SetTimer(hwnd, kTimerId, 500, nullptr);
        return 0;
    case WM_TIMER:
        ++ticks;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        wchar_t text[64];
        std::swprintf(text, 64, L"可用内存：%u 秒", ticks / 2);
        HGDIOBJ old = SelectObject(dc, font);
        RECT r;
        GetClientRect(hwnd, &r);
        DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_QUERYENDSESSION:  // the benchmark ends it as Quillet is ended: by a log-off
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_DESTROY:
        KillTimer(hwnd, kTimerId);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef QUILLET_BASELINE_COMMON_CONTROLS
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof init;
    init.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&init);
#endif
    font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuilletIdleBaseline";
    if (RegisterClassExW(&wc) == 0) return 1;
#ifdef QUILLET_BASELINE_CHILD_WINDOWS
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, wc.lpszClassName, L"空闲基准", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, 410, 480, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    addChildWindows(hwnd, font);
#else
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"空闲基准", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                                300, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
#endif
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(font);
    return static_cast<int>(msg.wParam);
}
