#include "win32/services/win32_platform.h"

#include "platform/display_scale.h"
#include "win32/services/display_dpi.h"
#include "win32/services/registry_view.h"
#include "win32/services/system_dll.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <commdlg.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "win32/services/gdi_canvas.h"
#include "win32/services/wide_text.h"
#include "widgets/tray_icon_painter.h"

namespace platform::win32 {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, understood by the loader of a system that has
// SetDefaultDllDirectories.
constexpr DWORD kSearchSystem32 = 0x00000800;

void* kernelProcedure(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name));
}

bool loaderSearchesSystem32Only() {
    static const bool known = kernelProcedure("SetDefaultDllDirectories") != nullptr;
    return known;
}

}  // namespace

void restrictLibrarySearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
    if (auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(kernelProcedure("SetDefaultDllDirectories"));
        setDefault != nullptr && setDefault(kSearchSystem32))
        return;
    // Windows XP SP1 and later: the current folder leaves the search.
    if (auto setDllDirectory = reinterpret_cast<SetDllDirectoryWFn>(kernelProcedure("SetDllDirectoryW")))
        setDllDirectory(L"");
}

void* systemProcedure(const wchar_t* dll, const char* name) {
    HMODULE module = nullptr;
    if (loaderSearchesSystem32Only()) {
        module = LoadLibraryExW(dll, nullptr, kSearchSystem32);
    } else {
        // By its full path; what it needs is looked for beside it first, in the system folder,
        // not beside the program.
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}


namespace {

Win32Platform* theInstance = nullptr;

static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize, "short version record");
static_assert(sizeof(OSVERSIONINFOEXA) == kOsVersionInfoExSize, "extended version record");

HWND toHwnd(Window window) { return reinterpret_cast<HWND>(window); }

HKEY toHkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

HKEY rootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users: return HKEY_USERS;
        case RegistryRoot::DynData: return HKEY_DYN_DATA;  // 0x80000006
    }
    return nullptr;
}

bool isTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Text from the system's ANSI code page as UTF-8.
std::string fromAnsi(const char* text, size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, size, wide.data(), wideLength);
    return narrow(wide);
}
Window toWindow(HWND hwnd) { return reinterpret_cast<Window>(hwnd); }

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* handler = reinterpret_cast<WindowHandler*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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

Win32Platform::Win32Platform(std::string commandLine) : commandLine_(std::move(commandLine)) { theInstance = this; }

Win32Platform::~Win32Platform() {
    if (theInstance == this) theInstance = nullptr;
}

// --- Memory -----------------------------------------------------------------

void Win32Platform::globalMemoryStatus(MemoryStatusRecord& record) {
    // The extended query (2000 and later) gives true 64-bit figures beyond 4 GB; the legacy
    // call saturates or wraps there. Looked up at run time so the program still starts where it is missing.
    using StatusEx = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    static const auto statusEx =
        reinterpret_cast<StatusEx>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GlobalMemoryStatusEx")));
    if (statusEx != nullptr) {
        MEMORYSTATUSEX ex{};
        ex.dwLength = sizeof ex;
        if (statusEx(&ex)) {
            record.memoryLoad = ex.dwMemoryLoad;
            record.totalPhys = ex.ullTotalPhys;
            record.availPhys = ex.ullAvailPhys;
            record.totalPageFile = ex.ullTotalPageFile;
            record.availPageFile = ex.ullAvailPageFile;
            record.totalVirtual = ex.ullTotalVirtual;
            record.availVirtual = ex.ullAvailVirtual;
            return;
        }
    }
    MEMORYSTATUS legacy{};
    legacy.dwLength = record.length;
    GlobalMemoryStatus(&legacy);
    record.memoryLoad = legacy.dwMemoryLoad;
    record.totalPhys = legacy.dwTotalPhys;
    record.availPhys = legacy.dwAvailPhys;
    record.totalPageFile = legacy.dwTotalPageFile;
    record.availPageFile = legacy.dwAvailPageFile;
    record.totalVirtual = legacy.dwTotalVirtual;
    record.availVirtual = legacy.dwAvailVirtual;
}

