// The Windows side of scripts/bench.sh: starts a program as a user would and watches it.
//
//   bench_driver startup RUNS PROGRAM CLASS [PROGRAM CLASS ...]
//       Start-up of each program, RUNS times after one warm-up run, the programs taking turns so
//       that all meet the same load. Two moments are timed from the process's start: its
//       top-level window of that class on screen ("shown"), and that window shown, painted and
//       the program waiting for input ("ready": WaitForInputIdle has returned and neither the
//       window nor any visible window inside it has anything left to paint). Prints each run,
//       then "result startup PROGRAM_INDEX <shown median> <shown fastest> <ready median>
//       <ready fastest>" per program and "result forced N" (programs that had to be ended by
//       force: they leave the prefix slower for every later start).
//   bench_driver idle PROGRAM CLASS [tray]
//       Starts the program and prints "shown <ms> ready <ms>" once it is ready; with "tray" it
//       then closes the window as the user does with its close button and prints "hidden" once
//       the window is off screen (Quillet goes on in the notification area). Then it waits for a
//       line (or the end) on its input while the caller measures, prints
//       "result private_mb <MB> working_set_mb <MB>", ends the program and prints "ended clean"
//       or "ended forced". With QUILLET_BENCH_REGIONS set it lists the committed private
//       regions on the error stream first.
//
// Private memory is the committed memory the process allocated for itself (heaps, stacks, its
// images' written pages), without the shared images: what Windows counts as its private bytes.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Found {
    DWORD processId;
    const wchar_t* className;
    HWND window;
};

