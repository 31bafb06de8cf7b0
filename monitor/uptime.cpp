#include "monitor/uptime.h"

#include "text/text_format.h"

namespace monitor {

Uptime formatUptime(uint32_t tickCount) {
    Uptime up;
    up.totalSeconds = tickCount / 1000;
    up.seconds = static_cast<int32_t>(up.totalSeconds % 60);
    up.minutes = static_cast<int32_t>(up.totalSeconds / 60 % 60);
    up.hours = static_cast<int32_t>(up.totalSeconds / 3600 % 24);
    up.days = static_cast<int32_t>(up.totalSeconds / 86400);
    // "DD/HH:MM:SS"; the days have more digits once they pass 99.
    const auto two = [](int32_t value) { return text::zeroPadded(static_cast<uint32_t>(value), 2); };
    up.text = two(up.days) + "/" + two(up.hours) + ":" + two(up.minutes) + ":" + two(up.seconds);
    return up;
}

}  // namespace monitor
