#include "ui/paint_control.h"

#include <stdexcept>

#include "ui/form.h"

namespace ui {

void PaintControl::paint() {
    platform::Canvas* face = surface();
    if (face == nullptr) return;
    draw(*face);
    push(Change::Paint);
}

void PaintControl::draw(platform::Canvas& face) {
    if (onPaint) {
        const auto handler = onPaint;
        handler(face);
    }
}

void PaintControl::boundsChanged(const Bounds& old) {
    Control::boundsChanged(old);
    if (old.width == width() && old.height == height()) return;
    resized();
    paint();
}

// ---- the performance graph ----

widgets::TPerformanceGraph& PerformanceGraphControl::graph() const {
    if (!graph_) throw std::logic_error("the graph control is not on a form");
    return *graph_;
}

void PerformanceGraphControl::attached() {
    if (form() == nullptr) return;
    graph_ = std::make_unique<widgets::TPerformanceGraph>(form()->backend().createImage(width(), height()));
    graph_->setSize(width(), height());
}

void PerformanceGraphControl::peerCreated() {
    if (graph_) {
        graph_->setSurface(surface());
        graph_->onSurfaceChanged = [this] { push(Change::Paint); };
    }
    PaintControl::peerCreated();
}

void PerformanceGraphControl::peerDestroying() {
    if (graph_) {
        graph_->setSurface(nullptr);
        graph_->onSurfaceChanged = nullptr;
    }
}

void PerformanceGraphControl::draw(platform::Canvas&) {
    if (graph_) graph_->Paint();
}

void PerformanceGraphControl::resized() {
    if (graph_) graph_->setSize(width(), height());
}

// ---- the gradient bar ----

widgets::TGradient& GradientControl::gradient() const {
    if (!gradient_) throw std::logic_error("the gradient control is not on a form");
    return *gradient_;
}

void GradientControl::attached() {
    if (form() == nullptr) return;
    gradient_ = std::make_unique<widgets::TGradient>(form()->backend().createImage(width(), height()));
    gradient_->setSize(width(), height());
}

void GradientControl::peerCreated() {
    if (gradient_) {
        gradient_->setSurface(surface());
        gradient_->onSurfaceChanged = [this] { push(Change::Paint); };
    }
    PaintControl::peerCreated();
}

void GradientControl::peerDestroying() {
    if (gradient_) {
        gradient_->setSurface(nullptr);
        gradient_->onSurfaceChanged = nullptr;
    }
}

void GradientControl::draw(platform::Canvas&) {
    if (gradient_) gradient_->Paint();
}

void GradientControl::resized() {
    if (gradient_) gradient_->setSize(width(), height());
}

}  // namespace ui
