#pragma once
#include <cstdint>

#include "ui/component.h"

namespace ui {

// A timer of its form's window. It runs while enabled with an interval above 0; each time
// the interval has passed, the backend calls elapsed(), which runs onTimer. Changing the
// interval or the enabled state (only a real change counts) starts the count anew.
class Timer : public Component {
public:
    Timer() = default;
    Kind kind() const override { return Kind::Timer; }

    uint32_t interval() const { return interval_; }
    void setInterval(uint32_t milliseconds) { applyState(interval_, milliseconds, Change::Timer); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool value) { applyState(enabled_, value, Change::Timer); }
    bool running() const { return enabled_ && interval_ > 0; }

    // The backend's entry point: the interval has passed. Runs onTimer unless the timer was
    // stopped meanwhile (a tick already queued when it was switched off); answers whether
    // it ran.
    bool elapsed();
    Handler onTimer;

private:
    uint32_t interval_ = 1000;
    bool enabled_ = true;
};

}  // namespace ui
