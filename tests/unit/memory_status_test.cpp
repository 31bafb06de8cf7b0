#include "memory/memory_status.h"

#include <gtest/gtest.h>

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