BOOL CALLBACK findVisibleWindow(HWND hwnd, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (owner == found->processId && lstrcmpW(name, found->className) == 0 && IsWindowVisible(hwnd)) {
        found->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Whether the window or a visible window inside it still waits for its paint.
BOOL CALLBACK findUnpainted(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool paintPending(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return true;
    bool pending = false;
    EnumChildWindows(window, findUnpainted, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

// Wine leaves PrivateUsage at 0, so the address space is walked instead.
double privateCommittedMb(HANDLE process) {
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return static_cast<double>(total) / 1048576.0;
}

// The committed private regions one by one on the error stream (allocation base, base, size
// in KB, protection), to see where a program's private memory goes.
void listPrivateRegions(HANDLE process) {
    MEMORY_BASIC_INFORMATION region{};
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            std::fprintf(stderr, "region %p %p %6llu KB protect %#lx\n", region.AllocationBase, region.BaseAddress,
                         static_cast<unsigned long long>(region.RegionSize) / 1024, region.Protect);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

class Running {
public:
    // Starts the program and waits up to 20 s for its window to show and up to 20 s more for it
    // to be ready; shownMs() and readyMs() are the times from the start.
    Running(const std::wstring& program, const wchar_t* className) {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&begin_);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info_)) {
            std::printf("cannot start the program\n");
            std::exit(1);
        }
        Found found{info_.dwProcessId, className, nullptr};
        DWORD deadline = GetTickCount() + 20000;
        while (found.window == nullptr && GetTickCount() < deadline) {
            EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&found));
            if (found.window == nullptr) Sleep(1);
        }
        shownMs_ = elapsedMs();
        window_ = found.window;
        if (window_ == nullptr) fail("no window of that class");
        // WaitForInputIdle alone may have returned before the window showed (a program that
        // takes messages while it starts), so the paint is waited for as well.
        deadline = GetTickCount() + 20000;
        for (;;) {
            const DWORD left = deadline - GetTickCount();
            if (static_cast<LONG>(left) <= 0) fail("the window never became ready for input");
            if (WaitForInputIdle(info_.hProcess, left) != 0) fail("WaitForInputIdle failed");
            if (!paintPending(window_)) break;
            Sleep(1);
        }
        readyMs_ = elapsedMs();
    }
    ~Running() {
        if (info_.hProcess != nullptr) end();
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    // Closes the window as its close button does; true once it is off screen (within 10 s).
    bool closeWindow() {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        const DWORD deadline = GetTickCount() + 10000;
        while (IsWindowVisible(window_)) {
            if (GetTickCount() > deadline) return false;
            Sleep(10);
        }
        return true;
    }

    // Ends the program as a log-off would (it saves its settings and exits); false when it had
    // to be ended by force.
    bool end() {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window_, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        const bool clean = WaitForSingleObject(info_.hProcess, 10000) == WAIT_OBJECT_0;
        if (!clean) TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
        info_ = PROCESS_INFORMATION{};
        return clean;
    }

    double shownMs() const { return shownMs_; }
    double readyMs() const { return readyMs_; }
    void listRegions() const { listPrivateRegions(info_.hProcess); }
    double privateMb() const {
        PROCESS_MEMORY_COUNTERS_EX memory = counters();
        return memory.PrivateUsage != 0 ? static_cast<double>(memory.PrivateUsage) / 1048576.0
                                        : privateCommittedMb(info_.hProcess);
    }
    double workingSetMb() const { return static_cast<double>(counters().WorkingSetSize) / 1048576.0; }

private:
    [[noreturn]] void fail(const char* why) {
        std::printf("%s\n", why);
        TerminateProcess(info_.hProcess, 1);
        std::exit(1);
    }
    double elapsedMs() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - begin_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }
    PROCESS_MEMORY_COUNTERS_EX counters() const {
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(info_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        return memory;
    }

    LARGE_INTEGER frequency_{}, begin_{};
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
    double shownMs_ = 0, readyMs_ = 0;
};

int startup(int runs, const std::vector<std::pair<std::wstring, std::wstring>>& programs) {
    std::vector<std::vector<double>> shownMs(programs.size()), readyMs(programs.size());
    int forced = 0;
    for (int run = 0; run <= runs; ++run) {  // run 0 warms the prefix and the file cache
        for (size_t p = 0; p < programs.size(); ++p) {
            Running running(programs[p].first, programs[p].second.c_str());
            Sleep(300);  // its first ticks are done before it is ended, as after any start
            if (!running.end()) ++forced;
            std::printf("%s %2d: shown after %6.1f ms, ready after %6.1f ms  %ls\n", run == 0 ? "warm-up" : "run    ",
                        run, running.shownMs(), running.readyMs(), programs[p].first.c_str());
            if (run > 0) {
                shownMs[p].push_back(running.shownMs());
                readyMs[p].push_back(running.readyMs());
            }
        }
    }
    for (size_t p = 0; p < programs.size(); ++p)
        std::printf("result startup %u %.1f %.1f %.1f %.1f\n", static_cast<unsigned>(p), median(shownMs[p]),
                    *std::min_element(shownMs[p].begin(), shownMs[p].end()), median(readyMs[p]),
                    *std::min_element(readyMs[p].begin(), readyMs[p].end()));
    std::printf("result forced %d\n", forced);
    return 0;
}

int idle(const std::wstring& program, const wchar_t* className, bool toTray) {
    Running running(program, className);
    std::printf("shown %.1f ready %.1f\n", running.shownMs(), running.readyMs());
    if (toTray) {
        if (!running.closeWindow()) {
            std::printf("the window stayed on screen after its close button\n");
            running.end();
            return 1;
        }
        std::printf("hidden\n");
    }
    char line[64];
    (void)std::fgets(line, sizeof line, stdin);  // the caller's measurement is over
    if (GetEnvironmentVariableW(L"QUILLET_BENCH_REGIONS", nullptr, 0) != 0) running.listRegions();
    std::printf("result private_mb %.2f working_set_mb %.2f\n", running.privateMb(), running.workingSetMb());
    std::printf("ended %s\n", running.end() ? "clean" : "forced");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"startup" && argc >= 5 && argc % 2 == 1) {
        std::vector<std::pair<std::wstring, std::wstring>> programs;
        for (int i = 3; i + 1 < argc; i += 2) programs.emplace_back(argv[i], argv[i + 1]);
        return startup(std::max(1, _wtoi(argv[2])), programs);
    }
    if (mode == L"idle" && (argc == 4 || (argc == 5 && std::wstring(argv[4]) == L"tray")))
        return idle(argv[2], argv[3], argc == 5);
    std::printf("usage: bench_driver startup RUNS PROGRAM CLASS [PROGRAM CLASS ...] | idle PROGRAM CLASS [tray]\n");
    return 2;
}
