// The system tweaks seen from outside the program, under one emulated Windows release: starting
// leaves the registry as it was; each tweak clicked in the running program writes exactly its
// values (read back here from the prefix's registry) and clearing it removes or resets them;
// leaving the cache page after a change asks once whether to restart; on the 9x family a save
// puts the cache entries into system.ini and leaves its other lines alone; the start-with-Windows
// box reads the user's own Run entry and the save removes it, leaving another copy's alone.
//
//   tweaks_e2e.exe RELEASE Quillet.exe      RELEASE: win95 win98 winme nt40 win2k winxp default
//
// Only Quillet.exe sees the emulated release; this driver runs as Wine's own release and reads
// and writes the prefix's registry and files directly. Everything it changes is put back.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "mainwindow/main_form_layout.h"
#include "tests/wine/e2e_support.h"

namespace e2e {
namespace {

using checks::check;
using checks::checkText;

constexpr DWORD kPatience = 30000;  // the longest any condition is waited for

bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds = kPatience) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(20);
    }
    return true;
}

// ---- the release under test ----------------------------------------------------------------

enum class TunedRow { None, Windows9x, Nt4, Nt5 };

struct Release {
    std::string name;
    bool family9x = false;
    bool swapPolicy = false;  // Windows 98 and ME
    TunedRow row = TunedRow::None;
};

Release releaseNamed(const std::string& name) {
    if (name == "win95") return {name, true, false, TunedRow::Windows9x};
    if (name == "win98" || name == "winme") return {name, true, true, TunedRow::Windows9x};
    if (name == "nt40") return {name, false, false, TunedRow::Nt4};
    if (name == "win2k" || name == "winxp") return {name, false, false, TunedRow::Nt5};
    return {name, false, false, TunedRow::None};  // Wine's own modern release
}

// ---- the registry --------------------------------------------------------------------------

const wchar_t kFileSystem[] = L"System\\CurrentControlSet\\Control\\FileSystem";
const wchar_t kMemory[] = L"System\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kTcpip[] = L"System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const wchar_t kMstcp[] = L"System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const wchar_t kInternet[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const wchar_t kUnload[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct ValueName {
    HKEY root;
    const wchar_t* key;
    std::wstring name;
};

struct TunedValue {
    const wchar_t* name;
    std::string expected;  // as value() describes it
};

const std::vector<TunedValue> k9xRow = {{L"DefaultTTL", "sz 128"},  {L"DefaultRcvWindow", "sz 32767"},
                                        {L"PMTUBlackHoleDetect", "sz 0"}, {L"PMTUDiscovery", "sz 1"},
                                        {L"SackOpts", "sz 1"},      {L"Tcp1323Opts", "dword 3"}};
const std::vector<TunedValue> kNt4Row = {{L"DefaultTTL", "dword 128"}, {L"EnablePMTUBHDetect", "dword 0"},
                                         {L"EnablePMTUDiscovery", "dword 1"}, {L"TcpWindowSize", "dword 64240"}};
const std::vector<TunedValue> kNt5Row = {
    {L"DefaultTTL", "dword 128"},  {L"EnablePMTUBHDetect", "dword 0"},    {L"EnablePMTUDiscovery", "dword 1"},
    {L"SackOpts", "dword 1"},      {L"Tcp1323Opts", "dword 1"},           {L"TcpWindowSize", "dword 32767"},
    {L"GlobalMaxTcpWindowSize", "dword 32767"}};

struct Stored {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// The values are read and written where the running Windows itself reads them: in a 64-bit
// prefix, the 64-bit view (the driver is as 32-bit as the program in the 32-bit build), so a
// value the program left in the 32-bit view (Wow6432Node) is missing here.
REGSAM systemView() {
    using IsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = reinterpret_cast<IsWow64Process>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64 ? KEY_WOW64_64KEY : 0;
}

Stored stored(const ValueName& v) {
    Stored out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(v.root, v.key, 0, KEY_QUERY_VALUE | systemView(), &key) != ERROR_SUCCESS) return out;
    DWORD size = 0;
    if (RegQueryValueExW(key, v.name.c_str(), nullptr, &out.type, nullptr, &size) == ERROR_SUCCESS) {
        out.data.resize(size);
        out.present = RegQueryValueExW(key, v.name.c_str(), nullptr, &out.type, out.data.data(), &size) == ERROR_SUCCESS;
        out.data.resize(size);
    }
    RegCloseKey(key);
    return out;
}

