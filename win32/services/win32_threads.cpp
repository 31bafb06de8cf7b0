#include "win32/services/win32_threads.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace win32 {

namespace {
DWORD WINAPI runThreadBody(LPVOID parameter) {
    std::unique_ptr<std::function<uint32_t()>> body(static_cast<std::function<uint32_t()>*>(parameter));
    try {
        return (*body)();
    } catch (...) {
        return 0;  // nothing may unwind out of a thread
    }
}
}  // namespace

platform::Thread Win32Threads::createSuspendedThread(std::function<uint32_t()> body) {
    auto parameter = std::make_unique<std::function<uint32_t()>>(std::move(body));
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, runThreadBody, parameter.get(), CREATE_SUSPENDED, &id);
    if (thread == nullptr) return nullptr;
    parameter.release();  // the thread owns it now
    return reinterpret_cast<platform::Thread>(thread);
}

void Win32Threads::setBelowNormalPriority(platform::Thread thread) {
    SetThreadPriority(reinterpret_cast<HANDLE>(thread), THREAD_PRIORITY_BELOW_NORMAL);
}
void Win32Threads::resumeThread(platform::Thread thread) { ResumeThread(reinterpret_cast<HANDLE>(thread)); }
void Win32Threads::suspendThread(platform::Thread thread) { SuspendThread(reinterpret_cast<HANDLE>(thread)); }
void Win32Threads::closeThread(platform::Thread thread) { CloseHandle(reinterpret_cast<HANDLE>(thread)); }

}  // namespace win32
