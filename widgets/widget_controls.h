#pragma once
// The graph and the gradient bar as controls of the control layer: each hosts its drawing in a
// ui::PainterControl, which copies the drawing's image onto the control's face whenever it
// changes.
#include <memory>

#include "ui/paint_control.h"
#include "widgets/gradient.h"
#include "widgets/performance_graph.h"

namespace widgets {

class PerformanceGraphControl : public ui::PainterControl {
public:
    // Throws std::logic_error before the control is placed on a form.
    TPerformanceGraph& graph() const;

protected:
    std::unique_ptr<ui::Painter> makePainter(std::unique_ptr<platform::Canvas> image) override;

private:
    TPerformanceGraph* graph_ = nullptr;  // owned by the control's painter
};

class GradientControl : public ui::PainterControl {
public:
    // Throws std::logic_error before the control is placed on a form.
    TGradient& gradient() const;

protected:
    std::unique_ptr<ui::Painter> makePainter(std::unique_ptr<platform::Canvas> image) override;

private:
    TGradient* gradient_ = nullptr;  // owned by the control's painter
};

}  // namespace widgets
