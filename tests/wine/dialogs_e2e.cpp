// Drives the shortcut builder and the upgrade dialog of Quillet.exe from another process, as a
// user would, and checks what they do: the shortcut file they write (read back through the
// shell's link object) and what running it does, and the upgrade check against the test's own
// HTTP server on 127.0.0.1 (upgrade_server.py, started by upgrade_e2e.sh).
// Usage: dialogs_e2e <scenario> <Quillet.exe> [server port]. The program a test shortcut starts
// is shortcut_target.exe beside this one.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "mainwindow/main_form_layout.h"
#include "tests/wine/e2e_support.h"
#include "tests/wine/menu_keys.h"

namespace {

using namespace e2e;
using checks::check;

// --- expected texts, written out here on their own ------------------------------------------

const wchar_t* const kEmptyName = L"您必须输入这个快捷方式的名字!             ";
const wchar_t* const kChecking = L"正在进行升级检查 ..";
const wchar_t* const kCurrent = L"Already running the most current version!";
const wchar_t* const kFailed = L"升级检查失败!        ";
const wchar_t* const kConnectFailed = L"主机地址错误, 联接失败!                 ";
std::wstring available(const std::wstring& version) {
    return L"Quillet 版本    " + version + L" 是可以下载的!             ";
}

// Generous: the programs may run under an emulated processor.
constexpr DWORD kWaitMs = 30000;

bool waitUntil(const std::function<bool()>& condition, DWORD ms = kWaitMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= ms) return false;
        Sleep(20);
    }
    return true;
}

// --- windows of the program ------------------------------------------------------------------

void setText(HWND hwnd, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
}

void click(HWND hwnd) { PostMessageW(hwnd, BM_CLICK, 0, 0); }

bool textIs(HWND hwnd, const std::wstring& text) { return windowText(hwnd) == text; }

void checkWindowText(HWND hwnd, const std::wstring& expected, const std::string& what) {
    waitUntil([&] { return textIs(hwnd, expected); });
    checkText(windowText(hwnd), expected, what);
}

HWND focusOf(const Child& child) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(child.info.dwThreadId, &info);
    return info.hwndFocus;
}

// A message box or a common dialog of the program's (class #32770) other than `except`.
HWND waitForDialogBox(const Child& child, HWND except = nullptr) {
    HWND found = nullptr;
    waitUntil([&] {
        for (HWND h : windowsOf(child.id(), L"#32770"))
            if (h != except && IsWindowVisible(h)) found = h;
        return found != nullptr;
    });
    return found;
}

void pressOk(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// The longest static text of a message box.
BOOL CALLBACK longestStatic(HWND hwnd, LPARAM param) {
    auto* text = reinterpret_cast<std::wstring*>(param);
    if (_wcsicmp(className(hwnd).c_str(), L"Static") == 0) {
        const std::wstring t = windowText(hwnd);
        if (t.size() > text->size()) *text = t;
    }
    return TRUE;
}

void answerBox(const Child& child, HWND owner, const std::wstring& caption, const std::wstring& text,
               const std::string& what) {
    HWND box = waitForDialogBox(child);
    check(box != nullptr, what + ": a message box appears");
    if (box == nullptr) return;
    std::wstring shown;
    EnumChildWindows(box, longestStatic, reinterpret_cast<LPARAM>(&shown));
    checkText(windowText(box), caption, what + ": its caption");
    checkText(shown, text, what + ": its text");
    check(GetWindow(box, GW_OWNER) == owner, what + ": owned by the dialog");
    pressOk(box);
    waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// Quillet.exe with its main window on screen; ends it through the end of the session.
struct MainWindow {
    Child child{L""};
    HWND window = nullptr;

    MainWindow() {
        waitUntil([&] {
            window = child.running() ? waitForWindow(child, L"TQuilletForm", 100) : nullptr;
            return window != nullptr && IsWindowVisible(window);
        });
        check(window != nullptr && IsWindowVisible(window), "the main window shows");
        Sleep(300);
    }
    ~MainWindow() {
        if (window == nullptr || !child.running()) return;
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer);
        check(child.waitForExit(kWaitMs) == 0, "the program ends with the session");
    }
    // Opens a dialog of the main window and waits for it to show.
    HWND open(const std::wstring& className, const std::function<void()>& how) {
        how();
        HWND dialog = nullptr;
        waitUntil([&] {
            dialog = waitForWindow(child, className, 100);
            return dialog != nullptr && IsWindowVisible(dialog);
        });
        check(dialog != nullptr, utf8(className) + " shows");
        if (dialog != nullptr)
            check(waitUntil([&] { return IsWindowEnabled(window) == FALSE; }, 5000), utf8(className) + " is modal");
        Sleep(200);
        return dialog;
    }
};

void checkClientSize(HWND dialog, int width, int height, const std::string& what) {
    RECT client{};
    GetClientRect(dialog, &client);
    check(client.right == width && client.bottom == height, what + ": client area " + std::to_string(width) + " x " +
                                                                 std::to_string(height),
          std::to_string(client.right) + " x " + std::to_string(client.bottom));
}

bool closesSoon(HWND dialog, DWORD ms) {
    return waitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, ms);
}