void restore(const ValueName& v, const Stored& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(v.root, v.key, 0, nullptr, 0, KEY_ALL_ACCESS | systemView(), nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (value.present) {
        RegSetValueExW(key, v.name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    } else {
        RegDeleteValueW(key, v.name.c_str());
    }
    RegCloseKey(key);
}

void putNumber(const ValueName& v, DWORD number) {
    Stored value{true, REG_DWORD, std::vector<BYTE>(4)};
    std::copy_n(reinterpret_cast<const BYTE*>(&number), 4, value.data.begin());
    restore(v, value);
}

void putText(const ValueName& v, const std::string& text) {
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()));
    const BYTE* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
    restore(v, Stored{true, REG_SZ, std::vector<BYTE>(bytes, bytes + (wide.size() + 1) * sizeof(wchar_t))});
}

// "missing", "dword N", "sz TEXT" or "type N".
std::string value(const ValueName& v) {
    const Stored s = stored(v);
    if (!s.present) return "missing";
    if (s.type == REG_DWORD && s.data.size() == 4) return "dword " + std::to_string(*reinterpret_cast<const DWORD*>(s.data.data()));
    if (s.type == REG_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(s.data.data()), s.data.size() / sizeof(wchar_t));
        return "sz " + utf8(text.substr(0, text.find(L'\0')));
    }
    return "type " + std::to_string(s.type);
}

// Waits for the value to read as expected (the program writes it on its own thread of control).
void checkValue(const ValueName& v, const std::string& expected, const std::string& what) {
    std::string got;
    waitUntil([&] { return (got = value(v)) == expected; });
    checkText(got, expected, what + ": " + utf8(v.name));
}

// ---- files ---------------------------------------------------------------------------------

std::wstring windowsFolder() {
    wchar_t folder[MAX_PATH] = L"";
    GetWindowsDirectoryW(folder, MAX_PATH);
    return folder;
}
std::wstring systemIniPath() { return windowsFolder() + L"\\system.ini"; }

// system.ini's bytes; "<missing>" when there is none.
std::string systemIniBytes() { return fileBytes(systemIniPath(), "<missing>"); }

bool writeFile(const std::wstring& path, const std::string& bytes) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

// An INI file's lines without blank ones, each as "[section]" or "section|line".
std::vector<std::string> iniLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string section;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') {
            section = line;
            lines.push_back(line);
        } else {
            lines.push_back(section + "|" + line);
        }
    }
    return lines;
}

// The file without its [vcache] and [386Enh] sections (an earlier run under a 9x release may
// have saved some), so the sections the scenario adds are the only ones.
std::string withoutCacheSections(const std::string& bytes) {
    std::string kept;
    bool skipping = false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        const std::string line = bytes.substr(start, end - start);
        start = end;
        if (!line.empty() && line.front() == '[') {
            skipping = _strnicmp(line.c_str(), "[vcache]", 8) == 0 || _strnicmp(line.c_str(), "[386Enh]", 8) == 0;
        }
        if (!skipping) kept += line;
    }
    return kept;
}

bool isCacheEntry(const std::string& line) {
    for (const char* key : {"[vcache]|minfilecache=", "[vcache]|maxfilecache=", "[vcache]|chunksize=",
                            "[386Enh]|ConservativeSwapfileUsage="})
        if (line.rfind(key, 0) == 0) return true;
    return false;
}

std::string entryOf(const std::vector<std::string>& lines, const std::string& sectionAndKey) {
    for (const std::string& line : lines)
        if (line.rfind(sectionAndKey + "=", 0) == 0) return line.substr(sectionAndKey.size() + 1);
    return "<none>";
}

int settingsInt(const wchar_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(L"Settings", key, -1, settingsFilePath().c_str()));
}

// ---- the running program -------------------------------------------------------------------

int pageIndex(const std::string& page) {
    const auto pages = mainwindow::childControls("MainPageControl");
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i]->name == page) return static_cast<int>(i);
    return -1;
}

LRESULT sendTo(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, kPatience, &answer);
    return static_cast<LRESULT>(answer);
}

struct Program {
    Child child{L""};
    HWND window = nullptr;

