// Part of the Win32 backend of the control layer (ui_backend.h): timers and the message window
// their WM_TIMER arrives at.
#include "win32/controls/win32_peers.h"

#include "ui/timer.h"

namespace win32::ui_peers {

namespace {

class TimerPeer : public ui::Peer {
public:
    TimerPeer(Win32UiBackend& backend, ui::Timer& timer) : backend_(backend), timer_(timer), id_(backend.newTimerId(timer)) {
        restart();
    }
    ~TimerPeer() override {
        KillTimer(messageHwnd(), id_);
        backend_.releaseTimerId(id_);
    }
    void update(Change what) override {
        if (what == Change::Timer) restart();
    }

private:
    HWND messageHwnd() const { return static_cast<HWND>(backend_.messageWindow()); }
    // Setting a running timer again replaces it: its count starts anew.
    void restart() {
        if (timer_.running()) SetTimer(messageHwnd(), id_, timer_.interval(), nullptr);
        else KillTimer(messageHwnd(), id_);
    }
    Win32UiBackend& backend_;
    ui::Timer& timer_;
    UINT id_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeTimerPeer(Win32UiBackend& backend, ui::Timer& control) {
    return std::make_unique<TimerPeer>(backend, control);
}

LRESULT CALLBACK messageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && theBackend != nullptr) {
        if (ui::Timer* timer = theBackend->timerOf(static_cast<unsigned>(wParam))) {
            guarded([&] { timer->elapsed(); });
            return 0;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace win32::ui_peers
