#pragma once
#include <cstdint>

namespace platform {

// The operating system's memory figures: the load in percent as the system reports it (not
// always within 0 ... 100), the rest byte counts, 64 bits wide so that machines beyond 4 GB
// show their true figures. The length is the size of the legacy record, which systems
// without the extended query fill.
struct MemoryStatusRecord {
    uint32_t length = 0;
    uint32_t memoryLoad = 0;
    uint64_t totalPhys = 0;
    uint64_t availPhys = 0;
    uint64_t totalPageFile = 0;
    uint64_t availPageFile = 0;
    uint64_t totalVirtual = 0;
    uint64_t availVirtual = 0;
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
    // Reserves and commits size bytes anywhere; null when refused (also when the size does
    // not fit the process's address space at all).
    virtual void* virtualAlloc(uint64_t size, uint32_t allocationType, uint32_t protect) = 0;
    virtual bool virtualFree(void* base, uint64_t size, uint32_t freeType) = 0;
    // Whether the process's address space has one free range of size bytes (it is reserved
    // and given back at once; nothing is committed). A block refused although a range holds
    // it was refused by the system's commit limit; one that no range holds, for want of
    // address space.
    virtual bool addressSpaceHolds(uint64_t size) = 0;
};

}  // namespace platform
