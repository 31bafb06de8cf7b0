#include "monitor/cpu_usage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"

using monitor::CpuUsageSampler;
using monitor::NtRecordLayout;
using platform::fake::FakeMachine;

namespace {

constexpr uint64_t kSecond = 10'000'000;  // in the system's 100-nanosecond units

void put64(std::vector<uint8_t>& record, uint32_t offset, uint64_t value) {
    for (int i = 0; i < 8; ++i) record[offset + static_cast<uint32_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// An NT machine whose records say: this many processors, this system time, this idle time.
struct NtMachine : FakeMachine {
    NtRecordLayout layout;

    explicit NtMachine(uint8_t processors, const NtRecordLayout& recordLayout = monitor::kNtLayout32)
        : layout(recordLayout) {
        std::vector<uint8_t> basic(layout.basicSize, 0xEE);
        basic[layout.processorsOffset] = processors;
        ntAnswers[platform::kSystemBasicInformation].data = basic;
        ntAnswers[platform::kSystemTimeOfDayInformation].data.assign(layout.timeOfDaySize, 0xEE);
        ntAnswers[platform::kSystemPerformanceInformation].data.assign(layout.performanceSize, 0xEE);
        at(kSecond * 1000, kSecond * 700);
    }
    void at(uint64_t systemTime, uint64_t idleTime) {
        put64(ntAnswers[platform::kSystemTimeOfDayInformation].data, layout.systemTimeOffset, systemTime);
        put64(ntAnswers[platform::kSystemPerformanceInformation].data, layout.idleTimeOffset, idleTime);
    }
};

CpuUsageSampler samplerOf(FakeMachine& machine, const NtRecordLayout& layout = monitor::kNtLayout32) {
    return CpuUsageSampler(machine, machine, machine, layout);
}

std::vector<uint8_t> le32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

// A 9x machine whose kernel publishes the given figure (and something else under StartStat).
struct Win9xMachine : FakeMachine {
    explicit Win9xMachine(uint32_t minor = 10) {
        setVersion(platform::kPlatformWin32Windows, 4, minor, (4u << 24) | (minor << 16) | 2222, " A ");
    }
    void publish(std::vector<uint8_t> statData) {
        putRegistryValue(platform::RegistryRoot::DynData, "PerfStats\\StartStat", "KERNEL\\CPUUsage",
                         platform::kRegBinary, le32(12));
        putRegistryValue(platform::RegistryRoot::DynData, "PerfStats\\StatData", "KERNEL\\CPUUsage",
                         platform::kRegBinary, std::move(statData));
    }
};

}  // namespace

TEST(CpuUsageNt, FirstSampleIsZeroAndReadsTheThreeRecordsInOrder) {
    NtMachine machine(1);
    CpuUsageSampler sampler = samplerOf(machine);
    EXPECT_EQ(sampler.sampleCpuUsage(), 0);
    EXPECT_EQ(machine.ntLookups, 1);
    const std::vector<std::pair<uint32_t, uint32_t>> expected{{0, 44}, {3, 32}, {2, 312}};
    EXPECT_EQ(machine.ntQueries, expected);

    machine.at(kSecond * 1001, kSecond * 700);  // a fully busy second
    EXPECT_EQ(sampler.sampleCpuUsage(), 100);
    EXPECT_EQ(machine.ntLookups, 2);  // the function is looked up on every sample
}

TEST(CpuUsageNt, RoundsTheLoadToTheNearestPercentWithoutClamping) {
    struct Case {
        uint64_t idle;  // idle time over one second on one processor
        int32_t load;
    };
    const Case cases[] = {
        {9'950'000, 1},    // idle share 0.995: 100 - 99.5 + 0.5 = 1.0
        {10'000'000, 0},   // 1.0: 0.5
        {10'060'000, 0},   // 1.006: -0.1 truncates toward zero, not to -1
        {10'200'000, -1},  // 1.02: -1.5, an idle time running ahead of the clock shows
        {7'450'000, 26},   // 25.5 + 0.5
        {7'460'000, 25},
        {0, 100},
    };
    for (const Case& c : cases) {
        NtMachine machine(1);
        CpuUsageSampler sampler = samplerOf(machine);
        sampler.sampleCpuUsage();
        machine.at(kSecond * 1001, kSecond * 700 + c.idle);
        EXPECT_EQ(sampler.sampleCpuUsage(), c.load) << "idle " << c.idle;
    }
}

TEST(CpuUsageNt, IdleTimeIsSharedByTheProcessors) {
    NtMachine two(2);
    CpuUsageSampler sampler = samplerOf(two);
    sampler.sampleCpuUsage();
    two.at(kSecond * 1001, kSecond * 701);  // one processor's worth idle: half the machine busy
    EXPECT_EQ(sampler.sampleCpuUsage(), 50);
    two.at(kSecond * 1002, kSecond * 701 + 5'000'000);
    EXPECT_EQ(sampler.sampleCpuUsage(), 75);

    NtMachine eight(8);
    CpuUsageSampler eightSampler = samplerOf(eight);
    eightSampler.sampleCpuUsage();
    eight.at(kSecond * 1001, kSecond * 706);  // six of eight idle
    EXPECT_EQ(eightSampler.sampleCpuUsage(), 25);
}

TEST(CpuUsageNt, CountsCarryAcrossTheHalvesOfTheSystemTimes) {
    NtMachine machine(1);
    machine.at(0x00000001FFFFFFFFull, 0x00000001FFFFFFFFull);
    CpuUsageSampler sampler = samplerOf(machine);
    sampler.sampleCpuUsage();
    machine.at(0x00000001FFFFFFFFull + kSecond, 0x00000001FFFFFFFFull + kSecond / 4);
    EXPECT_EQ(sampler.sampleCpuUsage(), 75);
}

TEST(CpuUsageNt, AFailedQueryKeepsTheLastSample) {
    for (uint32_t failing : {platform::kSystemBasicInformation, platform::kSystemTimeOfDayInformation,
                             platform::kSystemPerformanceInformation}) {
        NtMachine machine(1);
        CpuUsageSampler sampler = samplerOf(machine);
        sampler.sampleCpuUsage();
        machine.at(kSecond * 1001, kSecond * 700 + kSecond / 2);
        EXPECT_EQ(sampler.sampleCpuUsage(), 50);

        machine.ntAnswers[failing].status = static_cast<int32_t>(0xC0000001u);
        machine.at(kSecond * 1002, kSecond * 700 + kSecond / 2);
        machine.ntQueries.clear();
        EXPECT_EQ(sampler.sampleCpuUsage(), 0) << "class " << failing;
        EXPECT_EQ(machine.ntQueries.back().first, failing) << "no query after the failed one";

        // The next sample spans the gap back to the last good one: 3 seconds, 1 idle.
        machine.ntAnswers[failing].status = platform::kStatusSuccess;
        machine.at(kSecond * 1004, kSecond * 700 + kSecond * 3 / 2);
        EXPECT_EQ(sampler.sampleCpuUsage(), 67) << "class " << failing;
    }
}

TEST(CpuUsageNt, AWrongSizedRecordIsAFailedQuery) {
    NtMachine machine(1, monitor::kNtLayout64);  // records as a 64-bit process gets them
    CpuUsageSampler sampler = samplerOf(machine, monitor::kNtLayout32);
    sampler.sampleCpuUsage();
    machine.at(kSecond * 1001, kSecond * 700);
    EXPECT_EQ(sampler.sampleCpuUsage(), 0);
    EXPECT_EQ(machine.ntQueries.size(), 2u);  // the basic record was refused both times
}

TEST(CpuUsageNt, SixtyFourBitLayoutFindsTheProcessorCount) {
    NtMachine machine(4, monitor::kNtLayout64);
    CpuUsageSampler sampler = samplerOf(machine, monitor::kNtLayout64);
    sampler.sampleCpuUsage();
    machine.at(kSecond * 1001, kSecond * 703);  // three of four idle
    EXPECT_EQ(sampler.sampleCpuUsage(), 25);
    EXPECT_EQ(machine.ntQueries.front(), (std::pair<uint32_t, uint32_t>{0, 64}));
}

TEST(CpuUsageNt, MissingQueryFunctionGivesZero) {
    NtMachine machine(1);
    machine.ntQueryAvailable = false;
    CpuUsageSampler sampler = samplerOf(machine);
    EXPECT_EQ(sampler.sampleCpuUsage(), 0);
    machine.at(kSecond * 1001, kSecond * 700);
    EXPECT_EQ(sampler.sampleCpuUsage(), 0);
    EXPECT_TRUE(machine.ntQueries.empty());
    EXPECT_EQ(machine.ntLookups, 2);
}

TEST(CpuUsageNt, NoIntervalKeepsTheLastLoad) {
    NtMachine machine(1);
    CpuUsageSampler sampler = samplerOf(machine);
    sampler.sampleCpuUsage();
    machine.at(kSecond * 1001, kSecond * 700 + kSecond / 4);
    EXPECT_EQ(sampler.sampleCpuUsage(), 75);
    // Within one tick of the system clock: nothing to divide by.
    machine.at(kSecond * 1001, kSecond * 700 + kSecond / 4 + 100'000);
    EXPECT_EQ(sampler.sampleCpuUsage(), 75);
    // The clock set back.
    machine.at(kSecond * 500, kSecond * 701);
    EXPECT_EQ(sampler.sampleCpuUsage(), 75);
    // Measuring goes on from there.
    machine.at(kSecond * 501, kSecond * 701 + kSecond / 2);
    EXPECT_EQ(sampler.sampleCpuUsage(), 50);
}

TEST(CpuUsageNt, ARecordWithoutProcessorsIsNotDividedBy) {
    NtMachine machine(0);
    CpuUsageSampler sampler = samplerOf(machine);
    EXPECT_EQ(sampler.sampleCpuUsage(), 0);
    machine.at(kSecond * 1001, kSecond * 700);
    EXPECT_EQ(sampler.sampleCpuUsage(), 0);
    machine.ntAnswers[platform::kSystemBasicInformation].data[40] = 1;
    machine.at(kSecond * 1002, kSecond * 700);
    EXPECT_EQ(sampler.sampleCpuUsage(), 0);  // the first usable sample
    machine.at(kSecond * 1003, kSecond * 700);
    EXPECT_EQ(sampler.sampleCpuUsage(), 100);
}

TEST(CpuUsageNt, EveryNtReleaseIsMeasured) {
    struct Release {
        uint32_t major, minor;
        bool extendedRecord;
    };
    // NT 4 before SP6 knows only the short version record; 5.2, 6.0, 6.1 and 10.0 have no
    // release flag but the same records.
    const Release releases[] = {{3, 51, false}, {4, 0, false}, {4, 0, true}, {5, 0, true}, {5, 1, true},
                                {5, 2, true},   {6, 0, true},  {6, 1, true}, {10, 0, true}};
    for (const Release& r : releases) {
        NtMachine machine(2);
        machine.setVersion(platform::kPlatformWin32Nt, r.major, r.minor, 7601, "");
        machine.refuseExtendedVersion = !r.extendedRecord;
        CpuUsageSampler sampler = samplerOf(machine);
        sampler.sampleCpuUsage();
        machine.at(kSecond * 1001, kSecond * 701);
        EXPECT_EQ(sampler.sampleCpuUsage(), 50) << r.major << "." << r.minor;
        EXPECT_TRUE(machine.registryLog.empty());
    }
}

TEST(CpuUsage9x, ReturnsTheKernelsFigureUnchanged) {
    for (uint32_t figure : {73u, 0u, 100u, 250u, 0xFFFFFFFFu}) {
        Win9xMachine machine;
        machine.publish(le32(figure));
        CpuUsageSampler sampler = samplerOf(machine);
        EXPECT_EQ(sampler.sampleCpuUsage(), static_cast<int32_t>(figure));
        EXPECT_EQ(sampler.sampleCpuUsage(), static_cast<int32_t>(figure));  // no first-sample rule
        EXPECT_TRUE(machine.ntQueries.empty());
    }
}

TEST(CpuUsage9x, SwitchesTheStatisticsOnThenReadsThem) {
    Win9xMachine machine;
    machine.publish(le32(73));
    CpuUsageSampler sampler = samplerOf(machine);
    sampler.sampleCpuUsage();
    const std::vector<std::string> expected{
        "open HKEY_DYN_DATA\\PerfStats\\StartStat f003f", "query KERNEL\\CPUUsage", "close",
        "open HKEY_DYN_DATA\\PerfStats\\StatData f003f",  "query KERNEL\\CPUUsage", "close"};
    EXPECT_EQ(machine.registryLog, expected);
    EXPECT_EQ(machine.openRegistryKeys(), 0u);
}

TEST(CpuUsage9x, AnUnreadableFigureIsZero) {
    Win9xMachine nothing;  // Wine's dynamic data: the keys' values are missing
    EXPECT_EQ(samplerOf(nothing).sampleCpuUsage(), 0);
    EXPECT_EQ(nothing.openRegistryKeys(), 0u);

    for (std::vector<uint8_t> data : {std::vector<uint8_t>{}, std::vector<uint8_t>{50, 0},
                                      std::vector<uint8_t>{50, 0, 0, 0, 0, 0, 0, 0}}) {
        Win9xMachine wrongSize;
        wrongSize.publish(data);
        EXPECT_EQ(samplerOf(wrongSize).sampleCpuUsage(), 0) << data.size() << " bytes";
    }

    // Only StatData holds the figure: StartStat's data is never taken for it.
    Win9xMachine startOnly;
    startOnly.publish(le32(73));
    startOnly.deniedRegistryKeys.insert("HKEY_DYN_DATA\\PerfStats\\StatData");
    EXPECT_EQ(samplerOf(startOnly).sampleCpuUsage(), 0);
    EXPECT_EQ(startOnly.openRegistryKeys(), 0u);
}

TEST(CpuUsage9x, EveryNineXReleaseReadsTheKernelsFigure) {
    for (uint32_t minor : {0u, 10u, 90u, 3u}) {  // 95, 98, ME and a minor version no row names
        Win9xMachine machine(minor);
        machine.publish(le32(42));
        EXPECT_EQ(samplerOf(machine).sampleCpuUsage(), 42) << "4." << minor;
    }
}
