#pragma once
// Controls that draw themselves. The surface is the control's face, provided by its peer
// while the form is realised (null before): what is drawn on it is what the user sees. The
// peer keeps it at the control's size, and asks for paint() whenever the system needs the
// face drawn again (the window was uncovered).
#include <functional>
#include <memory>

#include "platform/canvas.h"
#include "ui/control.h"
#include "widgets/gradient.h"
#include "widgets/performance_graph.h"

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

protected:
    // Draws the face; by default runs onPaint.
    virtual void draw(platform::Canvas& surface);
    // The control's size changed (the surface has the new size already).
    virtual void resized() {}
    void peerCreated() override { paint(); }
    void boundsChanged(const Bounds& old) override;
};

// Hosts the performance graph: the graph draws into its own image (made by the backend) and
// copies it onto the control's surface whenever it changes.
class PerformanceGraphControl : public PaintControl {
public:
    // Throws std::logic_error before the control is placed on a form.
    widgets::TPerformanceGraph& graph() const;

protected:
    void attached() override;
    void peerCreated() override;
    void peerDestroying() override;
    void draw(platform::Canvas& surface) override;
    void resized() override;

private:
    std::unique_ptr<widgets::TPerformanceGraph> graph_;
};

// Hosts the gradient bar in the same way.
class GradientControl : public PaintControl {
public:
    // Throws std::logic_error before the control is placed on a form.
    widgets::TGradient& gradient() const;

protected:
    void attached() override;
    void peerCreated() override;
    void peerDestroying() override;
    void draw(platform::Canvas& surface) override;
    void resized() override;

private:
    std::unique_ptr<widgets::TGradient> gradient_;
};

}  // namespace ui
