#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

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
    // Bytes of the page files in use now (all of them together): pages moved out of physical
    // memory, not the commit charge. None where the system does not tell (the 9x family, or a
    // system that does not know the query).
    virtual std::optional<uint64_t> pageFileInUse() = 0;
};

// The NT system query's page-file records (information class 18): one record per page file,
// chained by the byte offset of the next (0 ends the chain), each starting with four 32-bit
// fields: that offset, the file's size, its pages in use and its peak, in pages. The name that
// follows differs between 32- and 64-bit processes and is not read. The pages in use of every
// record within `size` bytes; none when a record or the chain leaves the buffer, or an offset
// does not lead past its record.
inline std::optional<uint64_t> pageFilePagesInUse(const uint8_t* records, size_t size) {
    constexpr size_t kFixedPart = 16;
    uint64_t pages = 0;
    size_t at = 0;
    while (size > 0) {
        if (size - at < kFixedPart) return std::nullopt;
        uint32_t next = 0, inUse = 0;
        std::memcpy(&next, records + at, sizeof next);
        std::memcpy(&inUse, records + at + 8, sizeof inUse);
        pages += inUse;
        if (next == 0) break;
        if (next < kFixedPart || next > size - at) return std::nullopt;
        at += next;
    }
    return pages;
}

}  // namespace platform
