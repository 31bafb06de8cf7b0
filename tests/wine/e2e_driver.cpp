// Drives Quillet.exe from another process, as a user would, and checks what appears on screen.
// Usage: quillet_e2e <scenario> <path of Quillet.exe>. Exit code 0 when every check passed.
// quillet_e2e window_rect CLASS... prints where the shown windows of those classes are.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/wine/e2e_support.h"

namespace {

using namespace e2e;
using checks::check;

// --- expected texts, written out here independently of the program's own copy --------------

const wchar_t* const kUsage =
    L"Quillet Command Line Options:\r\n\r\nQuillet /p=Executable /a=Arguments /ram=amount of ram to recover /once\r\n\r\n"
    L"/p= \tName of the executable to run after recovering the specified amount of ram\r\n"
    L"/a= \tCommand line arguments for the executable\r\n"
    L"/ram= \tAmount of RAM to recover before running the specified executable program\r\n"
    L"/once \tTells Quillet to quit after freeing memory and running the optional program\r\n\r\n"
    L"Ex:\r\nQuillet /p=c:\\edit.exe /a=list.txt /ram=80 /once\r\n\r\n"
    L"This example will first free 80MB RAM then execute edit.exe with an argument of list.txt and exit.\r\n\r\n"
    L"These arguments are optional: /p, /a, /once. /ram is required when you specify command line arguments to "
    L"Quillet.";
const wchar_t* const kInvalidAmount =
    L"/ram argument is invalid!\r\n\r\nEx: /ram=128\tSpecifies 128MB\r\n"
    L"如果使用相同的数值或用三位数的数值设定最大值，则这个参数您必须设定.                    ";
const wchar_t* const kAlreadyRunning =
    L"Quillet 已经运行！您不能同时运行多个副本。  \n所以这个进程即将被关闭，请您谅解。                   \n\n"
    L"如果Quillet运行界面未显示在屏幕上，您可以\n使用以下两种方法激活它：\n(1) 点击任务栏中的图标。                \n"
    L"(2) 点击系统托盘里的图标。";

// --- message boxes ---------------------------------------------------------------------------

struct MessageBoxView {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    HWND iconControl = nullptr;
    std::vector<std::wstring> buttons;
};

BOOL CALLBACK collectChild(HWND hwnd, LPARAM param) {
    auto* view = reinterpret_cast<MessageBoxView*>(param);
    const std::wstring kind = className(hwnd);
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            if (IsWindowVisible(hwnd)) view->iconControl = hwnd;
        } else {
            std::wstring text = windowText(hwnd);
            if (text.size() > view->text.size()) view->text = text;
        }
    } else if (_wcsicmp(kind.c_str(), L"Button") == 0 && IsWindowVisible(hwnd)) {
        view->buttons.push_back(windowText(hwnd));
    }
    return TRUE;
}

MessageBoxView inspect(HWND dialog) {
    MessageBoxView view;
    view.window = dialog;
    view.owner = GetWindow(dialog, GW_OWNER);
    view.caption = windowText(dialog);
    EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&view));
    return view;
}

