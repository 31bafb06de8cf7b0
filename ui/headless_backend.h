#pragma once
// The backend for running forms without a window system (native tests). It mirrors nothing
// but what a test needs to drive a form as a user would:
//   * custom-painted controls get a software canvas of their size as their surface;
//   * timers run on a virtual clock that only advance() moves;
//   * a modal dialog runs the onModal script (the simulated user) and then ends;
//   * a popup menu runs the onPopup script;
//   * forms are laid out for the DPI a test gives (96 unless set).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ui/component.h"

namespace ui {

class Timer;

class HeadlessBackend : public Backend {
public:
    HeadlessBackend() = default;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;
    // Forms made with this backend must be destroyed before it.
    ~HeadlessBackend() override;

    std::unique_ptr<Peer> createPeer(Component& component) override;
    std::unique_ptr<platform::Canvas> createImage(int width, int height) override;
    // Runs onModal (if set) with the dialog, then returns: a dialog the script left open ends
    // as closed.
    void runModal(Form& dialog) override;
    void popup(PopupMenu& menu, int x, int y) override;
    void setBusyCursor(bool busy) override { busyCursor_ = busy; }
    bool busyCursor() const { return busyCursor_; }
    int screenDpi() const override { return screenDpi_; }
    void setScreenDpi(int dpi) { screenDpi_ = dpi; }

    std::function<void(Form& dialog)> onModal;
    std::function<void(PopupMenu& menu, int x, int y)> onPopup;

    // Virtual milliseconds since the backend was made.
    uint64_t now() const { return now_; }
    // Moves the virtual clock on, running every timer tick that falls due on the way, in
    // time order (timers due together in the order they were realised). A tick's handler may
    // start, stop or destroy timers, open dialogs and advance the clock itself.
    void advance(uint64_t milliseconds);

private:
    class TimerPeer;
    friend class TimerPeer;

    std::vector<TimerPeer*> timers_;
    uint64_t now_ = 0;
    bool busyCursor_ = false;
    int screenDpi_ = platform::kDesignDpi;
};

}  // namespace ui