// --- the shortcut builder ----------------------------------------------------------------------

std::wstring folderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

struct LinkFields {
    std::wstring path, arguments, iconPath, description;
    int iconIndex = -1;
    bool read = false;
};

LinkFields readLink(const std::wstring& file) {
    LinkFields fields;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return fields;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
            wchar_t text[1024] = L"";
            link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
            fields.path = text;
            text[0] = 0;
            link->GetArguments(text, 1024);
            fields.arguments = text;
            text[0] = 0;
            link->GetIconLocation(text, 1024, &fields.iconIndex);
            fields.iconPath = text;
            text[0] = 0;
            link->GetDescription(text, 1024);
            fields.description = text;
            fields.read = true;
        }
        persist->Release();
    }
    link->Release();
    return fields;
}

// Chooses `folderName`, a folder on the desktop, in the shell's folder browser: the desktop is
// the tree's first item, with the folders on it beneath; typing a name selects it.
void chooseFolder(HWND browser, const std::wstring& folderName) {
    HWND tree = nullptr;
    waitUntil([&] {
        tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
        return tree != nullptr;
    });
    Sleep(500);
    for (wchar_t c : folderName) PostMessageW(tree, WM_CHAR, c, 1);
    Sleep(500);
    pressOk(browser);
}

void shortcutBuilder() {
    wchar_t buffer[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buffer);
    const std::wstring folder = std::wstring(buffer) + L"\\qe2elinks";
    const std::wstring linkFile = folder + L"\\Editor.lnk";
    GetTempPathW(MAX_PATH, buffer);
    const std::wstring marker = std::wstring(buffer) + L"quillet-e2e-started.txt";
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring program = folderOf(self) + L"shortcut_target.exe";
    DeleteFileW(linkFile.c_str());
    DeleteFileW(marker.c_str());
    CreateDirectoryW(folder.c_str(), nullptr);
    struct Cleanup {
        std::wstring link, marker, folder;
        ~Cleanup() {
            DeleteFileW(link.c_str());
            DeleteFileW(marker.c_str());
            RemoveDirectoryW(folder.c_str());
        }
    } cleanup{linkFile, marker, folder};

    MainWindow main;
    if (main.window == nullptr) return;
    // The button is on the tweaks page, whose controls are made when it first shows.
    HWND tabs = namedControls(main.window)["MainPageControl"];
    for (int i = 0; i < 2; ++i) {
        PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 1);
        Sleep(100);
    }
    HWND button = nullptr;
    waitUntil([&] {
        button = namedControls(main.window)["ShortCutsSpeedButton"];
        return button != nullptr && IsWindowVisible(button);
    });
    check(button != nullptr, "the 创建快捷方式 button shows on the tweaks page");
    if (button == nullptr) return;
    HWND dialog = main.open(L"TShortCutsForm", [&] { click(button); });
    if (dialog == nullptr) return;
    checkText(windowText(dialog), L"创建快捷方式", "shortcut builder: caption");
    checkClientSize(dialog, 378, 321, "shortcut builder");
    RECT frame{}, owner{};
    GetWindowRect(dialog, &frame);
    GetWindowRect(main.window, &owner);
    check(frame.left == owner.left + 15 && frame.top == owner.top + 15, "shortcut builder: 15 pixels right of and below",
          std::to_string(frame.left - owner.left) + ", " + std::to_string(frame.top - owner.top));
    auto c = namedControls(dialog);
    for (const char* name : {"LinkNameEdit", "LinkEdit", "NameEdit", "ArgumentsEdit", "RAMEdit", "RunOnceCheckBox",
                             "LinkSpeedButton", "BrowseSpeedButton", "CreateSpeedButton", "CancelSpeedButton"})
        if (c[name] == nullptr) check(false, std::string("shortcut builder: ") + name + " exists");
    if (c["CreateSpeedButton"] == nullptr) return;
    check(waitUntil([&] { return focusOf(main.child) == c["LinkNameEdit"]; }, 5000),
          "shortcut builder: the name box has the focus");
    checkText(windowText(c["RAMEdit"]), L"1", "shortcut builder: amount 1 at first");
    check(SendMessageW(c["RunOnceCheckBox"], BM_GETCHECK, 0, 0) == BST_CHECKED, "shortcut builder: 允许脱离 ticked");

    // The name comes first.
    click(c["LinkSpeedButton"]);
    answerBox(main.child, dialog, L"创建快捷方式", kEmptyName, "no name yet, the folder browser");

    // Clicked into (the message box took the focus), typed into and left with Tab.
    PostMessageW(c["LinkNameEdit"], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(c["LinkNameEdit"], WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    check(waitUntil([&] { return focusOf(main.child) == c["LinkNameEdit"]; }, 5000), "a click puts the focus in the name box");
    setText(c["LinkNameEdit"], L"Editor");
    PostMessageW(c["LinkNameEdit"], WM_KEYDOWN, VK_TAB, 1);
    PostMessageW(c["LinkNameEdit"], WM_KEYUP, VK_TAB, 1);
    check(waitUntil([&] { return focusOf(main.child) == c["LinkEdit"]; }, 5000), "Tab moves on to the path box");
    checkWindowText(c["LinkNameEdit"], L"Editor.lnk", "leaving the name box appends .lnk");

    click(c["LinkSpeedButton"]);
    HWND browser = waitForDialogBox(main.child);
    check(browser != nullptr, "the folder browser shows");
    if (browser == nullptr) return;
    chooseFolder(browser, L"qe2elinks");
    checkWindowText(c["LinkEdit"], linkFile, "the chosen folder and the name make the path");

    click(c["BrowseSpeedButton"]);
    HWND files = waitForDialogBox(main.child);
    check(files != nullptr, "the open-file dialog shows");
    if (files == nullptr) return;
    Sleep(500);
    HWND fileBox = GetDlgItem(files, 0x47c);  // the file-name box: a combo box, or an edit (0x480)
    if (fileBox == nullptr) fileBox = GetDlgItem(files, 0x480);
    setText(fileBox, program);
    pressOk(files);
    checkWindowText(c["NameEdit"], program, "the chosen program");

    const std::wstring arguments = marker;
    setText(c["ArgumentsEdit"], arguments);
    setText(c["RAMEdit"], L"1000");  // four digits: the amount fills the runner's whole value
    checkWindowText(c["RAMEdit"], L"1000", "1000 MB are allowed on this machine");

    // A folder gone meanwhile: the shortcut cannot be written, which is told with the file and
    // the system's reason, and the builder stays open.
    RemoveDirectoryW(folder.c_str());
    click(c["CreateSpeedButton"]);
    HWND told = waitForDialogBox(main.child);
    check(told != nullptr, "a shortcut that cannot be written: a message box appears");
    if (told != nullptr) {
        std::wstring shown;
        EnumChildWindows(told, longestStatic, reinterpret_cast<LPARAM>(&shown));
        const std::wstring opening = L"无法创建快捷方式：\n" + linkFile + L"\n\n";
        std::printf("     told: %s\n", checks::visible(utf8(shown)).c_str());
        check(shown.compare(0, opening.size(), opening) == 0 && shown.size() > opening.size(),
              "a shortcut that cannot be written: the file and the reason are told", utf8(shown));
        checkText(windowText(told), L"创建快捷方式", "a shortcut that cannot be written: the builder's caption");
        pressOk(told);
        waitUntil([&] { return !IsWindow(told) || !IsWindowVisible(told); });
    }
    check(IsWindow(dialog) && IsWindowVisible(dialog), "a shortcut that cannot be written: the builder stays open");
    CreateDirectoryW(folder.c_str(), nullptr);

    click(c["CreateSpeedButton"]);
    check(closesSoon(dialog, kWaitMs), "创建 writes the shortcut and closes the builder");
    check(waitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }, 5000), "the main window is usable again");

    CoInitialize(nullptr);
    const LinkFields link = readLink(linkFile);
    check(link.read, "the shortcut file reads back through the shell's link object", utf8(linkFile));
    if (!link.read) return;
    const std::wstring target = folderOf(quilletPath) + L"Quillet.exe";
    checkText(link.path, target, "shortcut: target");
    const std::wstring commandLine = L"/p=" + program + L" /a=" + arguments + L" /ram=1000/once";
    checkText(link.arguments, commandLine, "shortcut: arguments");
    checkText(link.iconPath, target, "shortcut: icon");
    check(link.iconIndex == 0, "shortcut: icon index 0", std::to_string(link.iconIndex));
    checkText(link.description, L"Quillet created shortcut", "shortcut: description");

    // Run it as the shell would: the recovery runs, the program starts, and the process ends.
    PROCESS_INFORMATION info{};
    const bool started = startWithDriver(link.path.c_str(), L"\"" + link.path + L"\" " + link.arguments, info);
    check(started, "the shortcut's command line starts");
    if (!started) return;
    bool popupSeen = false, boxSeen = false, windowSeen = false;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT && GetTickCount() - start < 120000) {
        popupSeen = popupSeen || !windowsOf(info.dwProcessId, L"TShortcutPopupForm").empty();
        boxSeen = boxSeen || !windowsOf(info.dwProcessId, L"#32770").empty();
        windowSeen = windowSeen || !windowsOf(info.dwProcessId, L"TQuilletForm").empty();
        Sleep(5);
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    endProgram(info.hProcess);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    check(code == 0, "the shortcut's run ends with 0", std::to_string(code));
    check(popupSeen, "the shortcut's run recovers memory behind its progress window");
    check(!boxSeen, "the shortcut's amount is taken (no message)");
    check(!windowSeen, "/once: no main window");
    check(waitUntil([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }),
          "the shortcut's program starts after the recovery");
}