// Which standard icon the box shows: its icon control's pixels are compared with each
// standard icon drawn over the same background ("unpainted" while the control shows nothing).
std::wstring iconName(HWND iconControl) {
    if (iconControl == nullptr) return L"none";
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(iconControl, STM_GETICON, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &icon);
    if (icon == 0) return L"none";
    RECT r;
    GetWindowRect(iconControl, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return L"empty";

    HDC screen = GetDC(nullptr);
    HDC shot = CreateCompatibleDC(screen);
    HDC drawn = CreateCompatibleDC(screen);
    HBITMAP shotBits = CreateCompatibleBitmap(screen, width, height);
    HBITMAP drawnBits = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldShot = SelectObject(shot, shotBits);
    HGDIOBJ oldDrawn = SelectObject(drawn, drawnBits);
    BitBlt(shot, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    const COLORREF background = GetPixel(shot, 0, 0);

    struct Candidate {
        const wchar_t* name;
        LPCWSTR id;
    };
    const Candidate candidates[] = {{L"warning", IDI_WARNING}, {L"error", IDI_ERROR},
                                    {L"information", IDI_INFORMATION}, {L"question", IDI_QUESTION}};
    long drawnPixels = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) drawnPixels += GetPixel(shot, x, y) != background;
    std::wstring best = drawnPixels == 0 ? L"unpainted" : L"unknown";
    long bestDifferences = width * height / 20 + 1;  // a near-exact match is required
    for (const Candidate& candidate : candidates) {
        if (drawnPixels == 0) break;
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(drawn, &all, brush);
        DeleteObject(brush);
        DrawIconEx(drawn, 0, 0, LoadIconW(nullptr, candidate.id), 0, 0, 0, nullptr, DI_NORMAL);
        long differences = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) differences += GetPixel(shot, x, y) != GetPixel(drawn, x, y);
        if (differences < bestDifferences) {
            bestDifferences = differences;
            best = candidate.name;
        }
    }
    SelectObject(shot, oldShot);
    SelectObject(drawn, oldDrawn);
    DeleteObject(shotBits);
    DeleteObject(drawnBits);
    DeleteDC(shot);
    DeleteDC(drawn);
    ReleaseDC(nullptr, screen);
    return best;
}

void pressOk(HWND dialog) {
    HWND ok = GetDlgItem(dialog, IDOK);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

// Waits for the box, checks it is a plain "Quillet" box with one OK button and the given text,
// presses OK and returns what it saw.
MessageBoxView answerBox(const Child& child, const std::wstring& expectedText, HWND expectedOwner,
                         const std::wstring& expectedIcon, const std::string& what) {
    HWND dialog = waitForShownWindow(child, L"#32770");
    check(dialog != nullptr, what + ": a message box appears");
    if (dialog == nullptr) return {};
    MessageBoxView view = inspect(dialog);
    checkText(view.caption, L"Quillet", what + ": caption");
    checkText(view.text, expectedText, what + ": text");
    check(view.owner == expectedOwner, what + ": owner window");
    check(view.buttons.size() == 1 && GetDlgItem(dialog, IDOK) != nullptr, what + ": a single OK button");
    // The icon is read from the screen, so it is there once the box has painted it.
    std::wstring icon;
    waitUntil([&] { return (icon = iconName(view.iconControl)) == expectedIcon; });
    check(icon == expectedIcon, what + ": icon", "got " + utf8(icon) + ", expected " + utf8(expectedIcon));
    pressOk(dialog);
    return view;
}

struct RunningCopy {
    Child child{L""};
    HWND window = nullptr;

    RunningCopy() {
        // The window exists hidden while it is being made, then shows.
        window = waitForShownWindow(child, L"TQuilletForm");
        check(window != nullptr, "first copy: main window of class TQuilletForm shows");
        if (window != nullptr) checkText(windowText(window), L"Quillet", "first copy: caption");
    }
    void checkUnchanged(const std::string& what) {
        check(child.running(), what + ": first copy still runs");
        check(IsWindow(window) && IsWindowVisible(window), what + ": first copy's window still shown");
        if (IsWindow(window)) checkText(windowText(window), L"Quillet", what + ": first copy's caption unchanged");
    }
    ~RunningCopy() {
        if (window != nullptr) {
            // The close box only hides the window to the notification area ...
            PostMessageW(window, WM_CLOSE, 0, 0);
            waitUntil([&] { return !IsWindowVisible(window); });
            check(child.running() && IsWindow(window) && !IsWindowVisible(window),
                  "first copy: closing hides the window and the program runs on");
            // ... and ending the session ends the program, which agrees to it.
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &answer);
            check(answer == 1, "first copy: agrees to end the session", "answer " + std::to_string(answer));
        }
        if (child.started)
            check(child.waitForExit(checks::kPatienceMs) == 0, "first copy: ending the session ends it with 0");
    }
};

// --- scenarios -------------------------------------------------------------------------------

