#include "memory/memory_filler.h"

#include <cstring>

#include "memory/memory_status.h"

namespace memory {

MemoryFiller::~MemoryFiller() { release(); }

bool MemoryFiller::commit(uint32_t size) {
    release();  // a filler holds one block at a time
    size_ = size;
    base_ = os_.virtualAlloc(size, platform::kMemCommit, platform::kPageNoCache | platform::kPageReadWrite);
    return base_ != nullptr;
}

void MemoryFiller::fillAndRelease() {
    if (base_ == nullptr) return;
    std::memset(base_, 0xFF, size_);
    if (MemoryStatus(os_).availPhys() < size_) std::memset(base_, 0x00, size_);
    release();
}

void MemoryFiller::release() {
    if (base_ == nullptr) return;
    os_.virtualFree(base_, 0, platform::kMemRelease);
    base_ = nullptr;
}

}  // namespace memory
