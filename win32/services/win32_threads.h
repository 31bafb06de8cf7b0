#pragma once
#include <cstdint>
#include <functional>

#include "platform/threads.h"

namespace win32 {

// Worker threads: made suspended, their priority lowered, resumed, suspended and closed.
// Nothing a thread's body throws leaves it.
class Win32Threads : public platform::Threads {
public:
    platform::Thread createSuspendedThread(std::function<uint32_t()> body) override;
    void setBelowNormalPriority(platform::Thread thread) override;
    void resumeThread(platform::Thread thread) override;
    void suspendThread(platform::Thread thread) override;
    void closeThread(platform::Thread thread) override;
};

}  // namespace win32
