// The main window seen from outside the process: its controls and menus against the layout
// tables, the View menu, closing, ending the session, the Exit command, the splash, and the
// controls each Windows family greys.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mainwindow/main_form_builder.h"
#include "mainwindow/main_form_layout.h"
#include "tests/wine/e2e_support.h"
#include "tests/wine/main_window_scenarios.h"
#include "ui/form.h"
#include "ui/headless_backend.h"

namespace e2e {
namespace {

using checks::check;

// The low-resource line of the options page ("当系统资源达到或低于 [ ] %警告我。(限Windows
// 9x/ME)"), greyed on the NT family with the 9x cache box and everything in it.
const std::set<std::string> kLowResourceLine = {"LowResourceCheckBox", "LowResourceEdit", "Label18"};
// Captions the program fills in when it starts (machine figures, the release, the notice).
const std::set<std::string> kFilledAtStart = {
    "Ram100Label", "Ram75Label", "Ram50Label", "Ram25Label", "CopyRightAboutLabel", "TotalPhysicalRamAboutValLabel",
    "TotalPageFileAboutValLabel", "OperatingSystemAboutValLabel", "OSVersionAboutValLabel", "OSNAMEAboutLabel",
    "Ram0Label", "HintLabel", "TargetFreeRamValLabel", "FreeRamValLabel", "FreePageFileValLabel", "MemLoadValLabel",
    "GDIFreeValLabel", "SystemFreeValLabel", "UserFreeValLabel", "ElapsedLabel",
    // From the settings' defaults (no settings file in the test prefix).
    "HomePageLabel", "WebAboutValLabel", "EmailAboutValLabel", "ReleaseAfterStartupEdit", "ReleaseAfterStartupWaitEdit",
    "RecoverBelowCPUUsageEdit", "RecoverSoundFileEdit", "AutoRecoverLevelValLabel",
};
// Greyed by the settings' defaults: CPU monitoring is off, so its condition does not apply.
// the start-up and interval rules and the hot keys are off, so their numbers are greyed too.
const std::set<std::string> kGreyedBySettings = {
    "RecoverBelowCPUUsageCheckBox", "RecoverBelowCPUUsageEdit", "PercentLabel",        "ReleaseAfterStartupEdit",
    "ReleaseAfterStartupWaitEdit",  "RecoverEveryXMinutesEdit", "RecoverEveryXMinutesPercentEdit",
    "RecoverHotKey",                "DisableAutoRecoverHotKey",  // their hot keys are off
};

// "20,480MB (83%)": megabytes with group separators, then a share of at most 100.
bool looksLikeMegabytesAndShare(const std::string& text) {
    const size_t mb = text.find("MB (");
    if (mb == std::string::npos || mb == 0 || text.size() < mb + 7 || text.compare(text.size() - 2, 2, "%)") != 0)
        return false;
    for (size_t i = 0; i < mb; ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])) && text[i] != ',') return false;
    for (size_t i = mb + 4; i + 2 < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    return std::atoi(text.c_str() + mb + 4) <= 100;
}

// The megabytes of such a text.
unsigned long long megabytesOf(const std::string& text) {
    unsigned long long n = 0;
    for (char c : text.substr(0, text.find("MB"))) {
        if (c >= '0' && c <= '9') n = n * 10 + static_cast<unsigned long long>(c - '0');
    }
    return n;
}

void checkLiveFigures(const std::map<std::string, HWND>& controls) {
    auto text = [&](const char* name) {
        auto it = controls.find(name);
        return it == controls.end() ? std::string("<missing>") : utf8(windowText(it->second));
    };
    check(looksLikeMegabytesAndShare(text("FreeRamValLabel")), "free memory shown", text("FreeRamValLabel"));
    // The true figure, beyond 4 GB too: what the system reports now, give or take what other
    // programs took or gave back since the label was drawn.
    MEMORYSTATUSEX now{};
    now.dwLength = sizeof now;
    GlobalMemoryStatusEx(&now);
    const double shown = static_cast<double>(megabytesOf(text("FreeRamValLabel")));
    const double actual = static_cast<double>(now.ullAvailPhys / 1048576);
    check(shown > actual * 0.9 && shown < actual * 1.1, "free memory is the system's figure",
          text("FreeRamValLabel") + " against " + std::to_string(now.ullAvailPhys / 1048576) + "MB");
    // A bounded session (wine-env.sh) shows its programs no more available memory than its bound,
    // so that no recovery in these tests writes more than that.
    const char* bound = std::getenv("QUILLET_WINE_BOUND");
    if (bound != nullptr && std::isdigit(static_cast<unsigned char>(*bound)))
        check(now.ullAvailPhys / 1048576 <= std::strtoull(bound, nullptr, 10), "the session's memory bound reaches the program",
              std::to_string(now.ullAvailPhys / 1048576) + " MB available, bound " + bound + " MB");
    check(looksLikeMegabytesAndShare(text("FreePageFileValLabel")), "free commit shown", text("FreePageFileValLabel"));
    const std::string load = text("MemLoadValLabel");
    check(!load.empty() && load.back() == '%' && std::isdigit(static_cast<unsigned char>(load[0])) &&
              std::atoi(load.c_str()) <= 100,
          "memory load shown, within 100 %",
          load);
    for (const char* name : {"GDIFreeValLabel", "SystemFreeValLabel", "UserFreeValLabel"})
        checks::checkText(text(name), "N/A", std::string(name) + " on the NT family");
    const std::string elapsed = text("ElapsedLabel");
    const std::string prefix = "软件运行总时间估计为： ", suffix = " （天/小时:分钟:秒钟）";
    const bool framed = elapsed.size() == prefix.size() + 11 + suffix.size() && elapsed.rfind(prefix, 0) == 0 &&
                        elapsed.compare(elapsed.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string clock = framed ? elapsed.substr(prefix.size(), 11) : "";
    check(framed && clock[2] == '/' && clock[5] == ':' && clock[8] == ':', "the system's up-time shown", elapsed);
}

bool hasCaption(ui::Kind kind) {
    switch (kind) {
    case ui::Kind::Label:
    case ui::Kind::LinkLabel:
    case ui::Kind::Button:
    case ui::Kind::CheckBox:
    case ui::Kind::GroupBox:
    case ui::Kind::Edit: return true;
    default: return false;
    }
}

// The page index the tab control shows, or -1.
int selectedPage(HWND tabs) {
    DWORD_PTR selected = static_cast<DWORD_PTR>(-1);
    SendMessageTimeoutW(tabs, TCM_GETCURSEL, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &selected);
    return static_cast<int>(selected);
}

// Whether every control of the tables has its window.
bool allControlsMade(HWND form) {
    const auto found = namedControls(form);
    for (const mainwindow::ControlLayout& row : mainwindow::mainFormControls()) {
        // A hidden picture (a glyph kept for a button) has no window until it shows.
        if (row.kind == ui::Kind::Picture && !row.visible) continue;
        if (row.kind != ui::Kind::Form && row.kind != ui::Kind::Timer && found.count(row.name) == 0) return false;
    }
    return true;
}

}  // namespace

