#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace ui {

// The timers of a backend run off one system timer. Each timer's next due time is kept here;
// the system timer is set for the earliest, and when it fires every timer that is due, or will
// be within one tick of the system's timer clock, runs in that same wake-up. Timers whose
// intervals are multiples of one another (the graph's 250 ms and the monitor's 500 ms) then
// share their wake-ups instead of each waking the program on its own: a timer started anew
// falls in with the beat of one whose interval divides its own.
//
// Times are milliseconds of a 32-bit clock that wraps (GetTickCount): only differences of
// less than 2^31 ms are compared.
class TimerSchedule {
public:
    using Id = unsigned;
    // How early a timer may run to join a wake-up: the tick of the system's timer clock
    // (15.6 ms), by which a system timer is late or early anyway.
    static constexpr uint32_t kCoalesceMs = 16;
    // The shortest delay the system timer is set to (USER_TIMER_MINIMUM).
    static constexpr uint32_t kMinimumDelayMs = 10;

    // Starts the timer anew (as setting a running system timer does): due `interval` from now,
    // or at the nearest beat of a running timer whose interval divides `interval` (at most half
    // that timer's interval away), so that their wake-ups coincide.
    void start(Id id, uint32_t interval, uint32_t now);
    void stop(Id id);
    bool running(Id id) const;

    // The next timer to run in the wake-up numbered `round` at `now`, next due one interval
    // from now (periods already missed are dropped, as a system timer drops them); none
    // when no timer that has not run in this round is due. A timer runs at most once a round,
    // so a wake-up ends whatever the intervals.
    std::optional<Id> takeDue(uint32_t now, unsigned round);
    // Whether the timer was taken in that round and neither stopped nor started anew since:
    // a wake-up takes every due timer first and then runs those still taken, so that what the
    // first one's handler does to the others (and to the schedule) is seen by the rest.
    bool takenIn(Id id, unsigned round) const;

    // How long from now until the earliest due time (at least kMinimumDelayMs); none when no
    // timer runs.
    std::optional<uint32_t> nextDelay(uint32_t now) const;

private:
    struct Entry {
        Id id;
        uint32_t interval;
        uint32_t due;
        unsigned lastRound;
    };
    std::vector<Entry> entries_;
};

}  // namespace ui
