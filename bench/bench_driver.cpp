// The Windows side of scripts/bench.sh: starts a program as a user would and watches it.
//
//   bench_driver startup RUNS PROGRAM CLASS [PROGRAM CLASS ...]
//       Time from starting each process to its top-level window of that class on screen, RUNS
//       times after one warm-up run, the programs taking turns so that all meet the same load;
//       prints each run and "result startup_ms <median> <fastest> <program>" per program.
//   bench_driver idle PROGRAM CLASS
//       Starts the program, prints "shown <ms>" once its window is on screen, then waits for a
//       line (or the end) on its input while the caller measures; then prints
//       "result private_mb <MB> working_set_mb <MB>" and ends the program.
//
// Private memory is the committed memory the process allocated for itself (heaps, stacks, its
// images' written pages), without the shared images.
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

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

class Running {
public:
    // Starts the program and waits up to 20 s for its window; ms() is the time that took.
    Running(const std::wstring& program, const wchar_t* className) {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        LARGE_INTEGER frequency, begin, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&begin);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info_)) {
            std::printf("cannot start the program\n");
            std::exit(1);
        }
        Found found{info_.dwProcessId, className, nullptr};
        const DWORD deadline = GetTickCount() + 20000;
        while (found.window == nullptr && GetTickCount() < deadline) {
            EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&found));
            if (found.window == nullptr) Sleep(1);
        }
        QueryPerformanceCounter(&end);
        window_ = found.window;
        if (window_ == nullptr) {
            std::printf("no window of that class\n");
            TerminateProcess(info_.hProcess, 1);
            std::exit(1);
        }
        ms_ = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
    }
    // Ends the program as a log-off would (it saves its settings and exits).
    ~Running() {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window_, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    double ms() const { return ms_; }
    double privateMb() const {
        PROCESS_MEMORY_COUNTERS_EX memory = counters();
        return memory.PrivateUsage != 0 ? static_cast<double>(memory.PrivateUsage) / 1048576.0
                                        : privateCommittedMb(info_.hProcess);
    }
    double workingSetMb() const { return static_cast<double>(counters().WorkingSetSize) / 1048576.0; }

private:
    PROCESS_MEMORY_COUNTERS_EX counters() const {
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(info_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        return memory;
    }

    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
    double ms_ = 0;
};

int startup(int runs, const std::vector<std::pair<std::wstring, std::wstring>>& programs) {
    std::vector<std::vector<double>> startMs(programs.size());
    for (int run = 0; run <= runs; ++run) {  // run 0 warms the prefix and the file cache
        for (size_t p = 0; p < programs.size(); ++p) {
            double ms = 0;
            {
                Running running(programs[p].first, programs[p].second.c_str());
                ms = running.ms();
                Sleep(300);  // the window's first paint and ticks are done before it is ended
            }
            std::printf("%s %2d: window after %6.1f ms  %ls\n", run == 0 ? "warm-up" : "run    ", run, ms,
                        programs[p].first.c_str());
            if (run > 0) startMs[p].push_back(ms);
        }
    }
    for (size_t p = 0; p < programs.size(); ++p)
        std::printf("result startup_ms %.1f %.1f %ls\n", median(startMs[p]),
                    *std::min_element(startMs[p].begin(), startMs[p].end()), programs[p].first.c_str());
    return 0;
}

int idle(const std::wstring& program, const wchar_t* className) {
    Running running(program, className);
    std::printf("shown %.1f\n", running.ms());
    std::fflush(stdout);
    char line[64];
    (void)std::fgets(line, sizeof line, stdin);  // the caller's measurement is over
    std::printf("result private_mb %.2f working_set_mb %.2f\n", running.privateMb(), running.workingSetMb());
    std::fflush(stdout);
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
    if (mode == L"idle" && argc == 4) return idle(argv[2], argv[3]);
    std::printf("usage: bench_driver startup RUNS PROGRAM CLASS [PROGRAM CLASS ...] | idle PROGRAM CLASS\n");
    return 2;
}