void usage() {
    Child child(L"/?");
    answerBox(child, kUsage, nullptr, L"none", "/?");
    checkExitsWithZero(child, "/?");
}

void invalidAmount(const std::wstring& arguments) {
    const std::string what = utf8(arguments);
    Child child(arguments);
    answerBox(child, kInvalidAmount, nullptr, L"none", what);
    checkExitsWithZero(child, what);
    check(windowsOf(child.id(), L"TQuilletForm").empty(), what + ": no main window");
}

// The second copy is the program in QUILLET_OTHER_BUILD when that is set: the other build (32- or
// 64-bit) of the same program must find the running one all the same.
void secondCopy() {
    RunningCopy first;
    if (first.window == nullptr) return;
    const wchar_t* otherBuild = _wgetenv(L"QUILLET_OTHER_BUILD");
    Child second(L"", otherBuild != nullptr ? otherBuild : quilletPath);
    answerBox(second, kAlreadyRunning, first.window, L"warning", "second copy");
    checkExitsWithZero(second, "second copy");
    first.checkUnchanged("second copy");
}

void recoveryBesideRunningCopy() {
    RunningCopy first;
    if (first.window == nullptr) return;
    Child second(L"/ram=80 /once");
    bool boxSeen = false;
    const DWORD start = GetTickCount();
    while (second.running() && !boxSeen && GetTickCount() - start < 2 * checks::kPatienceMs) {
        boxSeen = !windowsOf(second.id(), L"#32770").empty();
        Sleep(5);
    }
    check(!boxSeen, "/ram=80 /once beside a running copy: no warning");
    checkExitsWithZero(second, "/ram=80 /once beside a running copy");
    first.checkUnchanged("/ram=80 /once beside a running copy");
}

// Answers the box that tells how much less than the amount asked was freed, and returns the
// megabytes it names (-1 when no such box, or not in that wording).
long answerReducedRecovery(Child& child, const std::wstring& askedMb, DWORD patience, const std::string& what) {
    HWND dialog = waitForShownWindow(child, L"#32770", patience);
    check(dialog != nullptr, what + ": a message box tells what was freed");
    if (dialog == nullptr) return -1;
    const MessageBoxView view = inspect(dialog);
    checkText(view.caption, L"Quillet", what + ": caption");
    const std::wstring head = L"所要求的 " + askedMb + L" MB 超出了本程序的地址空间一次能容纳的大小，\n只释放了 ",
                       tail = L" MB 内存。";
    const bool framed = view.text.size() > head.size() + tail.size() && view.text.compare(0, head.size(), head) == 0 &&
                        view.text.compare(view.text.size() - tail.size(), tail.size(), tail) == 0;
    std::wstring figure = framed ? view.text.substr(head.size(), view.text.size() - head.size() - tail.size()) : L"";
    figure.erase(std::remove(figure.begin(), figure.end(), L','), figure.end());
    const long freed = figure.empty() || figure.find_first_not_of(L"0123456789") != std::wstring::npos
                           ? -1 : std::wcstol(figure.c_str(), nullptr, 10);
    check(freed >= 0, what + ": the box names the megabytes freed", utf8(view.text));
    check(view.buttons.size() == 1, what + ": a single OK button");
    pressOk(dialog);
    checkExitsWithZero(child, what);
    return freed;
}

// 3,500 MB fit the process's address space (a 64-bit one's is capped for this test) but no one
// free range of it: the largest block is written instead, and the user told how much that was.
void ramBeyondOneBlock() {
    const std::string what = "/once /ram=3500";
    Child child(L"/once /ram=3500");
    const long freed = answerReducedRecovery(child, L"3,500", 4 * checks::kPatienceMs, what);
    check(freed >= 256 && freed < 3500, what + ": the largest block, less than asked", std::to_string(freed));
}

