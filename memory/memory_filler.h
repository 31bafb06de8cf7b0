#pragma once
#include <cstdint>

#include "platform/memory.h"

namespace memory {

// One block that frees physical memory: committed uncached, written through so the system
// must back every page with real memory (taking pages from other processes), then released.
class MemoryFiller {
public:
    explicit MemoryFiller(platform::Memory& os) : os_(os) {}
    ~MemoryFiller();
    MemoryFiller(const MemoryFiller&) = delete;
    MemoryFiller& operator=(const MemoryFiller&) = delete;

    // Commits size bytes; false (and nothing held) when the system refuses.
    bool commit(uint32_t size);
    // Writes 0xFF through the block, and 0x00 as well while free memory is still short of
    // the block's size, then releases it. Does nothing without a committed block.
    void fillAndRelease();

    void* base() const { return base_; }
    uint32_t size() const { return size_; }

private:
    void release();

    platform::Memory& os_;
    void* base_ = nullptr;
    uint32_t size_ = 0;
};

}  // namespace memory