// --- the upgrade dialog ----------------------------------------------------------------------------

std::wstring serverPort;

// A control request to the test server; its answer.
std::string askServer(const std::wstring& path) {
    std::string answer;
    HINTERNET session = InternetOpenW(L"dialogs_e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (session == nullptr) return "<no session>";
    const std::wstring url = L"http://127.0.0.1:" + serverPort + path;
    HINTERNET request = InternetOpenUrlW(session, url.c_str(), nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (request == nullptr) {
        InternetCloseHandle(session);
        return "<no answer>";
    }
    char buffer[4096];
    DWORD got = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &got) && got > 0) answer.append(buffer, got);
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    return answer;
}

void setMode(const std::wstring& mode) { check(askServer(L"/__mode/" + mode) == "ok", "test server: mode " + utf8(mode)); }

// Requests the server saw: each its request line, then its headers.
std::vector<std::vector<std::string>> serverLog() {
    std::vector<std::vector<std::string>> requests;
    std::vector<std::string> current;
    const std::string log = askServer(L"/__log");
    size_t at = 0;
    while (at < log.size()) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(at, end - at);
        at = end + 1;
        if (line.empty()) {
            if (!current.empty()) requests.push_back(current);
            current.clear();
        } else {
            current.push_back(line);
        }
    }
    return requests;
}

