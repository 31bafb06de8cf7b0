// The screen's DPI as the running Windows knows it. Windows 10 (1607 and 1703) gives each
// window its own DPI (the monitor it is on) and the frame sizes at a DPI; those functions are
// found at run time, so the program still starts where they are missing, and there every
// answer is the system's DPI (GetDeviceCaps LOGPIXELSX), the one DPI of every window.
#pragma once
#include <windows.h>

namespace win32 {

// The system's DPI: what a window starts at before it knows its monitor.
int systemDpi();
// The DPI of the monitor the window is on; the system's DPI where Windows has no per-window DPI.
int windowDpi(HWND window);
// AdjustWindowRectEx with the frame sizes of that DPI.
void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);
// GetSystemMetrics at that DPI (the metric scaled by the system's rule where Windows has no
// per-DPI metrics and the DPI is not the system's).
int systemMetric(int index, int dpi);

}  // namespace win32
