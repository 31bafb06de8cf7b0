#include "memory/memory_status.h"

#include <algorithm>

namespace memory {

uint64_t MemoryStatus::refresh() {
    record_.length = platform::kMemoryStatusRecordLength;
    os_.globalMemoryStatus(record_);
    return record_.availPhys;
}

MemoryFigures MemoryStatus::figures() {
    refresh();
    return MemoryFigures{std::min<uint32_t>(record_.memoryLoad, 100), record_.totalPhys, record_.availPhys,
                         record_.totalPageFile, record_.availPageFile};
}

uint32_t MemoryStatus::memoryLoad() { return refresh(), std::min<uint32_t>(record_.memoryLoad, 100); }
uint64_t MemoryStatus::totalPhys() { return refresh(), record_.totalPhys; }
uint64_t MemoryStatus::availPhys() { return refresh(); }
uint64_t MemoryStatus::totalPageFile() { return refresh(), record_.totalPageFile; }
uint64_t MemoryStatus::availPageFile() { return refresh(), record_.availPageFile; }
uint64_t MemoryStatus::availVirtual() { return refresh(), record_.availVirtual; }

}  // namespace memory