void* Win32Platform::virtualAlloc(uint64_t size, uint32_t allocationType, uint32_t protect) {
    // A 32-bit process cannot even name a block of 4 GB or more.
    if (size > std::numeric_limits<SIZE_T>::max()) return nullptr;
    return VirtualAlloc(nullptr, static_cast<SIZE_T>(size), allocationType, protect);
}

bool Win32Platform::virtualFree(void* base, uint64_t size, uint32_t freeType) {
    if (size > std::numeric_limits<SIZE_T>::max()) return false;
    return VirtualFree(base, static_cast<SIZE_T>(size), freeType) != FALSE;
}

// --- Clock ------------------------------------------------------------------

uint32_t Win32Platform::tickCount() { return GetTickCount(); }
void Win32Platform::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

// --- Process ----------------------------------------------------------------

std::string Win32Platform::programPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return narrow(std::wstring_view(buffer.data(), length));
        if (buffer.size() >= 32768) return narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32Platform::windowsFolder() {
    wchar_t buffer[MAX_PATH + 1] = L"";
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return "";
    return narrow(std::wstring_view(buffer, length));
}

std::string Win32Platform::applicationDataFolder() {
    // The shell's answer where it has one (shell32 of Windows 2000 and later, and of 95, 98 and
    // NT 4 with a later Internet Explorer's desktop update); else the variable Windows 2000 and
    // later set for every user.
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    static const auto getFolderPath = systemFunction<GetFolderPath>(L"shell32.dll", "SHGetFolderPathW");
    constexpr int kAppData = 0x001A;     // CSIDL_APPDATA
    constexpr DWORD kCurrentPath = 0;    // SHGFP_TYPE_CURRENT
    wchar_t buffer[MAX_PATH + 1] = L"";
    std::wstring folder;
    if (getFolderPath != nullptr && getFolderPath(nullptr, kAppData, nullptr, kCurrentPath, buffer) == S_OK) {
        folder = buffer;
    } else {
        const DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer, MAX_PATH + 1);
        if (length > 0 && length <= MAX_PATH) folder.assign(buffer, length);
    }
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return narrow(folder);
}

// --- Windows ----------------------------------------------------------------

Window Win32Platform::findTopLevelWindow(const std::string& className) {
    return toWindow(FindWindowW(widen(className).c_str(), nullptr));
}

int Win32Platform::messageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) {
    return MessageBoxW(toHwnd(owner), widen(text).c_str(), widen(caption).c_str(), flags);
}

