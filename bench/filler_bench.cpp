// Measures MemoryFiller (commit, fill, release) against a plain memset of a block committed
// the same way, for 64 MB and 512 MB, and prints the ratio of their write rates.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_machine.h"
#include "memory/memory_filler.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeFiller(platform::Memory& os, uint32_t size) {
    const auto start = Clock::now();
    memory::MemoryFiller filler(os);
    if (!filler.commit(size)) return -1;
    filler.fillAndRelease();
    return seconds(start);
}

double timeMemset(platform::Memory& os, uint32_t size) {
    const auto start = Clock::now();
    void* block = os.virtualAlloc(size, platform::kMemCommit, platform::kPageNoCache | platform::kPageReadWrite);
    if (block == nullptr) return -1;
    std::memset(block, 0xFF, size);
    os.virtualFree(block, 0, platform::kMemRelease);
    return seconds(start);
}

}  // namespace

int main() {
    platform::Memory& os = benchMemory();
    int failures = 0;
    for (uint32_t megabytes : {64u, 512u}) {
        const uint32_t size = megabytes << 20;
        std::vector<double> filler, plain;
        for (int round = 0; round < 7; ++round) {  // interleaved so both see the same machine
            filler.push_back(timeFiller(os, size));
            plain.push_back(timeMemset(os, size));
        }
        if (*std::min_element(filler.begin(), filler.end()) < 0 || *std::min_element(plain.begin(), plain.end()) < 0) {
            std::printf("%s %4u MB: the system refused the block\n", benchHostName(), megabytes);
            ++failures;
            continue;
        }
        const double fillerRate = megabytes / median(filler);
        const double memsetRate = megabytes / median(plain);
        std::printf("%s %4u MB: filler %8.0f MB/s, memset %8.0f MB/s, ratio %.3f (goal >= 0.90)\n", benchHostName(),
                    megabytes, fillerRate, memsetRate, fillerRate / memsetRate);
    }
    return failures == 0 ? 0 : 1;
}
