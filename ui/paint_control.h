#pragma once
// Controls that draw themselves. The surface is the control's face, provided by its peer
// while the form is realised (null before): what is drawn on it is what the user sees. The
// peer keeps it at the control's size, and asks for paint() whenever the system needs the
// face drawn again (the window was uncovered). A control that keeps its picture in an image of
// its own (PainterControl) has that image shown as its face: the peer makes no surface of its
// own, so the picture is held once, not twice, and the drawing sizes the image itself.
#include <functional>
#include <memory>

#include "platform/canvas.h"
#include "ui/component.h"

namespace ui {

class PaintControl : public Control {
public:
    Kind kind() const override { return Kind::PaintBox; }

    platform::Canvas* surface() const { return peer() != nullptr ? peer()->surface() : nullptr; }
    // Draws the whole face onto the surface, then tells the peer (Change::Paint). Nothing
    // happens without a surface.
    void paint();
    // Draws the face of a plain paint control.
    std::function<void(platform::Canvas& surface)> onPaint;
    // The image the peer shows as the face instead of a surface of its own; null: the peer
    // keeps a surface at the control's size.
    virtual platform::Canvas* ownImage() { return nullptr; }

protected:
    // Draws the face; by default runs onPaint.
    virtual void draw(platform::Canvas& surface);
    // The control's size changed (the surface has the new size already).
    virtual void resized() {}
    void peerCreated() override { paint(); }
    void boundsChanged(const Bounds& old) override;
    void rescale(int fromDpi, int toDpi, const Bounds& before) override;
    void rescaled() override { paint(); }
};

// A drawing that keeps its own off-screen image and copies it onto a surface, hosted by a
// PainterControl. The control layer knows nothing of what is drawn; the program's drawings
// (widgets/) implement this.
class Painter {
public:
    virtual ~Painter() = default;
    // The surface the image is copied onto (null: none), and what runs after each copy.
    virtual void setSurface(platform::Canvas* surface, std::function<void()> surfaceChanged) = 0;
    virtual void setSize(int width, int height) = 0;
    // The form's DPI changed (platform/display_scale.h): the control's new size, and the sizes
    // the drawing holds besides (a grid, a font) scaled by the same rule. By default only the
    // size.
    virtual void rescale(int /*fromDpi*/, int /*toDpi*/, int width, int height) { setSize(width, height); }
    // Copies the image onto the surface (drawing it again first where the drawing needs to);
    // where the surface is the image itself, only draws it again where needed.
    virtual void paint() = 0;
    // The off-screen image the drawing keeps (the one makePainter was given).
    virtual platform::Canvas& image() = 0;
};

// Hosts a Painter: the drawing is made once the control is on a form, over an image the
// backend makes at the control's size. That image is the control's face (ownImage), so the
// drawing's copy onto the surface is no copy at all.
class PainterControl : public PaintControl {
public:
    platform::Canvas* ownImage() override { return painter_ ? &painter_->image() : nullptr; }

protected:
    // Makes the hosted drawing over `image`; called when the control is placed on a form.
    virtual std::unique_ptr<Painter> makePainter(std::unique_ptr<platform::Canvas> image) = 0;

    void attached() override;
    void peerCreated() override;
    void peerDestroying() override;
    void draw(platform::Canvas& surface) override;
    void resized() override;
    void rescale(int fromDpi, int toDpi, const Bounds& before) override;

private:
    std::unique_ptr<Painter> painter_;
};

}  // namespace ui