// Every request the server saw has this request line and one Host header naming `host`. A
// proxy's absolute address may spell out the default port (Wine's WinINet writes ":80").
void checkRequests(const std::string& requestLine, const std::string& host, size_t expected,
                   const std::string& sameLine = "") {
    const auto requests = serverLog();
    size_t matching = 0;
    std::string seen;
    for (const auto& request : requests) {
        int hosts = 0;
        bool hostRight = false;
        for (size_t i = 1; i < request.size(); ++i) {
            if (_strnicmp(request[i].c_str(), "Host:", 5) == 0) {
                ++hosts;
                hostRight = request[i] == "Host: " + host;
            }
        }
        if ((request[0] == requestLine || (!sameLine.empty() && request[0] == sameLine)) && hosts == 1 && hostRight)
            ++matching;
        seen += "\n  " + request[0];
    }
    check(matching >= expected, "the server saw \"" + requestLine + "\" with one \"Host: " + host + "\"",
          std::to_string(matching) + " of" + seen);
}

void writeSetting(const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(L"Settings", key, value.c_str(), settingsFilePath().c_str());
}

struct UpgradeDialog {
    MainWindow& main;
    HWND dialog = nullptr;
    std::map<std::string, HWND> c;

    explicit UpgradeDialog(MainWindow& m) : main(m) {
        dialog = main.open(L"TUpgradeForm", [&] { chooseMenuItem(main.window, "CheckforUpgrade1"); });
        if (dialog != nullptr) c = namedControls(dialog);
    }
    bool ok() const { return dialog != nullptr && c.count("CheckButton") != 0 && c.count("StatusLabel") != 0; }
    // Runs one check and waits for its status line.
    void check(const std::wstring& expected, const std::string& what) {
        // The line is cleared first: a check whose result reads as the last one's is waited
        // for all the same, not taken from the line before the click has been handled.
        setText(c["StatusLabel"], L"");
        click(c["CheckButton"]);
        checkWindowText(c["StatusLabel"], expected, what);
        checks::check(waitUntil([&] { return IsWindowEnabled(c["CheckButton"]) != FALSE; }, 5000),
                      what + ": 检查 usable again");
    }
    void close() {
        click(c["Button1"]);
        checks::check(closesSoon(dialog, kWaitMs), "取消 closes the upgrade dialog");
    }
};