MainWindow::MainWindow(const std::function<void(const Child&)>& meanwhile) {
    if (meanwhile) meanwhile(child);
    // The window exists hidden while it is being made, then shows.
    window = waitForShownWindow(child, L"TQuilletForm");
    check(window != nullptr, "the main window of class TQuilletForm shows");
    if (window == nullptr) return;
    // The controls of a page are made when the page first shows: open every page once, as
    // the Right arrow key on the tabs does, and come back to the first.
    HWND tabs = namedControls(window)["MainPageControl"];
    const int pages = static_cast<int>(mainwindow::childControls("MainPageControl").size());
    int page = tabs != nullptr ? selectedPage(tabs) : -1;
    for (int i = 0; i < 2 * (pages - 1) && page >= 0; ++i) {
        const bool right = i < pages - 1;
        PostMessageW(tabs, WM_KEYDOWN, right ? VK_RIGHT : VK_LEFT, 1);
        const int next = page + (right ? 1 : -1);
        if (!waitUntil([&] { return selectedPage(tabs) == next; })) break;
        page = next;
    }
    waitUntil([&] { return allControlsMade(window); });
    controls = namedControls(window);
}

HWND MainWindow::control(const std::string& name) const {
    auto it = controls.find(name);
    return it != controls.end() ? it->second : nullptr;
}

void MainWindow::endSession(const std::string& what) {
    if (window == nullptr || !child.running()) return;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &answer);
    check(answer == 1, what + ": agrees to end the session", "answer " + std::to_string(answer));
    checkExitsWithZero(child, what + ": ending the session");
}

// Chooses a View-menu item and waits until its page shows; returns whether it did.
bool showPage(const MainWindow& main, const std::string& item, const std::string& page) {
    const auto pages = mainwindow::childControls("MainPageControl");
    int index = -1;
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i]->name == page) index = static_cast<int>(i);
    HWND tabs = main.control("MainPageControl");
    HWND sheet = main.control(page);
    return chooseMenuItem(main.window, item) && sheet != nullptr && tabs != nullptr &&
           waitUntil([&] { return IsWindowVisible(sheet) && selectedPage(tabs) == index; });
}