// /ram=5000/once asks for more than any 32-bit process can hold. The 64-bit program writes it
// whole and says nothing (large_recovery.sh reads from outside how much it wrote); the 32-bit
// program writes the largest block it can get and says how much that was.
void largeRecovery() {
    const std::string what = "/ram=5000/once";
    Child child(L"/ram=5000/once");
    check(child.started, what + ": starts");
    const DWORD patience = 6 * checks::kPatienceMs;  // 5,000 MB written, under emulation too
    if (sizeof(void*) == 8) {
        bool boxSeen = false;
        const DWORD start = GetTickCount();
        while (child.running() && !boxSeen && GetTickCount() - start < patience) {
            boxSeen = !windowsOf(child.id(), L"#32770").empty();
            Sleep(5);
        }
        check(!boxSeen, what + ": the whole amount is written, nothing to say");
        const DWORD code = child.waitForExit(checks::kPatienceMs);
        check(code == 0, what + ": exits with 0", "exit code " + std::to_string(code));
        return;
    }
    const long freed = answerReducedRecovery(child, L"5,000", patience, what);
    // A large-address-aware 32-bit process has up to 4 GB of address space, and a block of 1 GB
    // at least in it.
    check(freed >= 1024 && freed < 4096, what + ": the block freed, in MB, within a 32-bit process's reach",
          std::to_string(freed));
}

// Calls LoadLibraryW with the name inside the running program, as code of its own would;
// returns the low 32 bits of the module handle it got (0: not loaded) or STILL_ACTIVE.
DWORD loadInside(HANDLE process, const std::wstring& name) {
    const SIZE_T bytes = (name.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr || !WriteProcessMemory(process, remote, name.c_str(), bytes, nullptr)) return STILL_ACTIVE;
    // kernel32 lies at the same address in every process of the session.
    const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
    DWORD result = STILL_ACTIVE;
    if (thread != nullptr) {
        WaitForSingleObject(thread, checks::kPatienceMs);
        GetExitCodeThread(thread, &result);
        CloseHandle(thread);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return result;
}

// The running program restricts its library search at start: a DLL planted beside it is never
// found by its bare name, though the same DLL loads by its full path, and loads by name in a
// program (this driver) that does not restrict its search.
void librarySearch() {
    wchar_t driver[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, driver, MAX_PATH);
    const std::wstring driverFolder(driver, std::wcsrchr(driver, L'\\') + 1);
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"quillet-library-search\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring planted = folder + L"qplanted.dll";
    const std::wstring program = folder + L"Quillet.exe";
    const bool copied = CopyFileW((driverFolder + L"qplanted.dll").c_str(), planted.c_str(), FALSE) &&
                        CopyFileW(quilletPath.c_str(), program.c_str(), FALSE);
    check(copied, "library search: Quillet.exe and the planted DLL copied into one folder");
    HMODULE own = LoadLibraryW(L"qplanted.dll");
    check(own != nullptr, "library search: the driver loads the DLL planted beside it by name");
    if (own != nullptr) FreeLibrary(own);
    if (copied) {
        const std::wstring original = quilletPath;
        quilletPath = program;
        {
            RunningCopy copy;
            if (copy.window != nullptr) {
                // Under Wine the program's own thread makes the remote thread, interrupted by a
                // signal wherever it is. Inside the C library's allocator (as during the first
                // paints) that deadlocks or corrupts the heap, so the loads wait for a settled
                // window: 240 loads after that never failed, 1 run in 5 failed before it.
                WaitForInputIdle(copy.child.info.hProcess, checks::kPatienceMs);
                waitUntil([&] { return painted(copy.window); });
                const DWORD byName = loadInside(copy.child.info.hProcess, L"qplanted.dll");
                check(byName == 0, "library search: the running program does not find the planted DLL by name",
                      "got " + std::to_string(byName));
                const DWORD byPath = loadInside(copy.child.info.hProcess, planted);
                check(byPath != 0 && byPath != STILL_ACTIVE,
                      "library search: the running program loads the same DLL by its full path");
            }
        }
        quilletPath = original;
    }
    DeleteFileW(program.c_str());
    DeleteFileW(planted.c_str());
    DeleteFileW((folder + L"Quillet.ini").c_str());
    RemoveDirectoryW(folder.c_str());
}

// For the scripts: returns once a copy's window of the class is on screen and painted.
int waitForPainted(const wchar_t* windowClass) {
    if (waitUntil(
            [&] {
                HWND window = FindWindowW(windowClass, nullptr);
                return window != nullptr && IsWindowVisible(window) && painted(window);
            },
            4 * checks::kPatienceMs))
        return 0;
    std::printf("no %s appeared\n", utf8(windowClass).c_str());
    return 1;
}

// For the screenshot script: opens the tray menu as a right click on the notification icon
// does, near the bottom right corner of the screen.
int openTrayMenu() {
    HWND window = FindWindowW(L"TQuilletForm", nullptr);
    if (window == nullptr) {
        std::printf("no main window\n");
        return 1;
    }
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 60, GetSystemMetrics(SM_CYSCREEN) - 20);
    PostMessageW(window, WM_USER + 1, 1, WM_RBUTTONUP);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (waitUntil([&] {
            for (HWND menu : windowsOf(process, L"#32768"))
                if (IsWindowVisible(menu) && painted(menu)) return true;
            return false;
        }))
        return 0;
    std::printf("no tray menu appeared\n");
    return 1;
}

