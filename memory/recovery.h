#pragma once
#include <cstdint>

#include "memory/memory_status.h"
#include "platform/memory.h"
#include "platform/window_system.h"

namespace memory {

// Posted (both parameters 0) to the requesting window when a recovery has ended, whether the
// block could be had or not.
constexpr uint32_t kRecoveryDoneMessage = platform::kWmUser + 2;  // 1026

// Room a recovery takes beyond what is free, so the system must find pages elsewhere.
constexpr uint64_t kRecoveryHeadroom = 2u * 1048576u;

// The one recovery in progress: only one runs at a time, and only its worker writes it.
struct RecoveryRequest {
    platform::Window window = nullptr;
    uint64_t amount = 0;  // bytes; the worker may enlarge it
};

// The bytes a recovery commits: a request smaller than what is free becomes all free memory
// plus the headroom, unless 90 % of physical memory is free already;
// any other request is used as it is.
uint64_t sizeRecovery(uint64_t requested, MemoryStatus& status);

// The worker's whole run: sizes the request, commits, fills and releases the block, and posts
// kRecoveryDoneMessage to the request's window. A request larger than this process can hold
// is served with the largest block it can get. 1 when a block was had, 0 when refused.
uint32_t recoveryWorker(RecoveryRequest& request, platform::Memory& memory, platform::WindowSystem& windows);

}  // namespace memory
