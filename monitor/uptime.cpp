#include "monitor/uptime.h"

#include <cstdio>

namespace monitor {

Uptime formatUptime(uint32_t tickCount) {
    Uptime up;
    up.totalSeconds = tickCount / 1000;
    up.seconds = static_cast<int32_t>(up.totalSeconds % 60);
    up.minutes = static_cast<int32_t>(up.totalSeconds / 60 % 60);
    up.hours = static_cast<int32_t>(up.totalSeconds / 3600 % 24);
    up.days = static_cast<int32_t>(up.totalSeconds / 86400);
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d:%02d:%02d", up.days, up.hours, up.minutes, up.seconds);
    up.text = text;
    return up;
}

}  // namespace monitor