namespace {

void checkControls(const MainWindow& main) {
    int missing = 0, wrongText = 0;
    std::string missingNames, wrongNames;
    for (const mainwindow::ControlLayout& row : mainwindow::mainFormControls()) {
        if (row.kind == ui::Kind::Form || row.kind == ui::Kind::Timer) continue;
        // A hidden picture (a glyph kept for a button) has no window until it shows.
        if (row.kind == ui::Kind::Picture && !row.visible) continue;
        HWND hwnd = main.control(row.name);
        if (hwnd == nullptr) {
            ++missing, missingNames += " " + row.name;
            continue;
        }
        if (!hasCaption(row.kind) || kFilledAtStart.count(row.name) != 0) continue;
        const std::string text = utf8(windowText(hwnd));
        if (text != row.text) ++wrongText, wrongNames += " " + row.name + "=" + checks::visible(text);
    }
    check(missing == 0, "every named control exists", missingNames);
    check(wrongText == 0, "every control shows its caption", wrongNames);

    // The graph's scale is the machine's memory.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    const std::string top = std::to_string(status.ullTotalPhys / 1048576 + 1) + "M";
    HWND ram100 = main.control("Ram100Label");
    if (ram100 != nullptr) {
        const std::string shown = utf8(windowText(ram100));
        // Megabytes ("4097M"), or beyond four digits gigabytes cut to one decimal ("23.5G"):
        // within a megabyte, or within the tenth of a gigabyte the cut can take off.
        const double expected = std::atof(top.c_str());
        const bool inGigabytes = !shown.empty() && shown.back() == 'G';
        const double value = std::atof(shown.c_str()) * (inGigabytes ? 1024.0 : 1.0);
        check(!shown.empty() && (shown.back() == 'M' || inGigabytes) && value <= expected + 1 &&
                  value >= expected - (inGigabytes ? 103 : 1),
              "the graph's top label is the machine's memory", shown + " against " + top);
    }
    if (HWND ram0 = main.control("Ram0Label")) checks::checkText(utf8(windowText(ram0)), "0M", "the graph's bottom label");
    if (HWND target = main.control("TargetFreeRamValLabel")) {
        const std::string shown = utf8(windowText(target));
        check(shown.size() > 9 && shown.compare(shown.size() - 9, 9, " Mb (50%)") == 0,
              "the recovery target: half the memory by default", shown);
    }
    if (HWND level = main.control("AutoRecoverLevelValLabel")) {
        const std::string shown = utf8(windowText(level));
        check(shown.size() > 8 && shown.compare(shown.size() - 8, 8, " Mb (6%)") == 0,
              "the alarm level: a sixteenth of the memory by default", shown);
    }
    auto textOf = [&](const char* name) {
        HWND hwnd = main.control(name);
        return hwnd != nullptr ? utf8(windowText(hwnd)) : std::string("<missing>");
    };
    checks::checkText(textOf("ReleaseAfterStartupWaitEdit"), "60", "default wait after start-up");
    checks::checkText(textOf("RecoverBelowCPUUsageEdit"), "75", "default CPU limit");
    const std::string sound = textOf("RecoverSoundFileEdit");
    const std::string soundTail = "\\sounds\\optimize.wav";
    check(sound.size() > soundTail.size() && sound.compare(sound.size() - soundTail.size(), soundTail.size(), soundTail) == 0,
          "default recovery sound beside the program", sound);
    checks::checkText(textOf("WebAboutValLabel"), textOf("HomePageLabel"), "one home page on both pages");
    check(textOf("WebAboutValLabel").back() == '/', "the home page ends in /", textOf("WebAboutValLabel"));
}

BOOL CALLBACK countChild(HWND, LPARAM param) {
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

// Which controls are greyed: the design state, with the controls of the other family as the
// user finds them: the other family's box on the cache page, with the windows inside it.
void checkFamily(const MainWindow& main, bool ntFamily, bool translucency, const std::string& what) {
    HWND box9x = main.control("Win9xMEGroupBox"), boxNt = main.control("WinNT2000XPCacheGroupBox");
    int inside9x = 0, insideNt = 0;
    if (box9x != nullptr) EnumChildWindows(box9x, countChild, reinterpret_cast<LPARAM>(&inside9x));
    if (boxNt != nullptr) EnumChildWindows(boxNt, countChild, reinterpret_cast<LPARAM>(&insideNt));
    check(inside9x == 15 && insideNt == 5, what + ": the 9x box holds its 15 controls, the NT box its 5",
          std::to_string(inside9x) + ", " + std::to_string(insideNt));
    HWND otherBox = ntFamily ? box9x : boxNt;
    int wrong = 0;
    std::string names;
    for (const mainwindow::ControlLayout& row : mainwindow::mainFormControls()) {
        if (row.kind == ui::Kind::Form || row.kind == ui::Kind::Timer) continue;
        // A hidden picture (a glyph kept for a button) has no window until it shows.
        if (row.kind == ui::Kind::Picture && !row.visible) continue;
        HWND hwnd = main.control(row.name);
        if (hwnd == nullptr) {
            ++wrong, names += " " + row.name + "(missing)";
            continue;
        }
        bool expected = row.enabled;
        if (row.name == "StartSplashCheckBox") expected = true;
        if (row.name == "TranslucentCheckBox") expected = translucency;
        if (kGreyedBySettings.count(row.name) != 0) expected = false;
        if (hwnd == otherBox || IsChild(otherBox, hwnd)) expected = false;
        if (ntFamily && kLowResourceLine.count(row.name) != 0) expected = false;
        if ((IsWindowEnabled(hwnd) != FALSE) != expected) ++wrong, names += " " + row.name;
    }
    check(wrong == 0, what + ": the controls of the other family are greyed, the rest as designed", names);
}

void checkViewMenu(const MainWindow& main) {
    HWND tabs = main.control("MainPageControl");
    const std::pair<const char*, const char*> switches[] = {{"Cache1", "CacheTabSheet"},
                                                           {"Options1", "OptionsTabSheet"},
                                                           {"Tweaks1", "TweaksTabSheet"},
                                                           {"FreeMemory1", "MemoryTabSheet"}};
    for (const auto& [item, page] : switches)
        check(showPage(main, item, page), std::string("View menu: ") + item + " shows " + page,
              "selected tab " + std::to_string(tabs != nullptr ? selectedPage(tabs) : -1));
}

// A tab's rectangle in the tab control, asked through a buffer in the program's memory (the
// control writes its answer in its own process).
bool tabRectangle(const MainWindow& main, HWND tabs, int index, RECT& rectangle) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, main.child.id());
    if (process == nullptr) return false;
    bool read = false;
    if (void* buffer = VirtualAllocEx(process, nullptr, sizeof rectangle, MEM_COMMIT, PAGE_READWRITE)) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer),
                                SMTO_NORMAL, checks::kPatienceMs, &answer) &&
            answer != 0)
            read = ReadProcessMemory(process, buffer, &rectangle, sizeof rectangle, nullptr) != FALSE;
        VirtualFreeEx(process, buffer, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return read;
}

