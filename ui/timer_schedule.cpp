#include "ui/timer_schedule.h"

#include <algorithm>

namespace ui {

namespace {

// How far `due` lies after `now` on the wrapping clock (negative: it has passed).
int32_t ahead(uint32_t due, uint32_t now) { return static_cast<int32_t>(due - now); }

}  // namespace

void TimerSchedule::start(Id id, uint32_t interval, uint32_t now) {
    uint32_t due = now + interval;
    // On the beat of a running timer whose interval divides this one's, at the beat nearest to
    // the due time: from then on the two share every wake-up of the longer one.
    for (const Entry& other : entries_) {
        if (other.id == id || other.interval == 0 || interval % other.interval != 0) continue;
        const int32_t after = ahead(due, other.due);
        if (after < 0) continue;
        const uint32_t beats = (static_cast<uint32_t>(after) + other.interval / 2) / other.interval;
        due = other.due + beats * other.interval;
        if (ahead(due, now) <= 0) due += other.interval;
        break;
    }
    for (Entry& e : entries_) {
        if (e.id != id) continue;
        e.interval = interval;
        e.due = due;
        e.lastRound = 0;  // started anew: whatever was due of it no longer runs
        return;
    }
    entries_.push_back(Entry{id, interval, due, 0});
}

void TimerSchedule::stop(Id id) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; }),
                   entries_.end());
}

bool TimerSchedule::running(Id id) const {
    return std::any_of(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
}

std::optional<TimerSchedule::Id> TimerSchedule::takeDue(uint32_t now, unsigned round) {
    Entry* first = nullptr;
    for (Entry& e : entries_) {
        if (e.lastRound == round || ahead(e.due, now) > static_cast<int32_t>(kCoalesceMs)) continue;
        if (first == nullptr || ahead(e.due, first->due) < 0) first = &e;
    }
    if (first == nullptr) return std::nullopt;
    first->lastRound = round;
    // The next period counts from this wake-up, early or late: the beat follows the system
    // timer's own (which may run a little fast or slow), so that it is not set anew to catch up.
    first->due = now + first->interval;
    return first->id;
}

bool TimerSchedule::takenIn(Id id, unsigned round) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.id == id && e.lastRound == round; });
}

std::optional<uint32_t> TimerSchedule::nextDelay(uint32_t now) const {
    std::optional<int32_t> earliest;
    for (const Entry& e : entries_) {
        const int32_t wait = ahead(e.due, now);
        if (!earliest || wait < *earliest) earliest = wait;
    }
    if (!earliest) return std::nullopt;
    return std::max<uint32_t>(kMinimumDelayMs, *earliest > 0 ? static_cast<uint32_t>(*earliest) : 0);
}

}  // namespace ui
