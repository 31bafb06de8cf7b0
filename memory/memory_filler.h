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
    bool commit(uint64_t size);
    // Commits size bytes or, when the system refuses, the largest smaller block it grants
    // (sizes shrink by a sixteenth at a time, never below a megabyte and never above the
    // process's free address space). False, nothing held, when not even that can be had.
    bool commitLargest(uint64_t size);
    // Writes 0xFF through the block, and 0x00 as well while free memory is still short of
    // the block's size, then releases it. Does nothing without a committed block.
    void fillAndRelease();

    void* base() const { return base_; }
    uint64_t size() const { return size_; }

private:
    void release();

    platform::Memory& os_;
    void* base_ = nullptr;
    uint64_t size_ = 0;
};

}  // namespace memory