// Pages changed by a click on their tabs: the tab control tells the program (TCN_SELCHANGE),
// which shows the page, the About page among them (no menu item leads there but 关于).
void checkTabClicks(const MainWindow& main) {
    HWND tabs = main.control("MainPageControl");
    const auto pages = mainwindow::childControls("MainPageControl");
    for (const char* page : {"StressTabSheet", "AboutTabSheet", "CacheTabSheet", "MemoryTabSheet"}) {
        int index = -1;
        for (size_t i = 0; i < pages.size(); ++i)
            if (pages[i]->name == page) index = static_cast<int>(i);
        RECT tab{};
        if (tabs == nullptr || index < 0 || !tabRectangle(main, tabs, index, tab)) {
            check(false, std::string("tab click: the tab of ") + page + " is found");
            continue;
        }
        const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(tabs, WM_LBUTTONUP, 0, at);
        HWND sheet = main.control(page);
        check(sheet != nullptr && waitUntil([&] { return selectedPage(tabs) == index && IsWindowVisible(sheet); }),
              std::string("tab click: ") + page + " shows", "selected tab " + std::to_string(selectedPage(tabs)));
    }
}

std::string nameOf(const MainWindow& main, HWND hwnd) {
    for (const auto& [name, window] : main.controls)
        if (window == hwnd) return name;
    return "";
}

HWND focusOf(const MainWindow& main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main.window, nullptr), &info);
    return info.hwndFocus;
}

// Tab walks the controls of the shown page and the window in the order of the tables: each
// press moves to the next control that is shown and enabled.
void checkTabKey(const MainWindow& main) {
    check(showPage(main, "Options1", "OptionsTabSheet"), "Tab key: the options page shows");
    SetForegroundWindow(main.window);
    waitUntil([&] { return focusOf(main) != nullptr; });
    ui::HeadlessBackend backend;
    std::vector<std::string> expected;
    const auto tables = mainwindow::buildMainForm(backend);
    for (ui::Control* control : tables->tabSequence()) {
        HWND hwnd = main.control(control->name());
        if (hwnd != nullptr && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) expected.push_back(control->name());
    }
    auto successor = [&](const std::string& name) {
        for (size_t i = 0; i < expected.size(); ++i)
            if (expected[i] == name) return expected[(i + 1) % expected.size()];
        return std::string("(not a tab stop)");
    };
    std::string previous = nameOf(main, focusOf(main));
    int wrong = 0;
    std::string walked = previous;
    for (int i = 0; i < 6; ++i) {
        HWND focus = focusOf(main);
        PostMessageW(focus != nullptr ? focus : main.window, WM_KEYDOWN, VK_TAB, 1);
        PostMessageW(focus != nullptr ? focus : main.window, WM_KEYUP, VK_TAB, 1);
        // Each press moves the focus on; one that does not is caught below.
        waitUntil([&] { return focusOf(main) != focus; });
        const std::string now = nameOf(main, focusOf(main));
        walked += " > " + now;
        if (i > 0 && now != successor(previous)) ++wrong;
        previous = now;
    }
    std::string order;
    for (const auto& name : expected) order += " " + name;
    check(wrong == 0 && !expected.empty(), "Tab moves through the controls in their order",
          walked + "\n  expected order:" + order);
}