    Program() {
        waitUntil([&] {
            for (HWND w : windowsOf(child.id(), L"TQuilletForm"))
                if (IsWindowVisible(w)) window = w;
            return window != nullptr || !child.running();
        });
        check(window != nullptr, "the main window shows");
    }

    // A control by the name the program gives it; the controls of a page exist once it has shown.
    HWND control(const std::string& name) {
        HWND found = nullptr;
        waitUntil([&] {
            const std::map<std::string, HWND> named = namedControls(window);
            auto it = named.find(name);
            found = it == named.end() ? nullptr : it->second;
            return found != nullptr;
        });
        if (found == nullptr) check(false, "control " + name + " exists");
        return found;
    }

    int page() { return static_cast<int>(sendTo(control("MainPageControl"), TCM_GETCURSEL)); }
    bool showing(const std::string& page) { return IsWindowVisible(control(page)) != FALSE; }

    // One step left or right on the tabs, as the arrow keys do it: a user's page change.
    void step(int direction) {
        PostMessageW(control("MainPageControl"), WM_KEYDOWN, direction > 0 ? VK_RIGHT : VK_LEFT, 1);
    }
    // Walks the tabs to the page; false when it did not get there (a question stopped it).
    bool goTo(const std::string& pageName) {
        const int target = pageIndex(pageName);
        for (int tries = 0; tries < 8 && page() != target; ++tries) {
            const int from = page();
            step(target > from ? 1 : -1);
            if (!waitUntil([&] { return page() != from; })) return false;
            if (question() != nullptr) return false;
        }
        return waitUntil([&] { return showing(pageName); });
    }

    // The program's message box, if one shows now.
    HWND question() {
        for (HWND dialog : windowsOf(child.id(), L"#32770"))
            if (IsWindowVisible(dialog)) return dialog;
        return nullptr;
    }