void upgradeDirect() {
    writeSetting(L"Web", L"http://127.0.0.1:" + serverPort + L"/");
    MainWindow main;
    if (main.window == nullptr) return;
    UpgradeDialog up(main);
    if (!up.ok()) return;
    checkText(windowText(up.dialog), L"Quillet 在线升级", "upgrade: caption");
    checkClientSize(up.dialog, 379, 231, "upgrade");
    POINT origin{0, 0};
    ClientToScreen(main.window, &origin);
    RECT frame{};
    GetWindowRect(up.dialog, &frame);
    check(frame.left == origin.x && frame.top == origin.y, "upgrade: at the main window's client origin",
          std::to_string(frame.left - origin.x) + ", " + std::to_string(frame.top - origin.y));
    check(IsWindowEnabled(up.c["AddressEdit"]) == FALSE && IsWindowEnabled(up.c["PortEdit"]) == FALSE,
          "upgrade: the proxy boxes are greyed while the proxy is off");

    setMode(L"available");
    up.check(available(L"2.0"), "a newer version");
    setMode(L"current");
    up.check(kCurrent, "the same version");
    setMode(L"notfound");
    up.check(kFailed, "404");
    check(windowsOf(main.child.id(), L"#32770").empty(), "404: no message box");
    setMode(L"redirect");
    up.check(available(L"2.5"), "a redirect is followed");
    setMode(L"loop");
    up.check(kFailed, "a redirect loop ends");
    setMode(L"huge");
    up.check(kFailed, "a reply longer than 19 characters");
    checkRequests("GET /upgrade.bin HTTP/1.0", "127.0.0.1:" + utf8(serverPort), 6);
    checkRequests("GET /final.bin HTTP/1.0", "127.0.0.1:" + utf8(serverPort), 1);

    // A server that takes the request and never answers: the dialog stays responsive, and
    // closing it ends the check at once.
    setMode(L"silent");
    const size_t before = serverLog().size();
    click(up.c["CheckButton"]);
    checkWindowText(up.c["StatusLabel"], kChecking, "checking");
    check(IsWindowEnabled(up.c["CheckButton"]) == FALSE, "检查 is greyed while a check runs");
    check(waitUntil([&] { return serverLog().size() > before; }), "the silent server has the request");
    Sleep(500);
    DWORD_PTR ignored = 0;
    const DWORD asked = GetTickCount();
    const bool answers =
        SendMessageTimeoutW(up.dialog, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
    check(answers && GetTickCount() - asked < 2000, "the dialog answers while the server is silent");
    const DWORD closing = GetTickCount();
    PostMessageW(up.dialog, WM_CLOSE, 0, 0);
    const bool closed = closesSoon(up.dialog, 5000);
    check(closed, "closing during the check closes the dialog at once",
          std::to_string(GetTickCount() - closing) + " ms");
    check(waitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }, 5000), "the main window is usable again");
}