void mainWindow() {
    MainWindow main;
    if (main.window == nullptr) return;
    checks::checkText(utf8(windowText(main.window)), "Quillet", "caption");
    RECT client{};
    GetClientRect(main.window, &client);
    check(client.right == 402 && client.bottom == 434, "client area 402 x 434",
          std::to_string(client.right) + " x " + std::to_string(client.bottom));
    checkControls(main);
    checkLiveFigures(main.controls);
    checkFamily(main, true, false, "a modern NT release");
    checkViewMenu(main);
    checkTabClicks(main);
    checkTabKey(main);

    // The close box hides the window; the program runs on.
    PostMessageW(main.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    check(waitUntil([&] { return !IsWindowVisible(main.window); }), "the close box hides the window");
    // The program answers a message after handling the close: it has not ended or stopped.
    DWORD_PTR ignored = 0;
    const bool answers =
        SendMessageTimeoutW(main.window, WM_NULL, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &ignored) != 0;
    check(answers && main.child.running() && IsWindow(main.window), "the program runs on after its window is closed");
    check(GetFileAttributesW(settingsFilePath().c_str()) == INVALID_FILE_ATTRIBUTES, "no settings file before the end");
    main.endSession("hidden window");
    // Ending the session saved the settings beside the program.
    const std::wstring ini = settingsFilePath();
    wchar_t sound[300] = L"";
    GetPrivateProfileStringW(L"Settings", L"RecoverSoundFile", L"", sound, 300, ini.c_str());
    check(GetPrivateProfileIntW(L"Settings", L"ShowSplash", -1, ini.c_str()) == 1 &&
              GetPrivateProfileIntW(L"Settings", L"GraphSpeed", -1, ini.c_str()) == 2 && std::wstring(sound).size() > 12,
          "ending the session wrote the settings file", utf8(sound));
}

void exitCommand() {
    MainWindow main;
    if (main.window == nullptr) return;
    chooseMenuItem(main.window, "Exit1");
    checkExitsWithZero(main.child, "File > Exit");
}

// With ShowSplash=0 in the settings file beside the program, the splash comes first.
void splash() {
    const std::wstring ini = settingsFilePath();
    struct Settings {
        std::wstring path;
        ~Settings() { DeleteFileW(path.c_str()); }
    } settingsFile{ini};
    check(WritePrivateProfileStringW(L"Settings", L"ShowSplash", L"0", ini.c_str()) != FALSE,
          "settings file with ShowSplash=0 written");

    Child child(L"");
    HWND splashWindow = nullptr;
    HWND mainWindow = nullptr;
    // Its timer starts once its window exists, so the time is counted from then.
    DWORD splashMade = 0, splashGone = 0, mainShown = 0;
    bool mainBeforeSplashGone = false;
    RECT client{}, frame{};
    LONG style = 0, exStyle = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2 * checks::kPatienceMs && child.running() && mainShown == 0) {
        if (splashWindow == nullptr) {
            auto found = windowsOf(child.id(), L"TSplashForm");
            if (!found.empty() && splashMade == 0) splashMade = GetTickCount();
            if (!found.empty() && IsWindowVisible(found.front())) {
                splashWindow = found.front();
                GetClientRect(splashWindow, &client);
                GetWindowRect(splashWindow, &frame);
                style = GetWindowLongW(splashWindow, GWL_STYLE);
                exStyle = GetWindowLongW(splashWindow, GWL_EXSTYLE);
            }
        } else if (splashGone == 0 && (!IsWindow(splashWindow) || !IsWindowVisible(splashWindow))) {
            splashGone = GetTickCount();
        }
        if (mainWindow == nullptr) {
            auto found = windowsOf(child.id(), L"TQuilletForm");
            if (!found.empty()) mainWindow = found.front();
        }
        if (mainWindow != nullptr && IsWindowVisible(mainWindow)) {
            mainShown = GetTickCount();
            if (splashWindow != nullptr && splashGone == 0 && IsWindowVisible(splashWindow))
                mainBeforeSplashGone = true;
        }
        Sleep(10);
    }
    check(splashWindow != nullptr, "the splash of class TSplashForm shows");
    check(mainShown != 0, "the main window shows after the splash");
    if (splashWindow != nullptr) {
        check(client.right == 329 && client.bottom == 121, "splash: client area 329 x 121",
              std::to_string(client.right) + " x " + std::to_string(client.bottom));
        check((style & WS_CAPTION) == 0 && (style & WS_THICKFRAME) == 0, "splash: no border or title bar");
        check((exStyle & WS_EX_TOPMOST) != 0, "splash: on top");
        const int dx = (frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2;
        const int dy = (frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2;
        check(std::abs(dx) <= 1 && std::abs(dy) <= 30, "splash: centred",
              std::to_string(dx) + ", " + std::to_string(dy));
        check(!mainBeforeSplashGone, "splash: the main window waits for it");
        // A slow machine only makes it stay longer; it goes by itself (the main window follows).
        const DWORD lasted = (splashGone != 0 ? splashGone : mainShown) - splashMade;
        check(lasted >= 1700, "splash: stays about two seconds (" + std::to_string(lasted) + " ms)");
    }
    if (mainWindow != nullptr) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(mainWindow, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &answer);
    }
    checkExitsWithZero(child, "splash run");
}

// Translucency on Windows XP: the check box makes the window layered and topmost, the bar sets
// its alpha, clearing the box makes it opaque again.
void translucency(MainWindow& main) {
    HWND box = main.control("TranslucentCheckBox");
    HWND bar = main.control("TranslucentTrackBar");
    check(box != nullptr && bar != nullptr, "translucency: its box and bar exist");
    if (box == nullptr || bar == nullptr) return;
    check(showPage(main, "Tweaks1", "TweaksTabSheet"), "translucency: the tweaks page shows");
    auto exStyle = [&] { return GetWindowLongW(main.window, GWL_EXSTYLE); };
    auto alpha = [&] {
        BYTE value = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        return GetLayeredWindowAttributes(main.window, &key, &value, &flags) ? static_cast<int>(value) : -1;
    };
    PostMessageW(box, BM_CLICK, 0, 0);
    waitUntil([&] {
        return (exStyle() & WS_EX_LAYERED) != 0 && alpha() == 255 && (exStyle() & WS_EX_TOPMOST) != 0 &&
               IsWindowEnabled(bar);
    });
    check((exStyle() & WS_EX_LAYERED) != 0 && alpha() == 255, "translucency ticked: layered, opaque",
          "alpha " + std::to_string(alpha()));
    check((exStyle() & WS_EX_TOPMOST) != 0, "translucency ticked: on top");
    check(IsWindowEnabled(bar) != FALSE, "translucency ticked: the bar is usable");

    // The user drags the bar to its left end.
    SendMessageW(bar, TBM_SETPOS, TRUE, 0);
    SendMessageW(GetParent(bar), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
    waitUntil([&] { return alpha() == 20; });
    check(alpha() == 20, "the bar's left end gives alpha 20", "alpha " + std::to_string(alpha()));

    PostMessageW(box, BM_CLICK, 0, 0);
    waitUntil([&] { return (exStyle() & (WS_EX_LAYERED | WS_EX_TOPMOST)) == 0 && !IsWindowEnabled(bar); });
    check((exStyle() & WS_EX_LAYERED) == 0, "translucency cleared: opaque");
    check((exStyle() & WS_EX_TOPMOST) == 0, "translucency cleared: no longer on top");
    check(IsWindowEnabled(bar) == FALSE, "translucency cleared: the bar is greyed");
}

void familyXp() {
    MainWindow main;
    if (main.window == nullptr) return;
    checkFamily(main, true, true, "Windows XP");
    translucency(main);
    main.endSession("Windows XP");
}

void family98() {
    MainWindow main;
    if (main.window == nullptr) return;
    checkFamily(main, false, false, "Windows 98");
    main.endSession("Windows 98");
}

// The 释放 button recovers the target's worth on a worker: the graph gives way to the
// "正在释放内存..." panel while the block is written, then comes back.
void recoverButton() {
    MainWindow main;
    if (main.window == nullptr) return;
    HWND bar = main.control("TargetFreeRamTrackBar");
    HWND value = main.control("TargetFreeRamValLabel");
    HWND graph = main.control("PerformanceGraph");
    HWND button = main.control("RecoverSpeedButton");
    if (bar == nullptr || value == nullptr || graph == nullptr || button == nullptr) {
        check(false, "the recovery controls exist");
        return;
    }
    check(showPage(main, "Options1", "OptionsTabSheet"), "the options page shows");
    SendMessageW(bar, TBM_SETPOS, TRUE, 200);
    SendMessageW(GetParent(bar), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
    std::string shown;
    waitUntil([&] { return (shown = utf8(windowText(value))).rfind("200 Mb (", 0) == 0; });
    check(shown.rfind("200 Mb (", 0) == 0, "the target's value label follows the bar", shown);

    PostMessageW(button, BM_CLICK, 0, 0);
    const DWORD start = GetTickCount();
    bool hiddenSeen = false;
    while (GetTickCount() - start < 2 * checks::kPatienceMs) {
        if (!IsWindowVisible(graph)) hiddenSeen = true;
        else if (hiddenSeen) break;
        Sleep(2);
    }
    check(hiddenSeen, "recovering: the graph gives way to the recovery panel");
    check(hiddenSeen && IsWindowVisible(graph), "recovered: the graph is back",
          std::to_string(GetTickCount() - start) + " ms");
    check(IsWindowVisible(main.control("MemoryTabSheet")) != FALSE, "recovering shows the resource page");
    check(windowsOf(main.child.id(), L"#32770").empty(), "no message");
    main.endSession("after a recovery");
}

// 调整内存 opens the Tune RAM dialog beside the main window; closing it leaves the program
// running.
void tuneRam() {
    MainWindow main;
    if (main.window == nullptr) return;
    HWND button = main.control("TuneRamSpeedButton");
    check(button != nullptr, "the 调整内存 button exists");
    if (button == nullptr) return;
    PostMessageW(button, BM_CLICK, 0, 0);
    HWND dialog = waitForShownWindow(main.child, L"TTuneRamForm");
    check(dialog != nullptr, "the Tune RAM dialog shows");
    if (dialog == nullptr) return;
    checks::checkText(utf8(windowText(dialog)), "调节内存", "Tune RAM: caption");
    RECT client{}, frame{}, owner{};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &frame);
    GetWindowRect(main.window, &owner);
    check(client.right == 378 && client.bottom == 49, "Tune RAM: client area 378 x 49",
          std::to_string(client.right) + " x " + std::to_string(client.bottom));
    check(frame.left == owner.left + 15 && frame.top == owner.top + 15, "Tune RAM: 15 pixels right of and below the window",
          std::to_string(frame.left - owner.left) + ", " + std::to_string(frame.top - owner.top));
    check(IsWindowEnabled(main.window) == FALSE, "Tune RAM: modal");
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    check(waitUntil([&] { return !IsWindowVisible(dialog); }), "Tune RAM: the close box closes it");
    check(waitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }) && main.child.running(),
          "Tune RAM: the window is usable again");
    main.endSession("after Tune RAM");
}

