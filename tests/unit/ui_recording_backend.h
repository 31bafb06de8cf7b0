#pragma once
// A headless backend whose peers write down what they are told, so tests can check what
// reaches the real windows, and can answer like a real window (notifications sent back while
// a change is being pushed).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/headless_backend.h"

namespace uitest {

class RecordingBackend : public ui::HeadlessBackend {
public:
    struct Event {
        enum Type { Create, Update, Destroy } type;
        std::string name;
        ui::Change change;
    };

    std::unique_ptr<ui::Peer> createPeer(ui::Component& component) override;

    // Runs inside every push, after it is written down: what a real window would notify.
    std::function<void(ui::Component& component, ui::Change what)> onUpdate;

    // The changes pushed to the component of that name, in order.
    std::vector<ui::Change> updates(const std::string& name) const {
        std::vector<ui::Change> result;
        for (const auto& e : log)
            if (e.type == Event::Update && e.name == name) result.push_back(e.change);
        return result;
    }
    // "create:Name" / "destroy:Name" entries in order.
    std::vector<std::string> lifecycle() const {
        std::vector<std::string> result;
        for (const auto& e : log) {
            if (e.type == Event::Create) result.push_back("create:" + e.name);
            if (e.type == Event::Destroy) result.push_back("destroy:" + e.name);
        }
        return result;
    }

    std::vector<Event> log;
};

class RecordingPeer : public ui::Peer {
public:
    RecordingPeer(RecordingBackend& backend, ui::Component& component, std::unique_ptr<ui::Peer> inner)
        : backend_(backend), component_(component), name_(component.name()), inner_(std::move(inner)) {
        backend_.log.push_back({RecordingBackend::Event::Create, name_, ui::Change::Text});
    }
    ~RecordingPeer() override { backend_.log.push_back({RecordingBackend::Event::Destroy, name_, ui::Change::Text}); }
    void update(ui::Change what) override {
        backend_.log.push_back({RecordingBackend::Event::Update, name_, what});
        if (inner_) inner_->update(what);
        if (backend_.onUpdate) backend_.onUpdate(component_, what);
    }
    platform::Canvas* surface() override { return inner_ ? inner_->surface() : nullptr; }

private:
    RecordingBackend& backend_;
    ui::Component& component_;
    std::string name_;
    std::unique_ptr<ui::Peer> inner_;
};

inline std::unique_ptr<ui::Peer> RecordingBackend::createPeer(ui::Component& component) {
    return std::make_unique<RecordingPeer>(*this, component, HeadlessBackend::createPeer(component));
}

// Counts the runs of a handler.
struct Counter {
    int runs = 0;
    ui::Handler handler() {
        return [this] { ++runs; };
    }
};

}  // namespace uitest
