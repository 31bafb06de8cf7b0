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

// The face of a custom-painted control: the control's own image where it keeps one (its
// drawing keeps that at the control's size), else a software canvas kept at the control's size.
class SurfacePeer : public Peer {
public:
    explicit SurfacePeer(PaintControl& control) : control_(control) {
        if (control.ownImage() == nullptr)
            own_ = std::make_unique<platform::SoftwareCanvas>(control.width(), control.height());
    }
    void update(Change what) override {
        if (what == Change::Bounds && own_ &&
            (own_->width() != control_.width() || own_->height() != control_.height()))
            own_->resize(control_.width(), control_.height());
    }
    platform::Canvas* surface() override { return own_ ? own_.get() : control_.ownImage(); }

private:
    PaintControl& control_;
    std::unique_ptr<platform::SoftwareCanvas> own_;  // null: the face is the control's own image
};

}  // namespace

HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<Peer> HeadlessBackend::createPeer(Component& component) {
    switch (component.kind()) {
    case Kind::Timer:
        return std::make_unique<TimerPeer>(*this, static_cast<Timer&>(component));
    case Kind::PaintBox:
        return std::make_unique<SurfacePeer>(static_cast<PaintControl&>(component));
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