// Opens the tray menu as a right click on the notification icon does and chooses its item at
// `position` (0 = 打开) with the arrow keys and Enter, as the menu's own keyboard handling takes
// them. Returns whether the menu opened and closed again.
bool chooseTrayMenuItem(HWND window, int position) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    PostMessageW(window, WM_USER + 1, 1, WM_RBUTTONUP);
    HWND menu = nullptr;
    waitUntil([&] {
        for (HWND m : windowsOf(process, L"#32768"))
            if (IsWindowVisible(m) && painted(m)) menu = m;
        return menu != nullptr;
    });
    if (menu == nullptr) return false;
    for (int i = 0; i <= position; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
    return waitUntil([&] { return !IsWindowVisible(menu); });
}

BOOL CALLBACK addBalloon(HWND hwnd, LPARAM param) {
    if (className(hwnd) == L"tooltips_class32" && IsWindowVisible(hwnd) &&
        (GetWindowLongW(hwnd, GWL_STYLE) & TTS_BALLOON) != 0)
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

// The balloons the notification area shows now (the shell's tooltip windows in balloon form),
// whoever made them.
std::vector<HWND> shownBalloons() {
    std::vector<HWND> found;
    EnumWindows(addBalloon, reinterpret_cast<LPARAM>(&found));
    return found;
}

// "1,234MB" at the start of text: its length, or 0.
size_t megabytesAt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || (i > 0 && text[i] == ','))) ++i;
    return i > 0 && text.compare(i, 2, "MB") == 0 ? i + 2 : 0;
}

// "可用内存：A → B（增加 C）" or "可用内存没有增加：A → B", each figure in megabytes.
bool looksLikeRecoveryResult(const std::string& text) {
    const std::string grew = "可用内存：", flat = "可用内存没有增加：", arrow = " → ";
    const bool rose = text.rfind(grew, 0) == 0;
    size_t at = rose ? grew.size() : text.rfind(flat, 0) == 0 ? flat.size() : std::string::npos;
    if (at == std::string::npos) return false;
    size_t n = megabytesAt(text.substr(at));
    if (n == 0 || text.compare(at + n, arrow.size(), arrow) != 0) return false;
    at += n + arrow.size();
    n = megabytesAt(text.substr(at));
    if (n == 0) return false;
    at += n;
    if (!rose) return at == text.size() || text.compare(at, 1, "\n") == 0;
    const std::string more = "（增加 ";
    if (text.compare(at, more.size(), more) != 0) return false;
    at += more.size();
    n = megabytesAt(text.substr(at));
    return n > 0 && text.compare(at + n, std::string("）").size(), "）") == 0;
}

