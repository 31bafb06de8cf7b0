#pragma once
#include <cstdint>
#include <string>

namespace monitor {

// The time since the system started, from its millisecond tick count (which wraps after
// about 49.7 days, and the figures with it).
struct Uptime {
    uint32_t totalSeconds = 0;
    int32_t seconds = 0;  // 0 ... 59
    int32_t minutes = 0;  // 0 ... 59
    int32_t hours = 0;    // 0 ... 23
    int32_t days = 0;
    std::string text;  // "DD/HH:MM:SS"
};

Uptime formatUptime(uint32_t tickCount);

}  // namespace monitor
