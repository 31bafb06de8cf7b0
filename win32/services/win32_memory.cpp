#include "win32/services/win32_memory.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "platform/nt_system_information.h"

namespace win32 {

// --- Memory ------------------------------------------------------------------

void Win32Memory::globalMemoryStatus(platform::MemoryStatusRecord& record) {
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

void* Win32Memory::virtualAlloc(uint64_t size, uint32_t allocationType, uint32_t protect) {
    // A 32-bit process cannot even name a block of 4 GB or more.
    if (size > std::numeric_limits<SIZE_T>::max()) return nullptr;
    return VirtualAlloc(nullptr, static_cast<SIZE_T>(size), allocationType, protect);
}

bool Win32Memory::virtualFree(void* base, uint64_t size, uint32_t freeType) {
    if (size > std::numeric_limits<SIZE_T>::max()) return false;
    return VirtualFree(base, static_cast<SIZE_T>(size), freeType) != FALSE;
}

bool Win32Memory::addressSpaceHolds(uint64_t size) {
    if (size == 0 || size > std::numeric_limits<SIZE_T>::max()) return false;
    void* range = VirtualAlloc(nullptr, static_cast<SIZE_T>(size), MEM_RESERVE, PAGE_NOACCESS);
    if (range == nullptr) return false;
    VirtualFree(range, 0, MEM_RELEASE);
    return true;
}

std::optional<uint64_t> Win32Memory::pageFileInUse() {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    static const auto query = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")))
                                : nullptr;
    }();
    if (query == nullptr) return std::nullopt;
    constexpr ULONG kSystemPageFileInformation = 18;
    // Room for a few page files at first; the system says how much it needs when that is too
    // little (a file may be added meanwhile, so it is asked again, a few times at most).
    constexpr ULONG kMostBytes = 1u << 20;
    ULONG size = 1024;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<uint64_t> buffer((size + 7) / 8);  // 8-byte aligned, as the records expect
        ULONG written = 0;
        const LONG status = query(kSystemPageFileInformation, buffer.data(), size, &written);
        if (status == platform::kStatusInfoLengthMismatch) {
            if (size >= kMostBytes) return std::nullopt;
            size = std::min<ULONG>(kMostBytes, std::max<ULONG>(written, size * 2));
            continue;
        }
        if (status != platform::kStatusSuccess) return std::nullopt;  // e.g. a system that has no such class
        const auto pages = platform::pageFilePagesInUse(reinterpret_cast<const uint8_t*>(buffer.data()), std::min<ULONG>(written, size));
        if (!pages) return std::nullopt;
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        return *pages * system.dwPageSize;
    }
    return std::nullopt;
}

// --- Clock -------------------------------------------------------------------

uint32_t Win32Clock::tickCount() { return GetTickCount(); }
void Win32Clock::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace win32
