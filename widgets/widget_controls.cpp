#include "widgets/widget_controls.h"

#include <functional>
#include <stdexcept>
#include <utility>

namespace widgets {

namespace {

// The graph and the gradient bar share the painter's shape: a surface and its change
// notice, a size and Paint.
template <class Drawing>
class DrawingPainter final : public ui::Painter {
public:
    explicit DrawingPainter(std::unique_ptr<platform::Canvas> image) : image_(image.get()), drawing(std::move(image)) {}

    void setSurface(platform::Canvas* surface, std::function<void()> surfaceChanged) override {
        drawing.setSurface(surface);
        drawing.onSurfaceChanged = std::move(surfaceChanged);
    }
    void setSize(int width, int height) override { drawing.setSize(width, height); }
    void rescale(int fromDpi, int toDpi, int width, int height) override {
        drawing.Rescale(fromDpi, toDpi, width, height);
    }
    void paint() override { drawing.Paint(); }
    platform::Canvas& image() override { return *image_; }

private:
    platform::Canvas* image_;  // owned by the drawing

public:
    Drawing drawing;
};

template <class Drawing>
std::unique_ptr<ui::Painter> makeDrawingPainter(std::unique_ptr<platform::Canvas> image, Drawing*& drawing) {
    auto painter = std::make_unique<DrawingPainter<Drawing>>(std::move(image));
    drawing = &painter->drawing;
    return painter;
}

}  // namespace

TPerformanceGraph& PerformanceGraphControl::graph() const {
    if (graph_ == nullptr) throw std::logic_error("the graph control is not on a form");
    return *graph_;
}

std::unique_ptr<ui::Painter> PerformanceGraphControl::makePainter(std::unique_ptr<platform::Canvas> image) {
    return makeDrawingPainter(std::move(image), graph_);
}

TGradient& GradientControl::gradient() const {
    if (gradient_ == nullptr) throw std::logic_error("the gradient control is not on a form");
    return *gradient_;
}

std::unique_ptr<ui::Painter> GradientControl::makePainter(std::unique_ptr<platform::Canvas> image) {
    return makeDrawingPainter(std::move(image), gradient_);
}

}  // namespace widgets
