// Part of the Win32 backend of the control layer (ui_backend.h): timers, and the message window
// the one system timer they run off (ui/timer_schedule.h) fires at.
#include "win32/controls/win32_peers.h"

#include "ui/timer.h"

namespace win32::ui_peers {

namespace {

class TimerPeer : public ui::Peer {
public:
    TimerPeer(Win32UiBackend& backend, ui::Timer& timer) : backend_(backend), timer_(timer), id_(backend.newTimerId(timer)) {
        restart();
    }
    ~TimerPeer() override { backend_.releaseTimerId(id_); }
    void update(Change what) override {
        if (what == Change::Timer) restart();
    }

private:
    void restart() { backend_.restartTimer(id_, timer_); }
    Win32UiBackend& backend_;
    ui::Timer& timer_;
    UINT id_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeTimerPeer(Win32UiBackend& backend, ui::Timer& control) {
    return std::make_unique<TimerPeer>(backend, control);
}

LRESULT CALLBACK messageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kClockTimer && theBackend != nullptr) {
        theBackend->runDueTimers();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace win32::ui_peers
