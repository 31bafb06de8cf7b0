#include "memory/memory_status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/fake/fake_platform.h"

using memory::MemoryStatus;
using platform::fake::FakeMachine;

TEST(MemoryStatus, EveryGetterAsksTheSystemAgain) {
    FakeMachine machine;
    MemoryStatus status(machine);
    EXPECT_EQ(machine.statusQueries, 0);  // construction reads nothing

    machine.status.availPhys = 1000;
    EXPECT_EQ(status.availPhys(), 1000u);
    machine.status.availPhys = 2000;
    EXPECT_EQ(status.availPhys(), 2000u);
    machine.status.totalPhys = 3000;
    EXPECT_EQ(status.totalPhys(), 3000u);
    machine.status.memoryLoad = 77;
    EXPECT_EQ(status.memoryLoad(), 77u);
    machine.status.totalPageFile = 4000;
    EXPECT_EQ(status.totalPageFile(), 4000u);
    machine.status.availPageFile = 5000;
    EXPECT_EQ(status.availPageFile(), 5000u);
    EXPECT_EQ(machine.statusQueries, 6);
    EXPECT_EQ(machine.lastRecordLength, 32u);
}

TEST(MemoryStatus, RefreshAnswersFreePhysicalMemory) {
    FakeMachine machine;
    machine.availPhysSequence = {111, 222};
    MemoryStatus status(machine);
    EXPECT_EQ(status.refresh(), 111u);
    EXPECT_EQ(status.refresh(), 222u);
}

TEST(MemoryStatus, FiguresBeyondFourGigabytesAreKeptWholeAndTheLoadWithinAHundred) {
    FakeMachine machine;
    machine.status.totalPhys = 24ull << 30;
    machine.status.availPhys = 20ull << 30;
    machine.status.totalPageFile = 48ull << 30;
    machine.status.memoryLoad = 4237642516u;  // what 32-bit Wine reports with avail > total
    MemoryStatus status(machine);
    EXPECT_EQ(status.totalPhys(), 24ull << 30);
    EXPECT_EQ(status.availPhys(), 20ull << 30);
    EXPECT_EQ(status.totalPageFile(), 48ull << 30);
    EXPECT_EQ(status.memoryLoad(), 100u);
}

// The system's chain of page-file records, as 32- and 64-bit processes get it (records of 24 or
// 32 bytes: four 32-bit fields, then the name), summed over the chain; a chain that leads out
// of the buffer or back into its own record gives no figure rather than a wrong one.
TEST(PageFileRecords, PagesInUseOfEveryRecordOfTheChain) {
    struct Record {
        uint32_t next, inUse;
        size_t length;  // bytes the record takes
    };
    const auto chain = [](std::vector<Record> records) {
        std::vector<uint8_t> bytes;
        for (const Record& r : records) {
            std::vector<uint8_t> record(r.length, 0xEE);  // the size, the peak and the name: not read
            const uint32_t fields[] = {r.next, 0x00100000, r.inUse, 0x00200000};
            std::memcpy(record.data(), fields, std::min(sizeof fields, record.size()));
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
        return bytes;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        std::optional<uint64_t> pages;
    } cases[] = {
        {"no page file", {}, 0},
        {"one file, 32-bit records", chain({{0, 4096, 24}}), 4096},
        {"two files, 32-bit records", chain({{24, 4096, 24}, {0, 100, 24}}), 4196},
        {"three files, 64-bit records", chain({{32, 1, 32}, {32, 2, 32}, {0, 3, 32}}), 6},
        {"beyond 32 bits together", chain({{24, 0xFFFFFFFF, 24}, {0, 0xFFFFFFFF, 24}}), 0x1FFFFFFFEull},
        {"next record beyond the buffer", chain({{48, 5, 24}, {0, 6, 24}}), std::nullopt},
        {"next record cut short", chain({{24, 5, 24}, {0, 6, 8}}), std::nullopt},
        {"a record cut short", chain({{0, 5, 12}}), std::nullopt},
        {"an offset into its own record", chain({{8, 0, 24}, {0, 6, 24}}), std::nullopt},
        {"an offset far beyond the buffer", chain({{24, 5, 24}, {0xFFFFFFF0u, 6, 24}}), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::pageFilePagesInUse(c.bytes.data(), c.bytes.size()), c.pages) << c.what;
}
