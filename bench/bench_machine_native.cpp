#include "bench/bench_machine.h"

#include "platform/fake/fake_platform.h"

platform::Memory& benchMemory() {
    static platform::fake::FakeMachine machine;
    machine.largestCommit = 0xFFFFFFFFu;
    machine.status.availPhys = 0xFFFFFFFFu;  // a roomy machine: one pass, as on this host
    return machine;
}

const char* benchHostName() { return "native"; }
