#pragma once
#include <cstdint>

namespace platform {

// The operating system's memory record, laid out as the legacy status call fills it.
// Every figure is a 32-bit unsigned count; figures too large for 32 bits arrive saturated.
struct MemoryStatusRecord {
    uint32_t length = 0;
    uint32_t memoryLoad = 0;
    uint32_t totalPhys = 0;
    uint32_t availPhys = 0;
    uint32_t totalPageFile = 0;
    uint32_t availPageFile = 0;
    uint32_t totalVirtual = 0;
    uint32_t availVirtual = 0;
};

constexpr uint32_t kMemoryStatusRecordLength = 32;

// Win32 values, passed through unchanged.
constexpr uint32_t kMemCommit = 0x1000;
constexpr uint32_t kMemRelease = 0x8000;
constexpr uint32_t kPageReadWrite = 0x04;
constexpr uint32_t kPageNoCache = 0x200;

class Memory {
public:
    virtual ~Memory() = default;
    // Fills every figure of record; the caller sets record.length first.
    virtual void globalMemoryStatus(MemoryStatusRecord& record) = 0;
    // Reserves and commits size bytes anywhere; null when refused.
    virtual void* virtualAlloc(uint32_t size, uint32_t allocationType, uint32_t protect) = 0;
    virtual bool virtualFree(void* base, uint32_t size, uint32_t freeType) = 0;
};

}  // namespace platform
