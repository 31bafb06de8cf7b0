#pragma once
#include <cstdint>
#include <optional>

#include "platform/clock.h"
#include "platform/memory.h"

namespace win32 {

// The memory figures and blocks of the system's memory manager.
class Win32Memory : public platform::Memory {
public:
    // Through GlobalMemoryStatusEx where the system has it (true 64-bit figures), else the legacy query.
    void globalMemoryStatus(platform::MemoryStatusRecord& record) override;
    void* virtualAlloc(uint64_t size, uint32_t allocationType, uint32_t protect) override;
    bool virtualFree(void* base, uint64_t size, uint32_t freeType) override;
    bool addressSpaceHolds(uint64_t size) override;
    // NtQuerySystemInformation's page-file records, found in ntdll at run time.
    std::optional<uint64_t> pageFileInUse() override;
};

// The system's millisecond tick and sleep.
class Win32Clock : public platform::Clock {
public:
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
};

}  // namespace win32
