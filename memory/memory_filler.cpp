#include "memory/memory_filler.h"

#include <algorithm>
#include <cstring>

#include "memory/memory_status.h"

namespace memory {

MemoryFiller::~MemoryFiller() { release(); }

bool MemoryFiller::commit(uint64_t size) {
    release();  // a filler holds one block at a time
    size_ = size;
    base_ = os_.virtualAlloc(size, platform::kMemCommit, platform::kPageNoCache | platform::kPageReadWrite);
    return base_ != nullptr;
}

bool MemoryFiller::commitLargest(uint64_t size) {
    constexpr uint64_t kSmallest = 1u << 20;
    if (commit(size)) return true;
    // No block is larger than the free address space; a 32-bit process has at most 4 GB of it.
    const uint64_t room = MemoryStatus(os_).availVirtual();
    uint64_t next = room != 0 ? std::min(size, room) : size;
    if (next == size) next -= next / 16;
    // Each try is at least a sixteenth smaller, so this ends after a few hundred tries at most.
    while (next >= kSmallest) {
        if (commit(next)) return true;
        next -= std::max<uint64_t>(next / 16, 1);
    }
    size_ = 0;
    return false;
}

void MemoryFiller::fillAndRelease() {
    if (base_ == nullptr) return;
    std::memset(base_, 0xFF, static_cast<size_t>(size_));
    if (MemoryStatus(os_).availPhys() < size_) std::memset(base_, 0x00, static_cast<size_t>(size_));
    release();
}

void MemoryFiller::release() {
    if (base_ == nullptr) return;
    os_.virtualFree(base_, 0, platform::kMemRelease);
    base_ = nullptr;
}

}  // namespace memory
