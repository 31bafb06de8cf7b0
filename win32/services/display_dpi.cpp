#include "win32/services/display_dpi.h"

#include "platform/display_scale.h"

namespace win32 {

namespace {

template <class F>
F user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)))
                             : nullptr;
}

using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

}  // namespace

int systemDpi() {
    static const int dpi = [] {
        if (const auto forSystem = user32Function<GetDpiForSystemFn>("GetDpiForSystem")) {
            if (const UINT value = forSystem()) return static_cast<int>(value);
        }
        HDC screen = GetDC(nullptr);
        const int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        return value > 0 ? value : platform::kDesignDpi;
    }();
    return dpi;
}

int windowDpi(HWND window) {
    static const auto forWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        if (const UINT value = forWindow(window)) return static_cast<int>(value);
    }
    return systemDpi();
}

void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
    static const auto forDpi = user32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    if (forDpi != nullptr && forDpi(&rect, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle);
}

int systemMetric(int index, int dpi) {
    static const auto forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(index, static_cast<UINT>(dpi));
    return platform::scaledLength(GetSystemMetrics(index), dpi, systemDpi());
}

}  // namespace win32
