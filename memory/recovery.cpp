#include "memory/recovery.h"

#include "memory/memory_filler.h"

namespace memory {

uint64_t sizeRecovery(uint64_t requested, MemoryStatus& status) {
    const uint64_t avail = status.refresh();
    if (avail <= requested) return requested;
    const uint64_t total = status.totalPhys();
    if (static_cast<double>(avail) >= 0.9 * static_cast<double>(total)) return requested;
    // avail is below 90 % of the total here, so adding the headroom cannot wrap.
    return avail + kRecoveryHeadroom;
}

uint32_t recoveryWorker(RecoveryRequest& request, platform::Memory& memory, platform::WindowSystem& windows) {
    MemoryStatus status(memory);
    request.amount = sizeRecovery(request.amount, status);
    MemoryFiller filler(memory);
    const bool had = filler.commitLargest(request.amount);
    if (had) filler.fillAndRelease();
    windows.postMessage(request.window, kRecoveryDoneMessage, 0, 0);
    return had ? 1 : 0;
}

}  // namespace memory
