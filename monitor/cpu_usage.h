#pragma once
#include <cstdint>
#include <vector>

#include "platform/nt_system_information.h"
#include "platform/os_version.h"
#include "platform/registry.h"

namespace monitor {

// The largest NT record the sampler reads.
constexpr uint32_t kNtRecordCapacity = 512;

// Where the NT system records hold the figures the sampler reads. The records are laid out
// for the calling process: a 32-bit program gets the 32-bit layout, also on 64-bit Windows.
struct NtRecordLayout {
    uint32_t basicSize;         // class 0, basic information
    uint32_t processorsOffset;  // its number of processors, one unsigned byte
    uint32_t timeOfDaySize;     // class 3, time of day
    uint32_t systemTimeOffset;  // its current system time, 64 bits
    uint32_t performanceSize;   // class 2, performance information
    uint32_t idleTimeOffset;    // its idle time of all processors, 64 bits

    // Every record fits kNtRecordCapacity and every field lies inside its record.
    bool valid() const;
};
inline constexpr NtRecordLayout kNtLayout32{44, 40, 32, 8, 312, 0};
inline constexpr NtRecordLayout kNtLayout64{64, 56, 32, 8, 312, 0};
inline constexpr NtRecordLayout kNtLayoutOfThisProcess = sizeof(void*) == 8 ? kNtLayout64 : kNtLayout32;

// The processor load of the whole system, in whole percent. The 9x family publishes it in
// its dynamic performance registry; on the NT family it is derived from the system's idle
// time between two samples, so the object keeps the last sample. One per process.
class CpuUsageSampler {
public:
    CpuUsageSampler(platform::OsVersion& version, platform::NtSystemInformation& nt, platform::Registry& registry,
                    const NtRecordLayout& layout = kNtLayoutOfThisProcess)
        : version_(version), nt_(nt), registry_(registry), layout_(layout) {}

    // The load since the previous successful NT sample (0 for the first one), or the 9x
    // kernel's figure as it stands (0 when it cannot be read). Not clamped: an NT load can
    // leave 0 … 100 slightly.
    int32_t sampleCpuUsage();

private:
    int32_t sample9x();
    int32_t sampleNt();

    platform::OsVersion& version_;
    platform::NtSystemInformation& nt_;
    platform::Registry& registry_;
    NtRecordLayout layout_;
    std::vector<uint8_t> value_;  // the 9x figure's bytes, kept to spare an allocation per sample

    // The last successful NT sample, in 100-nanosecond units; zero idle time means none yet.
    uint64_t previousIdle_ = 0;
    uint64_t previousSystemTime_ = 0;
    double lastResult_ = 0.0;
};

}  // namespace monitor
