// The yardstick for Quillet's cost at its fastest graph pace: a plain window holding a strip
// chart of the size of Quillet's graph (213 x 212 pixels, a grid every 16 pixels) that, every
// 30 ms, reads the memory status, scrolls its picture one pixel left and draws the memory load
// at the right edge, as a small monitor that does nothing more would. The picture is kept in a
// memory bitmap and copied to the window once per step.
#include <windows.h>

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr int kWidth = 213, kHeight = 212, kGrid = 16, kLeft = 8, kTop = 8;
constexpr COLORREF kGridColor = RGB(0, 128, 0), kLineColor = RGB(0, 255, 0);

HDC image = nullptr;
HBITMAP bitmap = nullptr;
HGDIOBJ oldBitmap = nullptr;
HPEN gridPen = nullptr, linePen = nullptr;
int lastY = kHeight - 1;
int gridPhase = 0;

void makeImage(HWND hwnd) {
    HDC screen = GetDC(hwnd);
    image = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    ReleaseDC(hwnd, screen);
    oldBitmap = SelectObject(image, bitmap);
    gridPen = CreatePen(PS_SOLID, 1, kGridColor);
    linePen = CreatePen(PS_SOLID, 1, kLineColor);
    PatBlt(image, 0, 0, kWidth, kHeight, BLACKNESS);
    SelectObject(image, gridPen);
    for (int x = kWidth - 1; x >= 0; x -= kGrid) {
        MoveToEx(image, x, 0, nullptr);
        LineTo(image, x, kHeight);
    }
    for (int y = 0; y < kHeight; y += kGrid) {
        MoveToEx(image, 0, y, nullptr);
        LineTo(image, kWidth, y);
    }
}

void freeImage() {
    SelectObject(image, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(image);
    DeleteObject(gridPen);
    DeleteObject(linePen);
}

// One step: the picture one pixel left, the new column at the right edge, then on screen.
void step(HWND hwnd) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    const int y = kHeight - 1 - static_cast<int>(status.dwMemoryLoad) * (kHeight - 1) / 100;

    BitBlt(image, 0, 0, kWidth - 1, kHeight, image, 1, 0, SRCCOPY);
    PatBlt(image, kWidth - 1, 0, 1, kHeight, BLACKNESS);
    gridPhase = (gridPhase + 1) % kGrid;
    SelectObject(image, gridPen);
    if (gridPhase == 0) {
        MoveToEx(image, kWidth - 1, 0, nullptr);
        LineTo(image, kWidth - 1, kHeight);
    } else {
        for (int gy = 0; gy < kHeight; gy += kGrid) SetPixel(image, kWidth - 1, gy, kGridColor);
    }
    SelectObject(image, linePen);
    MoveToEx(image, kWidth - 2, lastY, nullptr);
    LineTo(image, kWidth - 1, y);
    SetPixel(image, kWidth - 1, y, kLineColor);
    lastY = y;

    HDC dc = GetDC(hwnd);
    BitBlt(dc, kLeft, kTop, kWidth, kHeight, image, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        makeImage(hwnd);
        SetTimer(hwnd, kTimerId, 30, nullptr);
        return 0;
    case WM_TIMER:
        step(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        BitBlt(dc, kLeft, kTop, kWidth, kHeight, image, 0, 0, SRCCOPY);
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
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuilletGraphBaseline";
    if (RegisterClassExW(&wc) == 0) return 1;
    RECT frame{0, 0, kLeft * 2 + kWidth, kTop * 2 + kHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"曲线基准", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    freeImage();
    return static_cast<int>(msg.wParam);
}