void upgradeProxy() {
    MainWindow main;
    if (main.window == nullptr) return;
    {
        UpgradeDialog up(main);
        if (!up.ok()) return;
        click(up.c["UseProxyCheckBox"]);
        check(waitUntil([&] { return IsWindowEnabled(up.c["AddressEdit"]) != FALSE; }, 5000),
              "ticking 使用代理服务器 makes the proxy boxes usable");
        setText(up.c["AddressEdit"], L"127.0.0.1");
        setText(up.c["PortEdit"], serverPort);
        setMode(L"available");
        up.check(available(L"2.0"), "through the proxy: a newer version");
        setMode(L"redirect");
        up.check(available(L"2.5"), "through the proxy: a redirect");
        checkRequests("GET http://www.quillet.org/upgrade.bin HTTP/1.0", "www.quillet.org", 2,
                      "GET http://www.quillet.org:80/upgrade.bin HTTP/1.0");
        checkRequests("GET http://www.quillet.org/final.bin HTTP/1.0", "www.quillet.org", 1,
                      "GET http://www.quillet.org:80/final.bin HTTP/1.0");
        up.close();
    }
    wchar_t value[256] = L"";
    GetPrivateProfileStringW(L"Settings", L"ProxyPort", L"", value, 256, settingsFilePath().c_str());
    checkText(value, serverPort, "the proxy port is saved at close");
    {
        UpgradeDialog again(main);
        if (!again.ok()) return;
        check(SendMessageW(again.c["UseProxyCheckBox"], BM_GETCHECK, 0, 0) == BST_CHECKED,
              "reopened: 使用代理服务器 ticked");
        checkText(windowText(again.c["AddressEdit"]), L"127.0.0.1", "reopened: the proxy address");
        checkText(windowText(again.c["PortEdit"]), serverPort, "reopened: the proxy port");
        check(IsWindowEnabled(again.c["PortEdit"]) != FALSE, "reopened: the proxy boxes usable");
        again.close();
    }
}

