// Measures Quillet.exe as a user meets it: the time from starting the process to its main
// window on screen (no splash), and the private memory of the running program a few seconds
// later. Usage: startup_bench <Quillet.exe> [runs]. Prints each run and the medians.
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
    HWND window;
};

BOOL CALLBACK findVisibleMain(HWND hwnd, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (owner == found->processId && lstrcmpW(name, L"TQuilletForm") == 0 && IsWindowVisible(hwnd)) {
        found->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Committed private memory of a process: what it allocated for itself (heaps, stacks, its
// images' written pages), without the shared images. Wine leaves PrivateUsage at 0, so the
// address space is walked instead.
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: startup_bench <Quillet.exe> [runs]\n");
        return 2;
    }
    const std::wstring program = argv[1];
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 10;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    std::vector<double> startMs, privateMb, workingSetMb;
    for (int run = 0; run <= runs; ++run) {  // run 0 warms the prefix and the file cache
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        LARGE_INTEGER begin, end;
        QueryPerformanceCounter(&begin);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info)) {
            std::printf("cannot start the program\n");
            return 1;
        }
        Found found{info.dwProcessId, nullptr};
        const DWORD deadline = GetTickCount() + 20000;
        while (found.window == nullptr && GetTickCount() < deadline) {
            EnumWindows(findVisibleMain, reinterpret_cast<LPARAM>(&found));
            if (found.window == nullptr) Sleep(1);
        }
        QueryPerformanceCounter(&end);
        if (found.window == nullptr) {
            std::printf("no main window\n");
            TerminateProcess(info.hProcess, 1);
            return 1;
        }
        const double ms = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
        Sleep(3000);  // settled: a few ticks of the running program
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        const double privateBytes = memory.PrivateUsage != 0 ? static_cast<double>(memory.PrivateUsage) / 1048576.0
                                                             : privateCommittedMb(info.hProcess);
        const double workingSet = static_cast<double>(memory.WorkingSetSize) / 1048576.0;
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(found.window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        std::printf("%s %2d: main window after %6.1f ms, private memory %5.2f MB, working set %5.2f MB\n",
                    run == 0 ? "warm-up" : "run    ", run, ms, privateBytes, workingSet);
        if (run == 0) continue;
        startMs.push_back(ms);
        privateMb.push_back(privateBytes);
        workingSetMb.push_back(workingSet);
    }
    std::printf("median of %d: start to main window %.1f ms, private memory %.2f MB, working set %.2f MB\n", runs,
                median(startMs), median(privateMb), median(workingSetMb));
    return 0;
}
