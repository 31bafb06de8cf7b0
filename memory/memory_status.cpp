#include "memory/memory_status.h"

namespace memory {

uint32_t MemoryStatus::refresh() {
    record_.length = platform::kMemoryStatusRecordLength;
    os_.globalMemoryStatus(record_);
    return record_.availPhys;
}

uint32_t MemoryStatus::memoryLoad() { return refresh(), record_.memoryLoad; }
uint32_t MemoryStatus::totalPhys() { return refresh(), record_.totalPhys; }
uint32_t MemoryStatus::availPhys() { return refresh(); }
uint32_t MemoryStatus::totalPageFile() { return refresh(), record_.totalPageFile; }
uint32_t MemoryStatus::availPageFile() { return refresh(), record_.availPageFile; }

}  // namespace memory
