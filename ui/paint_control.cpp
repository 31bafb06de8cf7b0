#include "ui/paint_control.h"

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

void PaintControl::rescale(int, int, const Bounds&) { resized(); }

// ---- hosted drawings ----

void PainterControl::attached() {
    if (form() == nullptr) return;
    painter_ = makePainter(form()->backend().createImage(width(), height()));
    painter_->setSize(width(), height());
}

void PainterControl::peerCreated() {
    if (painter_) painter_->setSurface(surface(), [this] { push(Change::Paint); });
    PaintControl::peerCreated();
}

void PainterControl::peerDestroying() {
    if (painter_) painter_->setSurface(nullptr, nullptr);
}

void PainterControl::draw(platform::Canvas&) {
    if (painter_) painter_->paint();
}

void PainterControl::rescale(int fromDpi, int toDpi, const Bounds&) {
    if (painter_) painter_->rescale(fromDpi, toDpi, width(), height());
}

void PainterControl::resized() {
    if (painter_) painter_->setSize(width(), height());
}

}  // namespace ui
