#pragma once
#include <cstdint>

#include "platform/memory.h"

namespace memory {

// The system's memory figures. Every getter asks the system afresh, so two getters called
// one after the other see two moments. Make one as a local value where figures are needed.
class MemoryStatus {
public:
    explicit MemoryStatus(platform::Memory& os) : os_(os) {}

    // Reads every figure and returns free physical memory.
    uint32_t refresh();

    uint32_t memoryLoad();
    uint32_t totalPhys();
    uint32_t availPhys();
    uint32_t totalPageFile();
    uint32_t availPageFile();

private:
    platform::Memory& os_;
    platform::MemoryStatusRecord record_{};
};

}  // namespace memory
