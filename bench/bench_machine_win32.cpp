#include "bench/bench_machine.h"

#include "win32/services/win32_memory.h"

platform::Memory& benchMemory() {
    static win32::Win32Memory memory;
    return memory;
}

const char* benchHostName() { return sizeof(void*) == 4 ? "win32" : "win64"; }
