#pragma once
#include <cstdint>
#include <functional>

#include "platform/threads.h"

namespace platform::win32 {

// Worker threads: made suspended, their priority lowered, resumed, suspended and closed.
// Nothing a thread's body throws leaves it.
class Win32Threads : public Threads {
public:
    Thread createSuspendedThread(std::function<uint32_t()> body) override;
    void setBelowNormalPriority(Thread thread) override;
    void resumeThread(Thread thread) override;
    void suspendThread(Thread thread) override;
    void closeThread(Thread thread) override;
};

}  // namespace platform::win32