BOOL CALLBACK findTabControl(HWND hwnd, LPARAM param) {
    if (className(hwnd) == L"SysTabControl32") {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// For the screenshot script: moves the main window's page control one page on, as the Right
// arrow key on its tabs does.
int nextPage() {
    HWND window = FindWindowW(L"TQuilletForm", nullptr);
    HWND tabs = nullptr;
    if (window != nullptr) EnumChildWindows(window, findTabControl, reinterpret_cast<LPARAM>(&tabs));
    if (tabs == nullptr) {
        std::printf("no page control found\n");
        return 1;
    }
    auto selected = [&] {
        DWORD_PTR index = static_cast<DWORD_PTR>(-1);
        SendMessageTimeoutW(tabs, TCM_GETCURSEL, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &index);
        return static_cast<int>(index);
    };
    const int before = selected();
    PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(tabs, WM_KEYUP, VK_RIGHT, 0);
    if (waitUntil([&] { return selected() != before && painted(window); })) return 0;
    std::printf("the page did not change\n");
    return 1;
}

BOOL CALLBACK addShownWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<std::wstring, RECT*>*>(param);
    RECT frame{};
    if (!IsWindowVisible(hwnd) || className(hwnd) != search->first || !GetWindowRect(hwnd, &frame)) return TRUE;
    if (!painted(hwnd)) {
        search->second->left = search->second->right = -1;  // not ready: no rectangle yet
        return FALSE;
    }
    RECT& all = *search->second;
    if (all.right <= all.left) all = frame;
    else UnionRect(&all, &all, &frame);
    return TRUE;
}

// For the screenshot script: the screen rectangle that holds every shown top-level window of
// the classes given, as ImageMagick's crop geometry (WxH+X+Y), kept inside the screen; none
// while one of them has not painted yet.
int windowRect(int count, wchar_t** classes) {
    RECT all{0, 0, 0, 0};
    for (int i = 0; i < count && all.left != -1; ++i) {
        std::pair<std::wstring, RECT*> search{classes[i], &all};
        EnumWindows(addShownWindow, reinterpret_cast<LPARAM>(&search));
    }
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (all.right <= all.left || !IntersectRect(&all, &all, &screen)) {
        std::printf("no such window shown\n");
        return 1;
    }
    std::printf("%ldx%ld+%ld+%ld\n", all.right - all.left, all.bottom - all.top, all.left, all.top);
    return 0;
}

}  // namespace