    bool ticked(const std::string& name) { return sendTo(control(name), BM_GETCHECK) == BST_CHECKED; }
    // A user's click; the program has handled it when this returns.
    void click(const std::string& name) { sendTo(control(name), BM_CLICK); }
    std::string text(const std::string& name) { return utf8(windowText(control(name))); }
    // Typing replaces the text; the edit tells the program (EN_CHANGE) before this returns.
    void type(const std::string& name, const std::wstring& text) {
        sendTo(control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void choose(const std::string& comboName, int index) {
        HWND combo = control(comboName);
        sendTo(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
        sendTo(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }

    // Ends the program as Windows ends a session: it saves its settings and exits with 0.
    void endSession(const std::string& what) {
        if (window == nullptr || !child.running()) return;
        PostMessageW(window, WM_QUERYENDSESSION, 0, 0);
        checkExitsWithZero(child, what);
    }
};

// ---- the scenario --------------------------------------------------------------------------

BOOL CALLBACK collectTexts(HWND hwnd, LPARAM param) {
    *reinterpret_cast<std::string*>(param) += "|" + utf8(windowText(hwnd)) + "|";
    return TRUE;
}

// Leaves the cache page with the keyboard; the restart question must show (answered No) or not.
void leaveCachePage(Program& program, bool questionDue, const std::string& what) {
    const std::string next = "TweaksTabSheet";
    program.step(-1);
    if (questionDue) {
        HWND dialog = nullptr;
        waitUntil([&] { return (dialog = program.question()) != nullptr; });
        check(dialog != nullptr, what + ": the restart question shows");
        if (dialog == nullptr) return;
        checkText(utf8(windowText(dialog)), "Quillet", what + ": its caption");
        std::string texts;
        EnumChildWindows(dialog, collectTexts, reinterpret_cast<LPARAM>(&texts));
        check(texts.find("|缓存设置发生变化，您需要重新启动计算机吗?" + std::string(32, ' ') + "|") != std::string::npos,
              what + ": it asks whether to restart", texts);
        HWND no = GetDlgItem(dialog, IDNO);
        check(no != nullptr && GetDlgItem(dialog, IDYES) != nullptr, what + ": with Yes and No");
        PostMessageW(dialog, WM_COMMAND, IDNO, reinterpret_cast<LPARAM>(no));
        check(waitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }), what + ": No closes it");
    }
    // The new page shows only once the question (if any) is over.
    check(waitUntil([&] { return program.showing(next); }), what + ": the tweaks page shows");
    if (!questionDue) check(program.question() == nullptr, what + ": nothing is asked");
    check(program.child.running(), what + ": the program goes on (no restart)");
}

void tweaksPage(Program& p, const Release& release) {
    check(p.goTo("TweaksTabSheet"), "the tweaks page opens");
    check(!p.ticked("SimultaneousConnectionsCheckBox"), "2/8 connections read as off");
    checkText(p.text("SimultaneousConnectionsEdit"), "8", "the edit shows the per-1.0-server number");
    check(p.ticked("ContigFileAllocSizeCheckBox"), "256 reads as ticked");

    // The modem/DSL set of the release, written in full and removed in full.
    const std::vector<TunedValue>* row = release.row == TunedRow::Windows9x ? &k9xRow
                                       : release.row == TunedRow::Nt4       ? &kNt4Row
                                       : release.row == TunedRow::Nt5       ? &kNt5Row
                                                                            : nullptr;
    const wchar_t* rowKey = release.row == TunedRow::Windows9x ? kMstcp : kTcpip;
    p.click("CableDSLModemCheckBox");
    if (row != nullptr) {
        for (const TunedValue& v : *row) checkValue({HKEY_LOCAL_MACHINE, rowKey, v.name}, v.expected, "modem ticked");
        p.click("CableDSLModemCheckBox");
        for (const TunedValue& v : *row) checkValue({HKEY_LOCAL_MACHINE, rowKey, v.name}, "missing", "modem cleared");
    } else {
        // No tuned set for this release: neither click changes anything.
        p.click("CableDSLModemCheckBox");
        for (const auto* set : {&k9xRow, &kNt5Row, &kNt4Row})
            for (const TunedValue& v : *set)
                for (const wchar_t* key : {kMstcp, kTcpip})
                    checkText(value({HKEY_LOCAL_MACHINE, key, v.name}), "missing", "modem without a set: unchanged");
    }

    // Connections per server: the edit's number, clamped to 1 ... 32, written on every change.
    const ValueName perServer{HKEY_CURRENT_USER, kInternet, L"MaxConnectionsPerServer"};
    const ValueName per10Server{HKEY_CURRENT_USER, kInternet, L"MaxConnectionsPer1_0Server"};
    p.click("SimultaneousConnectionsCheckBox");
    checkValue(perServer, "dword 8", "connections ticked");
    checkValue(per10Server, "dword 8", "connections ticked");
    p.type("SimultaneousConnectionsEdit", L"50");
    checkText(p.text("SimultaneousConnectionsEdit"), "32", "50 connections become 32");
    DWORD from = 9, to = 9;
    sendTo(p.control("SimultaneousConnectionsEdit"), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    check(from == 0 && to == 2, "the corrected number is selected",
          std::to_string(from) + "..." + std::to_string(to));
    checkValue(perServer, "dword 32", "connections edited");
    checkValue(per10Server, "dword 32", "connections edited");
    p.click("SimultaneousConnectionsCheckBox");
    checkValue(perServer, "missing", "connections cleared");
    checkValue(per10Server, "missing", "connections cleared");

    // Explorer's library unloading: "1", then "0" (the value stays).
    const ValueName unload{HKEY_LOCAL_MACHINE, kUnload, L""};
    p.click("AlwaysUnloadDLLCheckBox");
    checkValue(unload, "sz 1", "unloading ticked");
    p.click("AlwaysUnloadDLLCheckBox");
    checkValue(unload, "sz 0", "unloading cleared");

    // Contiguous allocation, ticked at start by the 256 found: cleared removes, ticked writes 512.
    const ValueName contig{HKEY_LOCAL_MACHINE, kFileSystem, L"ContigFileAllocSize"};
    p.click("ContigFileAllocSizeCheckBox");
    checkValue(contig, "missing", "contiguous allocation cleared");
    p.click("ContigFileAllocSizeCheckBox");
    checkValue(contig, "dword 512", "contiguous allocation ticked");
}

void ntCachePage(Program& p) {
    check(p.goTo("CacheTabSheet"), "the cache page opens");
    const std::pair<const char*, ValueName> boxes[] = {
        {"Disable83NameCreationCheckBox", {HKEY_LOCAL_MACHINE, kFileSystem, L"NtfsDisable8dot3NameCreation"}},
        {"DisableLastAccessTimeStampCheckBox", {HKEY_LOCAL_MACHINE, kFileSystem, L"NtfsDisableLastAccessUpdate"}},
        {"DisablePagingExecutiveCheckBox", {HKEY_LOCAL_MACHINE, kMemory, L"DisablePagingExecutive"}},
        {"LargeSystemCacheCheckBox", {HKEY_LOCAL_MACHINE, kMemory, L"LargeSystemCache"}},
    };
    check(p.ticked("DisableLastAccessTimeStampCheckBox"), "a 2 reads as ticked");
    for (const auto& [box, v] : boxes) {
        const bool wasTicked = p.ticked(box);
        p.click(box);
        checkValue(v, wasTicked ? "dword 0" : "dword 1", std::string(box) + " clicked");
        p.click(box);
        checkValue(v, wasTicked ? "dword 1" : "dword 0", std::string(box) + " clicked again");
    }
}

// The 9x cache page: the entries system.ini held, a scheme, the chunk limit, a cleared 应用 box.
// Returns the minimum the save must write.
std::string ninexCachePage(Program& p, const Release& release) {
    check(p.goTo("CacheTabSheet"), "the cache page opens");
    checkText(p.text("MinimumDiskCacheEdit"), "4096", "system.ini's minimum shown");
    check(p.ticked("MinimumDiskCacheCheckBox"), "system.ini's minimum applied");
    checkText(p.text("MaximumDiskCacheEdit"), "0", "system.ini's unset maximum shown as 0");
    check(!p.ticked("MaximumDiskCacheCheckBox"), "system.ini's unset maximum not applied");
    checkText(p.text("ChunkSizeEdit"), "512", "system.ini's chunk size shown");
    HWND swap = p.control("ConserveSwapFileCheckBox");
    check((IsWindowEnabled(swap) != FALSE) == release.swapPolicy, "the swap-file box is usable on 98 and ME only");
    check(p.ticked("ConserveSwapFileCheckBox") == release.swapPolicy, "the swap-file policy shown where it applies");

    p.choose("CacheSchemeComboBox", 1);  // 光盘制作用户: minimum = maximum
    const std::string minimum = p.text("MinimumDiskCacheEdit");
    check(minimum != "0" && p.text("MaximumDiskCacheEdit") == minimum && p.text("ChunkSizeEdit") == "256",
          "the scheme fills the edits", minimum + " " + p.text("MaximumDiskCacheEdit") + " " + p.text("ChunkSizeEdit"));
    check(p.ticked("MinimumDiskCacheCheckBox") && p.ticked("MaximumDiskCacheCheckBox") && p.ticked("ChunkSizeCheckBox"),
          "the scheme ticks the three 应用 boxes");
    p.type("ChunkSizeEdit", L"2048");
    checkText(p.text("ChunkSizeEdit"), "1024", "a chunk of 2048 becomes 1024");
    p.click("MaximumDiskCacheCheckBox");  // the maximum is saved as 0
    if (release.swapPolicy) p.click("ConserveSwapFileCheckBox");
    return minimum;
}

int run(const std::string& releaseName) {
    const Release release = releaseNamed(releaseName);
    std::printf("release %s\n", release.name.c_str());

    // What the scenario touches, kept to be put back at the end.
    std::vector<ValueName> touched = {
        {HKEY_LOCAL_MACHINE, kFileSystem, L"NtfsDisable8dot3NameCreation"},
        {HKEY_LOCAL_MACHINE, kFileSystem, L"NtfsDisableLastAccessUpdate"},
        {HKEY_LOCAL_MACHINE, kFileSystem, L"ContigFileAllocSize"},
        {HKEY_LOCAL_MACHINE, kMemory, L"DisablePagingExecutive"},
        {HKEY_LOCAL_MACHINE, kMemory, L"LargeSystemCache"},
        {HKEY_CURRENT_USER, kInternet, L"MaxConnectionsPerServer"},
        {HKEY_CURRENT_USER, kInternet, L"MaxConnectionsPer1_0Server"},
        {HKEY_LOCAL_MACHINE, kUnload, L""},
        {HKEY_LOCAL_MACHINE, kRun, L"Quillet"},
        {HKEY_CURRENT_USER, kRun, L"Quillet"},
    };
    std::vector<ValueName> tuned;
    for (const auto* set : {&k9xRow, &kNt5Row, &kNt4Row})
        for (const TunedValue& v : *set)
            for (const wchar_t* key : {kMstcp, kTcpip}) tuned.push_back({HKEY_LOCAL_MACHINE, key, v.name});
    touched.insert(touched.end(), tuned.begin(), tuned.end());
    std::vector<Stored> before;
    for (const ValueName& v : touched) before.push_back(stored(v));
    const std::string systemIni = systemIniBytes();
    removeSettingsFile();

    // A registry with values the user set by hand, none of them the program's own form, and no
    // tuned values; a system.ini with cache entries among its other lines.
    const ValueName perServer{HKEY_CURRENT_USER, kInternet, L"MaxConnectionsPerServer"};
    const ValueName per10Server{HKEY_CURRENT_USER, kInternet, L"MaxConnectionsPer1_0Server"};
    const ValueName contig{HKEY_LOCAL_MACHINE, kFileSystem, L"ContigFileAllocSize"};
    const ValueName lastAccess{HKEY_LOCAL_MACHINE, kFileSystem, L"NtfsDisableLastAccessUpdate"};
    for (const ValueName& v : tuned) restore(v, Stored{});
    putNumber(perServer, 2);
    putNumber(per10Server, 8);
    putNumber(contig, 256);
    putNumber(lastAccess, 2);
    // Start with Windows: the user's own entry names this copy (quoted, in other letters); the
    // one for all users names another copy.
    const ValueName machineRun{HKEY_LOCAL_MACHINE, kRun, L"Quillet"};
    const ValueName userRun{HKEY_CURRENT_USER, kRun, L"Quillet"};
    const std::string otherCopy = "C:\\其他\\Quillet.exe";
    std::wstring shouted = quilletPath;
    CharUpperBuffW(shouted.data(), static_cast<DWORD>(shouted.size()));
    putText(machineRun, otherCopy);
    putText(userRun, "\"" + utf8(shouted) + "\"");
    const std::string seededIni = withoutCacheSections(systemIni) + "\r\n[vcache]\r\nminfilecache=4096\r\n; a comment of the user's\r\nmaxfilecache=0\r\n"
                                              "chunksize=512\r\n[386Enh]\r\nPagingDrive=C:\r\nConservativeSwapfileUsage=1\r\n";
    if (release.family9x) writeFile(systemIniPath(), seededIni);

    std::string minimum;
    {
        Program p;
        if (p.window != nullptr) {
            // Starting changed nothing.
            checkText(value(perServer), "dword 2", "start leaves the per-server connections");
            checkText(value(per10Server), "dword 8", "start leaves the per-1.0-server connections");
            checkText(value(contig), "dword 256", "start leaves contiguous allocation");
            checkText(value(lastAccess), "dword 2", "start leaves the last-access value");
            checkText(value(userRun), "sz \"" + utf8(shouted) + "\"", "start leaves the user's Run entry");

            tweaksPage(p, release);
            if (release.family9x) {
                minimum = ninexCachePage(p, release);
            } else {
                ntCachePage(p);
            }
            leaveCachePage(p, true, "leaving the cache page after a change");
            check(p.goTo("CacheTabSheet"), "back on the cache page");
            leaveCachePage(p, false, "leaving it again");
            check(p.goTo("OptionsTabSheet"), "the options page opens");
            check(p.ticked("StartWithWindowsCheckBox"), "the user's entry naming this copy ticks start with Windows");
            p.click("StartWithWindowsCheckBox");
            check(!p.ticked("StartWithWindowsCheckBox"), "the user clears start with Windows");
            p.endSession("the tweaks run");
        }
    }
    checkText(value(userRun), "missing", "the save removes the user's Run entry");
    checkText(value(machineRun), "sz " + otherCopy, "the save leaves another copy's Run entry");

    // The save: on 9x the scheme and system.ini's cache entries.
    if (release.family9x) {
        check(settingsInt(L"DiskCacheScheme") == 1, "the save keeps the scheme");
        const std::vector<std::string> lines = iniLines(systemIniBytes());
        checkText(entryOf(lines, "[vcache]|minfilecache"), minimum, "system.ini minfilecache");
        checkText(entryOf(lines, "[vcache]|maxfilecache"), "0", "system.ini maxfilecache (应用 cleared)");
        checkText(entryOf(lines, "[vcache]|chunksize"), "1024", "system.ini chunksize");
        checkText(entryOf(lines, "[386Enh]|ConservativeSwapfileUsage"), release.swapPolicy ? "0" : "1",
                  release.swapPolicy ? "system.ini swap policy cleared" : "Windows 95 leaves the swap policy");
        std::vector<std::string> others, seededOthers;
        for (const std::string& line : lines)
            if (!isCacheEntry(line)) others.push_back(line);
        for (const std::string& line : iniLines(seededIni))
            if (!isCacheEntry(line)) seededOthers.push_back(line);
        check(others == seededOthers, "system.ini's other lines stay, in their order",
              std::to_string(others.size()) + " lines against " + std::to_string(seededOthers.size()));
    } else {
        check(settingsInt(L"DiskCacheScheme") == -1, "the NT family keeps no scheme");
        check(systemIniBytes() == systemIni, "the NT family leaves system.ini alone");
    }

    // A system.ini that cannot be written stays as it was, and the settings are saved all the same.
    if (release.name == "win98") {
        removeSettingsFile();
        writeFile(systemIniPath(), seededIni);
        SetFileAttributesW(systemIniPath().c_str(), FILE_ATTRIBUTE_READONLY);
        {
            Program p;
            if (p.window != nullptr) {
                // Ticked, start with Windows takes the entry for all users over (Wine lets it).
                check(p.goTo("OptionsTabSheet"), "the options page opens");
                check(!p.ticked("StartWithWindowsCheckBox"), "another copy's entry leaves start with Windows clear");
                p.click("StartWithWindowsCheckBox");
                check(p.goTo("CacheTabSheet"), "the cache page opens");
                p.type("ChunkSizeEdit", L"256");
                // The exit's save cannot write the change: it says so, naming the file, then ends.
                PostMessageW(p.window, WM_QUERYENDSESSION, 0, 0);
                HWND told = nullptr;
                waitUntil([&] { return (told = p.question()) != nullptr; });
                check(told != nullptr, "the read-only run: the exit tells the cache settings were not written");
                if (told != nullptr) {
                    std::string texts;
                    EnumChildWindows(told, collectTexts, reinterpret_cast<LPARAM>(&texts));
                    const std::string expected = "|缓存设置没有写入！请确认 system.ini 不是只读的，并且您有权写入 Windows 文件夹：\n" +
                                                 utf8(systemIniPath()) + "|";
                    check(texts.find(expected) != std::string::npos, "the read-only run: the message names system.ini",
                          texts);
                    PostMessageW(told, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(told, IDOK)));
                }
                checkExitsWithZero(p.child, "the read-only run");
            }
        }
        check(_stricmp(value(machineRun).c_str(), ("sz " + utf8(quilletPath)).c_str()) == 0,
              "ticked, the save writes this copy into the entry for all users", value(machineRun));
        checkText(value(userRun), "missing", "and nothing for the user alone");
        const std::string after = systemIniBytes();
        check(after == seededIni, "a read-only system.ini is left whole",
              "\n" + after.substr(after.size() > 200 ? after.size() - 200 : 0));
        check(GetFileAttributesW(systemIniPath().c_str()) & FILE_ATTRIBUTE_READONLY, "it stays read-only");
        check(GetFileAttributesW((systemIniPath() + L".new").c_str()) == INVALID_FILE_ATTRIBUTES,
              "no draft is left beside it");
        check(settingsInt(L"DiskCacheScheme") == 0, "the settings are saved all the same");
    }

    // Everything back as it was.
    for (size_t i = 0; i < touched.size(); ++i) restore(touched[i], before[i]);
    // A system.ini that was not there before goes again, rather than holding the marker text.
    if (release.family9x && systemIni == "<missing>") DeleteFileW(systemIniPath().c_str());
    else if (release.family9x) writeFile(systemIniPath(), systemIni);
    removeSettingsFile();
    return checks::summary();
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: tweaks_e2e RELEASE Quillet.exe\n");
        return 2;
    }
    e2e::quilletPath = argv[2];
    return e2e::run(e2e::utf8(argv[1]));
}
