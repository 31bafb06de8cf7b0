#include "memory/memory_filler.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

using memory::MemoryFiller;
using platform::fake::FakeMachine;

namespace {
constexpr uint32_t kBlock = 4u << 20;
}

TEST(MemoryFiller, CommitsUncachedReadWriteMemory) {
    FakeMachine machine;
    MemoryFiller filler(machine);
    ASSERT_TRUE(filler.commit(kBlock));
    ASSERT_EQ(machine.commits.size(), 1u);
    EXPECT_EQ(machine.commits[0].size, kBlock);
    EXPECT_EQ(machine.commits[0].allocationType, 0x1000u);
    EXPECT_EQ(machine.commits[0].protect, 0x204u);
    EXPECT_NE(filler.base(), nullptr);
    EXPECT_EQ(filler.size(), kBlock);
    EXPECT_TRUE(machine.releases.empty());  // nothing is touched or released yet
}

TEST(MemoryFiller, RefusedCommitHoldsNothing) {
    FakeMachine machine;
    machine.largestCommit = kBlock - 1;
    {
        MemoryFiller filler(machine);
        EXPECT_FALSE(filler.commit(kBlock));
        EXPECT_EQ(filler.base(), nullptr);
        filler.fillAndRelease();
    }
    EXPECT_EQ(machine.statusQueries, 0);
    EXPECT_TRUE(machine.releases.empty());
}

TEST(MemoryFiller, OnePassWhenFreeMemoryCoversTheBlock) {
    FakeMachine machine;
    machine.status.availPhys = kBlock;  // equal is enough
    MemoryFiller filler(machine);
    ASSERT_TRUE(filler.commit(kBlock));
    filler.fillAndRelease();
    ASSERT_EQ(machine.releases.size(), 1u);
    EXPECT_TRUE(machine.releases[0].uniform);
    EXPECT_EQ(machine.releases[0].firstByte, 0xFF);
    EXPECT_EQ(machine.releases[0].size, kBlock);
    EXPECT_EQ(machine.releases[0].freeSize, 0u);
    EXPECT_EQ(machine.releases[0].freeType, 0x8000u);
    EXPECT_EQ(machine.statusQueries, 1);
    EXPECT_EQ(filler.base(), nullptr);
}

TEST(MemoryFiller, SecondPassWhileFreeMemoryIsShort) {
    FakeMachine machine;
    machine.status.availPhys = kBlock - 1;
    MemoryFiller filler(machine);
    ASSERT_TRUE(filler.commit(kBlock));
    filler.fillAndRelease();
    ASSERT_EQ(machine.releases.size(), 1u);
    EXPECT_TRUE(machine.releases[0].uniform);
    EXPECT_EQ(machine.releases[0].firstByte, 0x00);
}

TEST(MemoryFiller, ComparesFreeMemoryUnsigned) {
    FakeMachine machine;
    machine.status.availPhys = 0x80000000u;  // negative if read as signed
    machine.largestCommit = 0xFFFFFFFFu;
    MemoryFiller filler(machine);
    ASSERT_TRUE(filler.commit(kBlock));
    filler.fillAndRelease();
    EXPECT_EQ(machine.releases.at(0).firstByte, 0xFF);
}

TEST(MemoryFiller, ReleasesAnUnfilledBlockWhenDropped) {
    FakeMachine machine;
    {
        MemoryFiller filler(machine);
        ASSERT_TRUE(filler.commit(kBlock));
        ASSERT_TRUE(filler.commit(kBlock / 2));  // a second commit gives the first block back
        EXPECT_EQ(machine.releases.size(), 1u);
    }
    EXPECT_EQ(machine.releases.size(), 2u);
    EXPECT_EQ(machine.releases[1].size, kBlock / 2);
}
