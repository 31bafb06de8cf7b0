#pragma once
// What the end-to-end scenarios share: starting Quillet.exe, finding its windows from outside
// the process, reading their texts, and the checks.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/wine/check_report.h"

namespace e2e {

// --- reporting -------------------------------------------------------------------------------

using checks::check;

inline std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

inline void checkText(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
    checks::checkText(utf8(actual), utf8(expected), what);
}

// --- processes and windows -------------------------------------------------------------------

inline std::wstring quilletPath;

// The programs a driver starts end with it, however it ends (a failed check, a crash, killed by
// the test runner): they belong to a job the system ends when the driver's last handle to it
// goes, which is at the driver's end.
inline HANDLE driverJob() {
    static const HANDLE job = [] {
        HANDLE made = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made != nullptr) SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        return made;
    }();
    return job;
}

// Starts a program (its path, or null to take it from the command line) in the driver's job.
inline bool startWithDriver(const wchar_t* program, std::wstring commandLine, PROCESS_INFORMATION& info) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (driverJob() != nullptr) AssignProcessToJobObject(driverJob(), info.hProcess);
    ResumeThread(info.hThread);
    return true;
}

// Ends a program that is still running and waits until it is gone, so that nothing of it is
// left when the next step (or the next test) starts.
inline void endProgram(HANDLE process) {
    if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return;
    TerminateProcess(process, 99);
    WaitForSingleObject(process, checks::kPatienceMs);
}

struct Child {
    PROCESS_INFORMATION info{};
    bool started = false;

    explicit Child(const std::wstring& arguments, const std::wstring& program = quilletPath) {
        std::wstring commandLine = L"\"" + program + L"\"";
        if (!arguments.empty()) commandLine += L" " + arguments;
        started = startWithDriver(program.c_str(), commandLine, info);
    }
    ~Child() {
        if (!started) return;
        endProgram(info.hProcess);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    bool running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
    // Exit code, or STILL_ACTIVE when it did not end in time.
    DWORD waitForExit(DWORD milliseconds) const {
        WaitForSingleObject(info.hProcess, milliseconds);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    DWORD id() const { return info.dwProcessId; }
};

inline std::wstring className(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

// Polls the condition until it holds or the time is up; returns whether it held.
template <class Condition>
bool waitUntil(Condition condition, DWORD milliseconds = checks::kPatienceMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(20);
    }
}

// A window's text, asked of its thread (which may be busy a while on a slow machine: it is
// waited for, not given up as hung).
inline std::wstring windowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, checks::kPatienceMs, &length))
        return L"<no answer>";
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL,
                        checks::kPatienceMs, &copied);
    return std::wstring(buffer.data(), copied);
}

struct Search {
    DWORD processId;
    std::wstring className;
    std::vector<HWND> found;
};

inline BOOL CALLBACK collectTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && className(hwnd) == search->className) search->found.push_back(hwnd);
    return TRUE;
}

// Top-level windows of one class belonging to one process, hidden ones included.
inline std::vector<HWND> windowsOf(DWORD processId, const std::wstring& name) {
    Search search{processId, name, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A top-level window of the class that the child has made (shown or not), or null when none
// comes in time or the child ends first.
inline HWND waitForWindow(const Child& child, const std::wstring& name, DWORD milliseconds = checks::kPatienceMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            const auto windows = windowsOf(child.id(), name);
            if (!windows.empty()) found = windows.front();
            return found != nullptr || !child.running();
        },
        milliseconds);
    return found;
}

// The first shown top-level window of the class that the child puts up, or null when none shows
// in time or the child ends first.
inline HWND waitForShownWindow(const Child& child, const std::wstring& name, DWORD milliseconds = checks::kPatienceMs) {
    HWND shown = nullptr;
    waitUntil(
        [&] {
            for (HWND hwnd : windowsOf(child.id(), name))
                if (IsWindowVisible(hwnd)) return (shown = hwnd) != nullptr;
            return !child.running();
        },
        milliseconds);
    return shown;
}

// Whether the window and all its children have painted what was last shown or changed (no
// part waits for WM_PAINT), so what the screen shows of them can be read.
inline BOOL CALLBACK findUnpainted(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}
inline bool painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(window, findUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

inline void checkExitsWithZero(const Child& child, const std::string& what) {
    const DWORD code = child.waitForExit(checks::kPatienceMs);
    check(code == 0, what + ": exits with 0", "exit code " + std::to_string(code));
}

// The settings file the program keeps beside itself: every scenario starts and ends without
// one, so no run sees what an earlier one saved.
inline std::wstring settingsFilePath() {
    return quilletPath.substr(0, quilletPath.find_last_of(L'\\') + 1) + L"Quillet.ini";
}
inline void removeSettingsFile() { DeleteFileW(settingsFilePath().c_str()); }

// A file's bytes, read past the program's own handles on it; `unreadable` when it cannot be
// opened.
inline std::string fileBytes(const std::wstring& path, const std::string& unreadable = {}) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return unreadable;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// Quillet /ram=80 /once: its progress window, at the screen's DPI, and no main window
// (e2e_driver.cpp).
void commandLineRecovery();

// The scenarios about the main window (main_window_scenarios.cpp). Returns the checks' exit
// code, or -1 for a scenario it does not know.
int runMainWindowScenario(const std::wstring& scenario);
// The steps of the packages' test that need the running program (main_window_scenarios.cpp);
// they leave the settings file where the program saved it. -1 for a scenario it does not know.
int runPackageScenario(const std::wstring& scenario);

// The program's controls by the names it gives them (a window property holding an atom).
inline BOOL CALLBACK collectNamed(HWND hwnd, LPARAM param) {
    auto* found = reinterpret_cast<std::map<std::string, HWND>*>(param);
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(hwnd, L"QuilletName")));
    wchar_t name[256] = L"";
    if (atom != 0 && GlobalGetAtomNameW(atom, name, 256) > 0) (*found)[utf8(name)] = hwnd;
    return TRUE;
}

inline std::map<std::string, HWND> namedControls(HWND form) {
    // The program names its windows only once asked.
    static const UINT publishNames = RegisterWindowMessageW(L"QuilletPublishNames");
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(form, publishNames, 0, 0, SMTO_NORMAL, 30000, &answer);
    std::map<std::string, HWND> found;
    EnumChildWindows(form, collectNamed, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace e2e
