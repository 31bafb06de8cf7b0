#include "win32/services/win32_memory.h"

#include <windows.h>

#include <limits>

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

// --- Clock -------------------------------------------------------------------

uint32_t Win32Clock::tickCount() { return GetTickCount(); }
void Win32Clock::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace win32
