#include "memory/conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace memory;

namespace {
constexpr uint32_t k256MB = 268435456u;
constexpr uint32_t k511_5MB = 536346624u;  // what a 512 MB machine reports
}  // namespace

TEST(Conversions, MegabytesAndKilobytesTruncate) {
    EXPECT_EQ(toMB(k256MB), 256u);
    EXPECT_EQ(toMB(k511_5MB), 511u);
    EXPECT_EQ(toMB(1048575u), 0u);
    EXPECT_EQ(toKB(k256MB), 262144u);
    EXPECT_EQ(toKB(1023u), 0u);
    // Counts of 2 GB and more are unsigned, never negative.
    EXPECT_EQ(toMB(3221225472u), 3072u);
    EXPECT_EQ(toMB(0xFFFFFFFFu), 4095u);
    EXPECT_EQ(toKB(0xFFFFFFFFu), 4194303u);
    // Beyond 4 GB nothing saturates or wraps.
    EXPECT_EQ(toMB(24ull << 30), 24576u);
    EXPECT_EQ(toKB(24ull << 30), 25165824u);
    EXPECT_EQ(capMB(24ull << 30, 0.9), 22119u);
    EXPECT_EQ(capMB(24ull << 30, 0.25), 6145u);
}

TEST(Conversions, CapacitiesAddOneAfterTruncating) {
    EXPECT_EQ(capMB(k256MB, 1), 257u);
    EXPECT_EQ(capMB(k256MB, 0.75), 193u);
    EXPECT_EQ(capMB(k256MB, 0.5), 129u);
    EXPECT_EQ(capMB(k256MB, 0.25), 65u);
    EXPECT_EQ(capMB(k256MB, 0.9), 231u);
    EXPECT_EQ(capMB(k256MB, 0.1), 26u);
    EXPECT_EQ(capMB(k511_5MB, 1), 512u);
    EXPECT_EQ(capMB(k511_5MB, 0.9), 461u);
}

TEST(Conversions, ShareCaptionsOfA512MegabyteMachine) {
    // Tray captions 10% ... 90%: the factor 2^-20 is applied before the share.
    const std::vector<uint32_t> expected{52, 103, 154, 205, 256, 307, 359, 410, 461};
    for (int tenth = 1; tenth <= 9; ++tenth) {
        EXPECT_EQ(capMB(k511_5MB, tenth / 10.0), expected[tenth - 1]) << tenth * 10 << "%";
    }
}

TEST(Conversions, PercentagesTruncate) {
    EXPECT_EQ(percentOf(0, k256MB), 0u);
    EXPECT_EQ(percentOf(k256MB, k256MB), 100u);
    EXPECT_EQ(percentOf(1, 3), 33u);
    EXPECT_EQ(percentOf(2, 3), 66u);
    EXPECT_EQ(percentOf(0xFFFFFFFFu, 0xFFFFFFFFu), 100u);
    EXPECT_EQ(percentOf(3221225472u, 0xFFFFFFFFu), 75u);
    EXPECT_EQ(percentOf(5, 0), 0u);
    EXPECT_EQ(percentOf(20ull << 30, 24ull << 30), 83u);
    EXPECT_EQ(percentOf(6ull << 30, 8ull << 30), 75u);
    // Some systems report more free than total (32-bit programs under Wine): never above 100.
    EXPECT_EQ(percentOf(20ull << 30, 3600ull << 20), 100u);
}

TEST(Conversions, MegabytesToBytesNeitherWrapsNorGoesNegative) {
    EXPECT_EQ(megabytesToBytes(80), 83886080u);
    EXPECT_EQ(megabytesToBytes(4096), 4294967296u);
    EXPECT_EQ(megabytesToBytes(22000), 23068672000u);
    EXPECT_EQ(megabytesToBytes(-1), 0u);
    EXPECT_EQ(megabytesToBytes(INT32_MIN), 0u);
    EXPECT_EQ(toIntMB(22119), 22119);
    EXPECT_EQ(toIntMB(UINT64_MAX >> 20), INT32_MAX);
}

TEST(Conversions, ThousandsSeparators) {
    EXPECT_EQ(formatThousands(0), "0");
    EXPECT_EQ(formatThousands(999), "999");
    EXPECT_EQ(formatThousands(1000), "1,000");
    EXPECT_EQ(formatThousands(1234), "1,234");
    EXPECT_EQ(formatThousands(100000), "100,000");
    EXPECT_EQ(formatThousands(1234567), "1,234,567");
    EXPECT_EQ(formatThousands(262144), "262,144");
    EXPECT_EQ(formatThousands(4294967295u), "4,294,967,295");
    EXPECT_EQ(formatThousands(20480), "20,480");
}
