#include "ui/headless_backend.h"

#include <algorithm>

#include "platform/software_canvas.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/paint_control.h"
#include "ui/timer.h"

namespace ui {

// A timer's schedule on the virtual clock.
class HeadlessBackend::TimerPeer : public Peer {
public:
    TimerPeer(HeadlessBackend& backend, Timer& timer) : backend_(backend), timer_(timer) {
        restart();
        backend_.timers_.push_back(this);
    }
    ~TimerPeer() override {
        auto& list = backend_.timers_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    void update(Change what) override {
        if (what == Change::Timer) restart();
    }
    void restart() { due = backend_.now_ + timer_.interval(); }

    Timer& timer() const { return timer_; }
    uint64_t due = 0;

private:
    HeadlessBackend& backend_;
    Timer& timer_;
};

namespace {

// The face of a custom-painted control: a software canvas kept at the control's size.
class SurfacePeer : public Peer {
public:
    explicit SurfacePeer(Control& control)
        : control_(control), surface_(control.width(), control.height()) {}
    void update(Change what) override {
        if (what == Change::Bounds && (surface_.width() != control_.width() || surface_.height() != control_.height()))
            surface_.resize(control_.width(), control_.height());
    }
    platform::Canvas* surface() override { return &surface_; }

private:
    Control& control_;
    platform::SoftwareCanvas surface_;
};

}  // namespace

HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<Peer> HeadlessBackend::createPeer(Component& component) {
    switch (component.kind()) {
    case Kind::Timer:
        return std::make_unique<TimerPeer>(*this, static_cast<Timer&>(component));
    case Kind::PaintBox:
        return std::make_unique<SurfacePeer>(static_cast<Control&>(component));
    default:
        return nullptr;
    }
}

std::unique_ptr<platform::Canvas> HeadlessBackend::createImage(int width, int height) {
    return std::make_unique<platform::SoftwareCanvas>(width, height);
}

void HeadlessBackend::runModal(Form& dialog) {
    if (!onModal) return;
    const auto script = onModal;
    script(dialog);
}

void HeadlessBackend::popup(PopupMenu& menu, int x, int y) {
    if (!onPopup) return;
    const auto script = onPopup;
    script(menu, x, y);
}

void HeadlessBackend::advance(uint64_t milliseconds) {
    const uint64_t end = now_ + milliseconds;
    for (;;) {
        TimerPeer* next = nullptr;
        for (TimerPeer* peer : timers_) {
            if (!peer->timer().running() || peer->due > end) continue;
            if (next == nullptr || peer->due < next->due) next = peer;
        }
        if (next == nullptr) break;
        now_ = std::max(now_, next->due);
        next->restart();
        next->timer().elapsed();  // may destroy `next`: not touched afterwards
    }
    now_ = std::max(now_, end);
}

}  // namespace ui
