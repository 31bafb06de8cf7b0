#pragma once
#include <cstdint>

#include "platform/memory.h"

namespace memory {

// Every figure of one reading, the load held within 100 as memoryLoad() holds it.
struct MemoryFigures {
    uint32_t memoryLoad = 0;
    uint64_t totalPhys = 0;
    uint64_t availPhys = 0;
    uint64_t totalPageFile = 0;
    uint64_t availPageFile = 0;
};

// The system's memory figures, in bytes (64 bits: machines beyond 4 GB show their true
// figures). Every getter asks the system afresh, so two getters called one after the other see
// two moments. Make one as a local value where figures are needed.
class MemoryStatus {
public:
    explicit MemoryStatus(platform::Memory& os) : os_(os) {}

    // Reads every figure and returns free physical memory.
    uint64_t refresh();
    // Reads every figure once: what is shown side by side comes from one moment, at the cost
    // of one question to the system.
    MemoryFigures figures();

    // The share of physical memory in use, never above 100 whatever the system reports.
    uint32_t memoryLoad();
    uint64_t totalPhys();
    uint64_t availPhys();
    uint64_t totalPageFile();
    uint64_t availPageFile();
    // Free address space of this process: the most one block of it can ever be.
    uint64_t availVirtual();

private:
    platform::Memory& os_;
    platform::MemoryStatusRecord record_{};
};

}  // namespace memory
