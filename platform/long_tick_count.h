#pragma once
#include <cstdint>

namespace platform {

// The system's millisecond count is 32 bits wide and wraps every 49.7 days; due times kept in
// it cannot tell "long past" from "still to come" once half that has gone by. This count does
// not wrap, as long as it is read at least once in every 49.7 days (the monitor reads it twice
// a second).
class LongTickCount {
public:
    uint64_t at(uint32_t tick) {
        if (read_ && tick < last_) high_ += uint64_t{1} << 32;
        read_ = true;
        last_ = tick;
        return high_ | tick;
    }

private:
    bool read_ = false;
    uint32_t last_ = 0;
    uint64_t high_ = 0;
};

}  // namespace platform