// The tray menu's 释放内存: once the recovery has ended and its figures settled, the icon shows
// one balloon, its text the free memory before and after; it stays the only one.
void trayRecoveryBalloon() {
    MainWindow main;
    if (main.window == nullptr) return;
    check(shownBalloons().empty(), "no balloon before the recovery");
    check(chooseTrayMenuItem(main.window, 1), "the tray menu's 释放内存 is chosen");
    std::vector<HWND> balloons;
    waitUntil([&] { return !(balloons = shownBalloons()).empty(); }, 2 * checks::kPatienceMs);
    check(balloons.size() == 1, "one balloon shows after the recovery", std::to_string(balloons.size()) + " shown");
    if (balloons.empty()) return main.endSession("after a recovery from the tray");
    const std::string text = utf8(windowText(balloons.front()));
    check(looksLikeRecoveryResult(text), "the balloon tells free memory before and after: " + checks::visible(text));
    // Wine does not tell the page files' use (the page-file class of NtQuerySystemInformation
    // answers STATUS_INVALID_INFO_CLASS), so no line may claim it grew: the commit charge, which
    // a recovery does move here, is no stand-in for it.
    check(text.find('\n') == std::string::npos, "no page-file line where the system does not tell its use: " +
                                                      checks::visible(text));
    Sleep(3000);
    check(shownBalloons().size() == 1, "no second balloon follows", std::to_string(shownBalloons().size()) + " shown");
    main.endSession("after a recovery from the tray");
}

}  // namespace

// For the screenshot script: the running copy recovers from its tray menu; returns once the
// balloon with the result shows.
int showRecoveryBalloon() {
    HWND window = FindWindowW(L"TQuilletForm", nullptr);
    if (window == nullptr || !chooseTrayMenuItem(window, 1)) return 1;
    return waitUntil([] {
               const auto balloons = shownBalloons();
               return !balloons.empty() && painted(balloons.front());
           }, 2 * checks::kPatienceMs)
               ? 0
               : 1;
}

// For the screenshot script: opens the Tune RAM dialog of the running copy.
int openTuneRam() {
    HWND window = FindWindowW(L"TQuilletForm", nullptr);
    if (window == nullptr) return 1;
    chooseMenuItem(window, "FreeMemory1");  // the button's page
    HWND button = namedControls(window)["TuneRamSpeedButton"];
    if (button == nullptr) return 1;
    PostMessageW(button, BM_CLICK, 0, 0);
    return waitUntil([&] {
               HWND dialog = FindWindowW(L"TTuneRamForm", nullptr);
               return dialog != nullptr && IsWindowVisible(dialog) && painted(dialog) && painted(window);
           })
               ? 0
               : 1;
}

// --- the packages' test (packaging/test_packages.sh) -------------------------------------------

namespace {

bool ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The start-with-Windows box shows what the installer chose (QUILLET_EXPECT_AUTOSTART=1 or 0).
void checkAutostartBox(const MainWindow& main) {
    const char* expected = std::getenv("QUILLET_EXPECT_AUTOSTART");
    if (expected == nullptr) return;
    HWND box = main.control("StartWithWindowsCheckBox");
    const bool want = std::string(expected) == "1";
    check(box != nullptr && ticked(box) == want,
          std::string("the start-with-Windows box is ") + (want ? "ticked" : "clear"));
}

// A fresh copy: the recovery sound's box is ticked; the user clears it and the program saves
// it at the end of the session.
void packageSave() {
    MainWindow main;
    if (main.window == nullptr) return;
    checkAutostartBox(main);
    HWND box = main.control("RecoverSndCheckBox");
    check(box != nullptr && ticked(box), "a fresh copy: the recovery sound's box is ticked");
    if (box == nullptr) return;
    check(showPage(main, "Tweaks1", "TweaksTabSheet"), "the page of the recovery sound's box shows");
    PostMessageW(box, BM_CLICK, 0, 0);
    check(waitUntil([&] { return !ticked(box); }), "the user clears the recovery sound's box");
    main.endSession("after the change");
}

// Started again: the change is there.
void packageKept() {
    MainWindow main;
    if (main.window == nullptr) return;
    checkAutostartBox(main);
    HWND box = main.control("RecoverSndCheckBox");
    check(box != nullptr && !ticked(box), "started again: the recovery sound's box is still clear");
    main.endSession("started again");
}

// The command line in QUILLET_COMMAND (an installer or uninstaller), started; false when it
// could not be.
bool startCommand(PROCESS_INFORMATION& process) {
    const wchar_t* command = _wgetenv(L"QUILLET_COMMAND");
    check(command != nullptr, "QUILLET_COMMAND names what to run");
    if (command == nullptr) return false;
    std::wstring commandLine = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process) != FALSE;
    check(started, "it starts", std::to_string(GetLastError()));
    return started;
}