bool Win32Platform::registerClass(const std::string& className) {
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

Window Win32Platform::createWindow(const WindowSpec& layout, WindowHandler* handler) {
    if (!registerClass(layout.className)) return nullptr;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    if (layout.frame == Frame::Dialog) {
        style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        exStyle = WS_EX_DLGMODALFRAME;
    }
    // The layout is in 96-dpi units: the client area takes the size it has at the screen's DPI.
    const int dpi = systemDpi();
    RECT frame{0, 0, scaledLength(layout.clientWidth, dpi), scaledLength(layout.clientHeight, dpi)};
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

void Win32Platform::showWindow(Window window, bool visible) {
    ShowWindow(toHwnd(window), visible ? SW_SHOW : SW_HIDE);
}

void Win32Platform::updateWindow(Window window) {
    HWND hwnd = toHwnd(window);
    UpdateWindow(hwnd);
    // Let the window's pending messages through so it is drawn before the thread blocks.
    MSG msg;
    while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Win32Platform::destroyWindow(Window window) { DestroyWindow(toHwnd(window)); }

void Win32Platform::runMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and the arrow keys move between the controls of the window the message
        // is for, as in a dialog.
        HWND top = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (top != nullptr && IsDialogMessageW(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Platform::quitMessageLoop() { PostQuitMessage(0); }

uint32_t Win32Platform::registerWindowMessage(const std::string& name) {
    return RegisterWindowMessageW(widen(name).c_str());
}

bool Win32Platform::setWindowAlpha(Window window, uint8_t alpha) {
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

void Win32Platform::clearWindowAlpha(Window window) {
    auto* hwnd = reinterpret_cast<HWND>(window);
    const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}

bool Win32Platform::postMessage(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

// --- Threads ----------------------------------------------------------------

namespace {
DWORD WINAPI runThreadBody(LPVOID parameter) {
    std::unique_ptr<std::function<uint32_t()>> body(static_cast<std::function<uint32_t()>*>(parameter));
    try {
        return (*body)();
    } catch (...) {
        return 0;  // nothing may unwind out of a thread
    }
}
}  // namespace

Thread Win32Platform::createSuspendedThread(std::function<uint32_t()> body) {
    auto parameter = std::make_unique<std::function<uint32_t()>>(std::move(body));
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, runThreadBody, parameter.get(), CREATE_SUSPENDED, &id);
    if (thread == nullptr) return nullptr;
    parameter.release();  // the thread owns it now
    return reinterpret_cast<Thread>(thread);
}

void Win32Platform::setBelowNormalPriority(Thread thread) {
    SetThreadPriority(reinterpret_cast<HANDLE>(thread), THREAD_PRIORITY_BELOW_NORMAL);
}
void Win32Platform::resumeThread(Thread thread) { ResumeThread(reinterpret_cast<HANDLE>(thread)); }
void Win32Platform::suspendThread(Thread thread) { SuspendThread(reinterpret_cast<HANDLE>(thread)); }
void Win32Platform::closeThread(Thread thread) { CloseHandle(reinterpret_cast<HANDLE>(thread)); }

bool Win32Platform::registerHotKey(Window window, int id, uint32_t modifiers, uint32_t virtualKey) {
    return RegisterHotKey(reinterpret_cast<HWND>(window), id, modifiers, virtualKey) != FALSE;
}

void Win32Platform::unregisterHotKey(Window window, int id) { UnregisterHotKey(reinterpret_cast<HWND>(window), id); }

std::string Win32Platform::keyName(uint16_t virtualKey) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, 0);  // MAPVK_VK_TO_VSC
    if (scanCode == 0) return {};
    wchar_t name[64] = L"";
    const int length = GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, 64);
    return length > 0 ? narrow(std::wstring(name, static_cast<size_t>(length))) : std::string();
}

// --- Tray -------------------------------------------------------------------

namespace {
Win32Platform::ShellRecordObserver shellRecordObserver = nullptr;

bool callShell(DWORD action, NOTIFYICONDATAW& data) {
    static const auto notify = systemFunction<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    if (shellRecordObserver != nullptr) shellRecordObserver(action, &data);
    return notify != nullptr && notify(action, &data) != FALSE;
}

// The record every shell version knows (the 64-character tip of the first one).
bool notifyIcon(DWORD action, Window window, uint32_t id, uint32_t callbackMessage, Icon icon, const std::string& tip,
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

void Win32Platform::observeShellRecords(ShellRecordObserver observer) { shellRecordObserver = observer; }

bool Win32Platform::addTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                                const std::string& tip) {
    return notifyIcon(NIM_ADD, window, id, callbackMessage, icon, tip, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

bool Win32Platform::modifyTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                                   const std::string& tip) {
    return notifyIcon(NIM_MODIFY, window, id, callbackMessage, icon, tip, NIF_ICON | NIF_TIP);
}

void Win32Platform::deleteTrayIcon(Window window, uint32_t id) { notifyIcon(NIM_DELETE, window, id, 0, nullptr, "", 0); }

bool Win32Platform::showTrayBalloon(Window window, uint32_t id, const std::string& title, const std::string& text) {
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

HFONT createFont(const Font& font) {
    // The same font the GDI canvas draws text with.
    return CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       widen(font.face).c_str());
}

}  // namespace

int Win32Platform::trayIconSize(Window window) {
    // The small-icon size at the DPI of the window's monitor (the system's where Windows keeps
    // one DPI for every window).
    const int size = window != nullptr ? systemMetric(SM_CXSMICON, windowDpi(toHwnd(window)))
                                       : GetSystemMetrics(SM_CXSMICON);
    // Whatever a theme or a broken answer says, a picture the painter can make.
    return size <= 0 ? widgets::kTrayIconSize : std::clamp(size, 8, 256);
}

Font Win32Platform::trayIconFont(const std::string& digits, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    Font font = widgets::trayIconFontForSize(digits, size, [dc](const std::string& text, const Font& candidate) {
        HFONT handle = createFont(candidate);
        HGDIOBJ old = SelectObject(dc, handle);
        const std::wstring wide = widen(text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        SelectObject(dc, old);
        DeleteObject(handle);
        return static_cast<int>(extent.cx);
    });
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return font;
}

Icon Win32Platform::drawTrayIcon(int size, const std::string& digits, int textX, uint32_t lineColor, bool redDot) {
    HBITMAP colour = nullptr;
    try {
        GdiCanvas picture(size, size);
        widgets::paintTrayIcon(picture, digits, textX, trayIconFont(digits, size), lineColor, redDot);
        // The icon takes a bitmap of the screen's kind that no device context holds.
        HDC screen = GetDC(nullptr);
        colour = CreateCompatibleBitmap(screen, size, size);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, colour);
        BitBlt(dc, 0, 0, size, size, static_cast<HDC>(picture.deviceContext()), 0, 0, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    } catch (const std::exception&) {
        // Out of drawing resources: no picture this time rather than an error every tick.
        if (colour != nullptr) DeleteObject(colour);
        return nullptr;
    }
    // An all-black mask (its rows padded to whole 16-bit words): every pixel of the icon is opaque.
    const std::vector<uint8_t> opaque(static_cast<size_t>((size + 15) / 16 * 2) * static_cast<size_t>(size), 0);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, opaque.data());
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    HICON icon = mask != nullptr && colour != nullptr ? CreateIconIndirect(&info) : nullptr;
    if (mask != nullptr) DeleteObject(mask);
    if (colour != nullptr) DeleteObject(colour);
    return reinterpret_cast<Icon>(icon);
}

Icon Win32Platform::programIcon() {
    return reinterpret_cast<Icon>(LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
}

void Win32Platform::destroyIcon(Icon icon) {
    // The program's own icon is shared and stays; drawn ones go.
    if (icon != nullptr && icon != programIcon()) DestroyIcon(reinterpret_cast<HICON>(icon));
}

void Win32Platform::bringToFront(Window window) { SetForegroundWindow(reinterpret_cast<HWND>(window)); }

void Win32Platform::cursorPosition(int& x, int& y) {
    POINT point{};
    GetCursorPos(&point);
    x = point.x;
    y = point.y;
}

void Win32Platform::clientOrigin(Window window, int& x, int& y) {
    POINT point{};
    ClientToScreen(toHwnd(window), &point);
    x = point.x;
    y = point.y;
}

std::string Win32Platform::chooseFileToOpen(Window owner, uint32_t flags) {
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

void Win32Platform::setErrorReporter(std::function<void(const std::string&)> reporter) {
    errorReporter_ = std::move(reporter);
}

void Win32Platform::reportError(const std::string& message) {
    if (errorReporter_) errorReporter_(message);
}

// --- Shell ------------------------------------------------------------------

void Win32Platform::playSound(const std::string& file, uint32_t flags) {
    using Play = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    static const Play play = systemFunction<Play>(L"winmm.dll", "PlaySoundW");
    if (play != nullptr) play(widen(file).c_str(), nullptr, flags);
}

intptr_t Win32Platform::shellExecute(Window owner, const std::string& verb, const std::string& file,
                                     const std::string& parameters, const std::string& directory, int showCommand) {
    static const auto execute = systemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute == nullptr) return 0;  // "out of memory or resources", as the shell itself says it
    const std::wstring wideDirectory = widen(directory);
    HINSTANCE result = execute(toHwnd(owner), widen(verb).c_str(), widen(file).c_str(),
                                     widen(parameters).c_str(), directory.empty() ? nullptr : wideDirectory.c_str(),
                                     showCommand);
    return reinterpret_cast<intptr_t>(result);
}

// --- System commands --------------------------------------------------------

static_assert(kEwxShutdown == EWX_SHUTDOWN && kEwxReboot == EWX_REBOOT, "ExitWindowsEx flags");

void Win32Platform::emptyClipboard() {
    // While another program holds the clipboard open there is nothing to empty.
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

void Win32Platform::clearRecentDocuments() {
    // A null path clears the list. The ANSI path flag (2) is the one every shell knows; with no
    // path there is no text to convert.
    static const auto clear = systemFunction<decltype(&SHAddToRecentDocs)>(L"shell32.dll", "SHAddToRecentDocs");
    if (clear != nullptr) clear(SHARD_PATHA, nullptr);
}

void Win32Platform::enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // The privilege stays enabled in the process's token after the handle is closed.
    CloseHandle(token);
}

void Win32Platform::exitWindows(uint32_t flags) { ExitWindowsEx(flags, 0); }

// --- Operating-system version ----------------------------------------------

bool Win32Platform::getVersionEx(OsVersionRecord& record) {
    // Only the two sizes the system knows: the call writes as much as the size field says.
    if (record.size != kOsVersionInfoSize && record.size != kOsVersionInfoExSize) return false;
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = record.size;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    const size_t ansiLength = strnlen(info.szCSDVersion, sizeof info.szCSDVersion);
    std::string servicePack = fromAnsi(info.szCSDVersion, ansiLength);
    size_t length = std::min(servicePack.size(), sizeof record.servicePack - 1);
    while (length < servicePack.size() && length > 0 && (static_cast<unsigned char>(servicePack[length]) & 0xC0) == 0x80) {
        --length;  // never cut a character in two
    }
    std::memset(record.servicePack, 0, sizeof record.servicePack);
    std::memcpy(record.servicePack, servicePack.data(), length);
    if (record.size == kOsVersionInfoExSize) {
        record.servicePackMajor = info.wServicePackMajor;
        record.servicePackMinor = info.wServicePackMinor;
        record.suiteMask = info.wSuiteMask;
        record.productType = info.wProductType;
        record.reserved = info.wReserved;
    }
    return true;
}

// --- NT system information ---------------------------------------------------

bool Win32Platform::findNtQuerySystemInformation() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll");
    ntQuery_ = ntdll != nullptr ? reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")) : nullptr;
    return ntQuery_ != nullptr;
}

int32_t Win32Platform::ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    if (ntQuery_ == nullptr) return kStatusProcedureNotFound;
    return static_cast<int32_t>(reinterpret_cast<Query>(ntQuery_)(infoClass, buffer, size, nullptr));
}

// --- Registry ---------------------------------------------------------------

long Win32Platform::openKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(rootKey(root), widen(path).c_str(), 0, access | registryViewAccess(), &opened);
    if (result == ERROR_SUCCESS) key = reinterpret_cast<RegistryKey>(opened);
    return result;
}

long Win32Platform::createKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key,
                              bool* created) {
    HKEY opened = nullptr;
    DWORD disposition = 0;
    const LONG result = RegCreateKeyExW(rootKey(root), widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access | registryViewAccess(), nullptr, &opened, &disposition);
    if (result == ERROR_SUCCESS) {
        key = reinterpret_cast<RegistryKey>(opened);
        if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
    }
    return result;
}

long Win32Platform::queryValue(RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) {
    const std::wstring wideName = widen(name);
    DWORD valueType = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExW(toHkey(key), wideName.c_str(), nullptr, &valueType, nullptr, &size);
    if (result != ERROR_SUCCESS) return result;
    std::vector<BYTE> buffer;
    // A value can grow between the two calls: ask again with the new size a few times.
    for (int attempt = 0; attempt < 8; ++attempt) {
        buffer.resize(std::max<DWORD>(size, 1));
        DWORD got = static_cast<DWORD>(buffer.size());
        result = RegQueryValueExW(toHkey(key), wideName.c_str(), nullptr, &valueType, buffer.data(), &got);
        if (result == ERROR_MORE_DATA) {
            size = std::max<DWORD>(got, static_cast<DWORD>(buffer.size()) * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) return result;
        buffer.resize(got);
        type = valueType;
        if (isTextType(valueType)) {
            const auto* units = reinterpret_cast<const wchar_t*>(buffer.data());
            const std::string text = narrow(std::wstring_view(units, buffer.size() / sizeof(wchar_t)));
            data.assign(text.begin(), text.end());
        } else {
            data.assign(buffer.begin(), buffer.end());
        }
        return ERROR_SUCCESS;
    }
    return result;
}

long Win32Platform::setValue(RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
    static const BYTE nothing = 0;
    const std::wstring wideName = widen(name);
    if (isTextType(type)) {
        const std::wstring text = widen(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
        return RegSetValueExW(toHkey(key), wideName.c_str(), 0, type,
                              text.empty() ? &nothing : reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }
    return RegSetValueExW(toHkey(key), wideName.c_str(), 0, type, data.empty() ? &nothing : data.data(),
                          static_cast<DWORD>(data.size()));
}

long Win32Platform::deleteValue(RegistryKey key, const std::string& name) {
    return RegDeleteValueW(toHkey(key), widen(name).c_str());
}

long Win32Platform::closeKey(RegistryKey key) { return RegCloseKey(toHkey(key)); }

// --- Profile ----------------------------------------------------------------

int Win32Platform::getInt(const std::string& path, const std::string& section, const std::string& key,
                          int defaultValue) {
    return static_cast<int>(GetPrivateProfileIntW(widen(section).c_str(), widen(key).c_str(), defaultValue,
                                                  widen(path).c_str()));
}

std::string Win32Platform::getString(const std::string& path, const std::string& section, const std::string& key,
                                     const std::string& defaultValue) {
    wchar_t buffer[255] = L"";  // 254 characters and the terminating zero
    GetPrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), widen(defaultValue).c_str(), buffer, 255,
                             widen(path).c_str());
    return narrow(buffer);
}

bool Win32Platform::writeString(const std::string& path, const std::string& section, const std::string& key,
                                const std::string& value) {
    return WritePrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), widen(value).c_str(),
                                      widen(path).c_str()) != FALSE;
}

bool Win32Platform::fileExists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Platform::copyFile(const std::string& from, const std::string& to) {
    return CopyFileW(widen(from).c_str(), widen(to).c_str(), FALSE) != FALSE;
}

bool Win32Platform::createFolder(const std::string& path) {
    const std::wstring folder = widen(path);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Platform::replaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = widen(from), target = widen(to);
    // A read-only file is not to be changed: Windows refuses to replace it, and so does this
    // wherever the system would not (Wine does replace it).
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    // Windows 95, 98 and ME cannot replace in one step: the old file goes just before.
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(target.c_str())) return false;
    return MoveFileW(source.c_str(), target.c_str()) != FALSE;
}

bool Win32Platform::deleteFile(const std::string& path) {
    const std::wstring file = widen(path);
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // a copy of a read-only file is read-only
    return DeleteFileW(file.c_str()) != FALSE;
}

}  // namespace platform::win32