void upgradeRefused() {
    writeSetting(L"Web", L"http://127.0.0.1:1/");  // nothing listens there
    MainWindow main;
    if (main.window == nullptr) return;
    UpgradeDialog up(main);
    if (!up.ok()) return;
    click(up.c["CheckButton"]);
    answerBox(main.child, up.dialog, L"Quillet 在线升级", kConnectFailed, "a refused connection");
    checkText(windowText(up.c["StatusLabel"]), kFailed, "a refused connection: the failure line");
    check(waitUntil([&] { return IsWindowEnabled(up.c["CheckButton"]) != FALSE; }, 5000),
          "a refused connection: 检查 usable again");
    up.close();
}

// For screenshots: opens a dialog of the running copy and leaves it open.
// For the screenshot script: opens the upgrade dialog (and, given the port of a test server,
// runs one check and waits for its answer) or the shortcut builder (filled in as an example),
// and returns once the dialog is on screen and painted.
int openDialog(const std::wstring& which) {
    HWND window = FindWindowW(L"TQuilletForm", nullptr);
    if (window == nullptr) return 1;
    const bool upgrade = which == L"open_upgrade";
    if (upgrade) {
        chooseMenuItem(window, "CheckforUpgrade1");
    } else {
        chooseMenuItem(window, "Tweaks1");
        HWND button = nullptr;
        waitUntil([&] { return (button = namedControls(window)["ShortCutsSpeedButton"]) != nullptr; }, 5000);
        click(button);
    }
    const wchar_t* formClass = upgrade ? L"TUpgradeForm" : L"TShortCutsForm";
    HWND dialog = nullptr;
    if (!waitUntil([&] { return (dialog = FindWindowW(formClass, nullptr)) != nullptr && IsWindowVisible(dialog); })) {
        std::printf("no %s appeared\n", utf8(formClass).c_str());
        return 1;
    }
    std::map<std::string, HWND> c = namedControls(dialog);
    if (upgrade && !serverPort.empty()) {
        click(c["CheckButton"]);
        if (!waitUntil([&] { return windowText(c["StatusLabel"]).find(L"2.0") != std::wstring::npos; })) {
            std::printf("the check gave no answer\n");
            return 1;
        }
    } else if (!upgrade) {
        const std::pair<const char*, const wchar_t*> example[] = {
            {"LinkNameEdit", L"记事本.lnk"},
            {"LinkEdit", L"C:\\users\\Public\\Desktop\\记事本.lnk"},
            {"NameEdit", L"C:\\windows\\notepad.exe"},
            {"ArgumentsEdit", L"readme.txt"},
            {"RAMEdit", L"64"}};
        for (const auto& [name, text] : example)
            SendMessageTimeoutW(c[name], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kWaitMs, nullptr);
    }
    return waitUntil([&] { return painted(dialog) && painted(window); }) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: dialogs_e2e <scenario> <Quillet.exe> [server port]\n");
        return 2;
    }
    const std::wstring scenario = argv[1];
    quilletPath = argv[2];
    if (argc > 3) serverPort = argv[3];
    if (scenario == L"open_upgrade" || scenario == L"open_shortcut") return openDialog(scenario);
    removeSettingsFile();
    struct Cleanup {
        ~Cleanup() { removeSettingsFile(); }
    } cleanup;
    if (scenario == L"shortcut") shortcutBuilder();
    else if (scenario == L"upgrade_direct") upgradeDirect();
    else if (scenario == L"upgrade_proxy") upgradeProxy();
    else if (scenario == L"upgrade_refused") upgradeRefused();
    else {
        std::printf("unknown scenario %s\n", utf8(scenario).c_str());
        return 2;
    }
    return checks::summary();
}