// Waits for the command to end; its exit code, or STILL_ACTIVE.
DWORD finishCommand(PROCESS_INFORMATION& process) {
    WaitForSingleObject(process.hProcess, 3 * checks::kPatienceMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    if (code == STILL_ACTIVE) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// An installer or uninstaller (the command line in QUILLET_COMMAND) run while the program runs:
// it ends the program (which saves, as at a log-off) and goes on to its end. Run beside a copy
// it does not own (ends = false), it leaves that copy running; QUILLET_WAIT_GONE names the file
// whose removal shows that its work is done (an uninstaller hands its work to a copy of itself
// and ends at once).
void packageRunWhileRunning(bool ends) {
    MainWindow main;
    if (main.window == nullptr) return;
    PROCESS_INFORMATION process{};
    if (!startCommand(process)) return;
    if (ends) checkExitsWithZero(main.child, "it ends the running program");
    const DWORD code = finishCommand(process);
    check(code == 0, "it ends with 0", "exit code " + std::to_string(code));
    if (ends) return;
    if (const wchar_t* gone = _wgetenv(L"QUILLET_WAIT_GONE"))
        check(waitUntil([&] { return GetFileAttributesW(gone) == INVALID_FILE_ATTRIBUTES; }, 3 * checks::kPatienceMs),
              "its work is done: " + utf8(gone) + " is gone");
    check(main.child.running() && IsWindow(main.window), "the copy it does not own still runs");
    main.endSession("the copy it does not own");
}

// The installer (QUILLET_COMMAND) run while another program holds the installed program file
// (the driver's path) open, as Windows may a moment after the program ended: the file is
// released after QUILLET_HOLD_MS; the installer ends with QUILLET_EXPECT_EXIT.
void packageInstallWhileLocked() {
    const wchar_t* holdText = _wgetenv(L"QUILLET_HOLD_MS");
    const wchar_t* expectText = _wgetenv(L"QUILLET_EXPECT_EXIT");
    check(holdText != nullptr && expectText != nullptr, "QUILLET_HOLD_MS and QUILLET_EXPECT_EXIT are given");
    if (holdText == nullptr || expectText == nullptr) return;
    const DWORD holdMs = static_cast<DWORD>(_wtoi(holdText));
    const DWORD expected = static_cast<DWORD>(_wtoi(expectText));
    HANDLE file = CreateFileW(quilletPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    check(file != INVALID_HANDLE_VALUE, "the program file is held, shared with nobody");
    if (file == INVALID_HANDLE_VALUE) return;
    PROCESS_INFORMATION process{};
    if (!startCommand(process)) {
        CloseHandle(file);
        return;
    }
    WaitForSingleObject(process.hProcess, holdMs);
    CloseHandle(file);
    const DWORD code = finishCommand(process);
    check(code == expected, "it ends with " + std::to_string(expected), "exit code " + std::to_string(code));
}

// The executable name of a process, or "".
std::wstring processName(DWORD id, DWORD* parent = nullptr) {
    std::wstring name;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return name;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != id) continue;
        name = entry.szExeFile;
        if (parent != nullptr) *parent = entry.th32ParentProcessID;
        break;
    }
    CloseHandle(snapshot);
    return name.substr(name.find_last_of(L'\\') + 1);
}

// The installer (QUILLET_COMMAND, not silent) walked through as a user does, every page left by
// its default button, the finish page's "run Quillet" left ticked: the program (the driver's
// path) starts, and not as the installer's child (an installer runs as an administrator) but
// from the desktop's shell, as the user of the desktop.
void packageFinishRun() {
    PROCESS_INFORMATION process{};
    if (!startCommand(process)) return;
    const DWORD installer = process.dwProcessId;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 500) == WAIT_TIMEOUT && GetTickCount() - start < 4 * checks::kPatienceMs) {
        for (HWND page : windowsOf(installer, L"#32770")) {
            HWND next = GetDlgItem(page, IDOK);
            if (IsWindowVisible(page) && next != nullptr && IsWindowVisible(next) && IsWindowEnabled(next)) {
                PostMessageW(next, BM_CLICK, 0, 0);
                Sleep(700);
                break;
            }
        }
    }
    const DWORD code = finishCommand(process);
    check(code == 0, "the installer, walked through, ends with 0", "exit code " + std::to_string(code));
    HWND window = nullptr;
    DWORD program = 0;
    check(waitUntil([&] {
              window = FindWindowW(L"TQuilletForm", nullptr);
              if (window != nullptr) GetWindowThreadProcessId(window, &program);
              return window != nullptr && IsWindowVisible(window);
          }),
          "the finish page starts Quillet");
    if (window == nullptr) return;
    DWORD parent = 0;
    const std::wstring name = processName(program, &parent);
    check(_wcsicmp(name.c_str(), L"Quillet.exe") == 0, "the program started is Quillet.exe", utf8(name));
    const std::wstring parentName = processName(parent);
    check(parent != installer && _wcsicmp(parentName.c_str(), L"explorer.exe") == 0,
          "it is started by the desktop's shell, not by the installer", "started by " + utf8(parentName));
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &answer);
    check(waitUntil([&] { return !IsWindow(window); }), "it ends with the session");
}

}  // namespace

int runPackageScenario(const std::wstring& scenario) {
    if (scenario == L"package_save") packageSave();
    else if (scenario == L"package_kept") packageKept();
    else if (scenario == L"package_run_while_running") packageRunWhileRunning(true);
    else if (scenario == L"package_run_beside") packageRunWhileRunning(false);
    else if (scenario == L"package_install_while_locked") packageInstallWhileLocked();
    else if (scenario == L"package_finish_run") packageFinishRun();
    else return -1;
    return checks::summary();
}

int runMainWindowScenario(const std::wstring& scenario) {
    if (scenario == L"main_window") mainWindow();
    else if (scenario == L"exit_command") exitCommand();
    else if (scenario == L"splash") splash();
    else if (scenario == L"family_winxp") familyXp();
    else if (scenario == L"family_win98") family98();
    else if (scenario == L"recover_button") recoverButton();
    else if (scenario == L"tune_ram") tuneRam();
    else if (scenario == L"display_scale") displayScale();
    else if (scenario == L"open_tune_ram") return openTuneRam();
    else if (scenario == L"tray_recovery_balloon") trayRecoveryBalloon();
    else if (scenario == L"show_recovery_balloon") return showRecoveryBalloon();
    else return -1;
    return checks::summary();
}

}  // namespace e2e
