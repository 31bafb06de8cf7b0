#include "monitor/cpu_usage.h"

#include <limits>

#include "monitor/os_detection.h"

namespace monitor {

namespace {

constexpr const char* kCpuUsageValue = "KERNEL\\CPUUsage";

// A 64-bit system count as a double: its high half signed, its low half unsigned.
double toDouble(uint64_t value) {
    const auto high = static_cast<int32_t>(static_cast<uint32_t>(value >> 32));
    const auto low = static_cast<uint32_t>(value);
    return static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
}

uint64_t read64(const uint8_t* record, uint32_t offset) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | record[offset + static_cast<uint32_t>(i)];
    return value;
}

// Truncates toward zero; a figure beyond the 32-bit range (only absurd system readings give
// one) saturates instead of being undefined.
int32_t truncated(double value) {
    if (!(value > -2147483649.0)) return std::numeric_limits<int32_t>::min();
    if (!(value < 2147483648.0)) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

bool fits(uint32_t size, uint32_t offset, uint32_t width) {
    return size <= kNtRecordCapacity && offset <= size && width <= size - offset;
}

}  // namespace

bool NtRecordLayout::valid() const {
    return fits(basicSize, processorsOffset, 1) && fits(timeOfDaySize, systemTimeOffset, 8) &&
           fits(performanceSize, idleTimeOffset, 8);
}

int32_t CpuUsageSampler::sampleCpuUsage() {
    // The family decides the source: every NT release has the idle-time records and every 9x
    // release the kernel's figure, whether or not it is a release the description names.
    return isNtFamily(version_) ? sampleNt() : sample9x();
}

int32_t CpuUsageSampler::sample9x() {
    platform::RegistryKey key = nullptr;
    uint32_t type = 0;
    std::vector<uint8_t>& data = value_;
    // Reading the value under StartStat switches the kernel's statistics on; the figure
    // itself comes from StatData.
    if (registry_.openKey(platform::RegistryRoot::DynData, "PerfStats\\StartStat", platform::kKeyAllAccess, key) ==
        platform::kErrorSuccess) {
        registry_.queryValue(key, kCpuUsageValue, type, data);
        registry_.closeKey(key);
    }
    uint32_t usage = 0;  // unreadable: no load known
    if (registry_.openKey(platform::RegistryRoot::DynData, "PerfStats\\StatData", platform::kKeyAllAccess, key) ==
        platform::kErrorSuccess) {
        data.clear();
        if (registry_.queryValue(key, kCpuUsageValue, type, data) == platform::kErrorSuccess && data.size() == 4) {
            usage = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                    static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
        }
        registry_.closeKey(key);
    }
    return static_cast<int32_t>(usage);
}

int32_t CpuUsageSampler::sampleNt() {
    if (!layout_.valid() || !nt_.findNtQuerySystemInformation()) return 0;

    alignas(8) uint8_t basic[kNtRecordCapacity] = {};
    alignas(8) uint8_t timeOfDay[kNtRecordCapacity] = {};
    alignas(8) uint8_t performance[kNtRecordCapacity] = {};
    // A failed query ends the sample and keeps the last one, so the next sample spans the gap.
    if (nt_.ntQuerySystemInformation(platform::kSystemBasicInformation, basic, layout_.basicSize) != 0 ||
        nt_.ntQuerySystemInformation(platform::kSystemTimeOfDayInformation, timeOfDay, layout_.timeOfDaySize) != 0 ||
        nt_.ntQuerySystemInformation(platform::kSystemPerformanceInformation, performance, layout_.performanceSize) !=
            0) {
        return 0;
    }
    const uint8_t processors = basic[layout_.processorsOffset];
    if (processors == 0) return 0;  // not a record to divide by: treated as a failed query
    const uint64_t idleTime = read64(performance, layout_.idleTimeOffset);
    const uint64_t systemTime = read64(timeOfDay, layout_.systemTimeOffset);

    if (previousIdle_ != 0) {
        const double idle = toDouble(idleTime) - toDouble(previousIdle_);
        const double elapsed = toDouble(systemTime) - toDouble(previousSystemTime_);
        // Two samples within one tick of the system clock, or a clock set back, give no
        // interval to measure: the last load stands.
        if (elapsed > 0.0) {
            lastResult_ = idle / elapsed;  // the idle share of one processor's time
            lastResult_ = 100.0 - lastResult_ * 100.0 / processors + 0.5;
        }
    }
    previousIdle_ = idleTime;
    previousSystemTime_ = systemTime;
    return truncated(lastResult_);
}

}  // namespace monitor