namespace e2e {

void commandLineRecovery() {
    Child child(L"/ram=80 /once");
    check(child.started, "/ram=80 /once: starts");
    // The progress window lives only while the block is written: watch for it closely.
    HWND popup = nullptr;
    bool mainWindowSeen = false;
    RECT client{}, frame{};
    std::wstring caption;
    const DWORD start = GetTickCount();
    while (child.running() && GetTickCount() - start < 2 * checks::kPatienceMs) {
        if (popup == nullptr) {
            HWND found = FindWindowW(L"TShortcutPopupForm", nullptr);
            if (found != nullptr) {
                popup = found;
                GetClientRect(found, &client);
                GetWindowRect(found, &frame);
                // The caption as the system keeps it: asking the program's thread could find the
                // window already gone once the block is written.
                wchar_t text[128] = L"";
                GetWindowTextW(found, text, 128);
                caption = text;
            }
        }
        if (!windowsOf(child.id(), L"TQuilletForm").empty()) mainWindowSeen = true;
        Sleep(1);
    }
    checkExitsWithZero(child, "/ram=80 /once");
    check(!mainWindowSeen, "/ram=80 /once: no main window");
    check(popup != nullptr, "/ram=80 /once: the progress window appears");
    if (popup != nullptr) {
        checkText(caption, L"Quillet - Preparing to run shortcut", "/ram=80 /once: progress caption");
        // 306 x 19 at 96 dpi, at the screen's DPI (rounded to the nearest pixel).
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        const int width = (306 * dpi + 48) / 96, height = (19 * dpi + 48) / 96;
        check(client.right == width && client.bottom == height,
              "/ram=80 /once: progress client area " + std::to_string(width) + " x " + std::to_string(height),
              std::to_string(client.right) + " x " + std::to_string(client.bottom));
        const int centreX = (frame.left + frame.right) / 2;
        const int centreY = (frame.top + frame.bottom) / 2;
        const int screenX = GetSystemMetrics(SM_CXSCREEN) / 2;
        const int screenY = GetSystemMetrics(SM_CYSCREEN) / 2;
        check(std::abs(centreX - screenX) <= 1 && std::abs(centreY - screenY) <= 1,
              "/ram=80 /once: progress window centred");
        check(!IsWindow(popup), "/ram=80 /once: the progress window goes");
    }
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"window_rect") return windowRect(argc - 2, argv + 2);
    if (argc != 3) {
        std::printf("usage: quillet_e2e <scenario> <Quillet.exe>\n");
        return 2;
    }
    const std::wstring scenario = argv[1];
    quilletPath = argv[2];
    if (GetFileAttributesW(quilletPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("FAIL no program at %s\n", utf8(quilletPath).c_str());
        return 1;
    }

    if (scenario == L"wait_main_window") return waitForPainted(L"TQuilletForm");
    if (scenario == L"next_page") return nextPage();
    if (scenario == L"wait_splash") {
        // Where it is, printed at once: the splash lives two seconds, less than starting this
        // program again takes under emulation.
        if (const int code = waitForPainted(L"TSplashForm"); code != 0) return code;
        wchar_t splash[] = L"TSplashForm";
        wchar_t* classes[] = {splash};
        return windowRect(1, classes);
    }
    if (scenario == L"open_tray_menu") return openTrayMenu();
    // The packages' test keeps what these save, to look at it and to start again with it.
    if (const int code = runPackageScenario(scenario); code >= 0) return code;
    removeSettingsFile();
    struct Cleanup {
        ~Cleanup() { removeSettingsFile(); }
    } cleanup;
    if (scenario == L"ram_once") commandLineRecovery();
    else if (scenario == L"usage") usage();
    else if (scenario == L"amount_too_long") invalidAmount(L"/ram=12345");
    else if (scenario == L"amount_not_a_number") invalidAmount(L"/ram=abc");
    else if (scenario == L"amount_blank_before_once") invalidAmount(L"/ram=5000 /once");  // "5000 " is five characters
    else if (scenario == L"large_recovery") largeRecovery();
    else if (scenario == L"second_copy") secondCopy();
    else if (scenario == L"ram_once_beside_running") recoveryBesideRunningCopy();
    else if (scenario == L"ram_beyond_one_block") ramBeyondOneBlock();
    else if (scenario == L"library_search") librarySearch();
    else if (const int code = runMainWindowScenario(scenario); code >= 0) return code;
    else {
        std::printf("unknown scenario %s\n", utf8(scenario).c_str());
        return 2;
    }
    return checks::summary();
}
