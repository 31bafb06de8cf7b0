#pragma once
#include <cstdint>
#include <functional>

namespace platform {

// Opaque thread handle; null means "no thread".
struct ThreadTag;
using Thread = ThreadTag*;

// Worker threads of the program. A thread is created suspended and runs its body once
// resumed; the handle stays valid until closeThread, whether or not the thread has ended.
class Threads {
public:
    virtual ~Threads() = default;
    // Null when the system cannot make the thread.
    virtual Thread createSuspendedThread(std::function<uint32_t()> body) = 0;
    // Below-normal priority, so the desktop stays usable while the thread works.
    virtual void setBelowNormalPriority(Thread thread) = 0;
    virtual void resumeThread(Thread thread) = 0;
    virtual void suspendThread(Thread thread) = 0;
    // Gives the handle back; a thread still running runs on to its end.
    virtual void closeThread(Thread thread) = 0;
};

}  // namespace platform
