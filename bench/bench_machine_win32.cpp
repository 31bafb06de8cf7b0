#include "bench/bench_machine.h"

#include "win32/services/win32_window_system.h"

platform::Memory& benchMemory() {
    static platform::win32::Win32Platform system("");
    return system;
}

const char* benchHostName() { return sizeof(void*) == 4 ? "win32" : "win64"; }
