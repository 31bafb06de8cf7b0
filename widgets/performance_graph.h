#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/canvas.h"
#include "platform/display_scale.h"

namespace widgets {

enum TGraphKind { pgBar = 0, pgLine = 1 };

// A strip chart scrolling from right to left. Each Update moves the picture one step left and
// draws the column of points gathered with DataPoint since the previous Update at the right
// edge. A column holds up to 16 points (colour, value), so several series can share the graph.
//
// Everything is drawn into the off-screen image; Paint only copies it onto the control's
// surface. The control keeps a ring of columns large enough to redraw the whole visible
// picture (Replay) after a resize or a property change. The scale follows the data: after each
// Update it is the largest value held in the ring, rounded up to a multiple of Gradient.
//
// Every property setter does nothing when given the value already held; otherwise it stores
// the value and redraws everything. "Repainting the control" means Paint when a surface is set.
class TPerformanceGraph {
public:
    static constexpr int kMaxPoints = 16;

    struct Column {
        int32_t count = 0;
        std::array<platform::Color, kMaxPoints> colors{};
        std::array<int32_t, kMaxPoints> values{};
    };

    using NotifyEvent = std::function<void(TPerformanceGraph& sender)>;

    // The graph draws into image, which it owns (a GDI canvas on Windows, a software canvas in
    // tests). Constructed 100 x 100 with an empty history and a fresh background.
    explicit TPerformanceGraph(std::unique_ptr<platform::Canvas> image);
    TPerformanceGraph(const TPerformanceGraph&) = delete;
    TPerformanceGraph& operator=(const TPerformanceGraph&) = delete;

    // Appends a point to the column being gathered. A 17th point throws std::out_of_range
    // with an empty message and is not stored.
    void DataPoint(platform::Color color, int32_t value);
    // Completes the column being gathered, scrolls the picture and shows the column.
    void Update();
    // Copies the image onto the surface, rebuilding it first when the control's size changed.
    void Paint();
    // Full redraw of the image from the history, then a repaint.
    void Replay();
    // While drawing is held (the window showing the graph is hidden), Update keeps the
    // history, the scale and the grid's place but draws and repaints nothing. Letting go draws
    // the steps taken meanwhile, as many as still show, and repaints once: the picture is then
    // exactly the one drawn step by step. Paint also draws the steps owed first.
    void HoldDrawing(bool held);
    bool DrawingHeld() const { return held_; }

    // The control's size. A new size is noticed by the next Paint (which a set surface gets
    // at once).
    void setSize(int width, int height);
    // The display's DPI changed (platform/display_scale.h): the new size, and the grid and the
    // step scaled by the same rule, so the picture looks as it did; the history is re-laid once
    // for both, keeping every column it shows.
    void Rescale(int fromDpi, int toDpi, int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    // The control's own surface that Paint copies the image onto at (0, 0); may be null, or
    // the image itself (then Paint only tells onSurfaceChanged).
    void setSurface(platform::Canvas* surface) { surface_ = surface; }
    // Runs after the image was copied onto the surface (the window showing it must redraw).
    std::function<void()> onSurfaceChanged;
    platform::Canvas* surface() const { return surface_; }
    const platform::Canvas& image() const { return *image_; }

    TGraphKind Kind() const { return kind_; }
    platform::Color ForeColor() const { return foreColor_; }
    platform::Color BackColor() const { return backColor_; }
    int32_t GridSize() const { return gridSize_; }
    int32_t StepSize() const { return stepSize_; }
    int32_t Scale() const { return scale_; }
    int32_t Gradient() const { return gradient_; }
    bool Gridlines() const { return gridlines_; }
    int32_t PenWidth() const { return penWidth_; }
    int32_t Baseline1Value() const { return baseline1Value_; }
    platform::Color Baseline1Color() const { return baseline1Color_; }
    int32_t Baseline2Value() const { return baseline2Value_; }
    platform::Color Baseline2Color() const { return baseline2Color_; }

    void SetGraphKind(TGraphKind value);
    void SetForeColor(platform::Color value);
    void SetBackColor(platform::Color value);
    // Values below 2 become 2.
    void SetGridSize(int32_t value);
    // Values below 1 become 1; the history is re-laid for the new column width.
    void SetStepSize(int32_t value);
    // Stores the value rounded up to a multiple of Gradient, then fires OnScaleChange.
    void SetScale(int32_t value);
    void SetGradient(int32_t value);
    void SetGridlines(bool value);
    // Only stored: every line in the image is one pixel wide.
    void SetPenWidth(int32_t value);
    void SetBaseLine1Value(int32_t value);
    void SetBaseLine1Color(platform::Color value);
    void SetBaseLine2Value(int32_t value);
    void SetBaseLine2Color(platform::Color value);

    // Fired when Scale takes a new value, before the redraw.
    NotifyEvent OnScaleChange;

    // The number of whole columns that fit in the control's width.
    int GetBandCount() const;
    // How far right of the image's right edge the next vertical grid line stands.
    int gridPhase() const { return gridPhase_; }
    // The history ring: its capacity, the column being gathered, the oldest column.
    int historyCapacity() const { return static_cast<int>(history_.size()); }
    int currentIndex() const { return current_; }
    int firstIndex() const { return first_; }
    const Column& column(int index) const { return history_.at(static_cast<size_t>(index)); }

private:
    void Initialize(int firstVerticalX);
    void ScrollGraph();
    void ShiftY();
    int FirstY() const { return first_; }
    int NextY(int index) const;
    int LastY(int index) const;
    void DisplayPoints(int index);
    void DisplayColumn(const Column& column, const Column& before);
    int NextGridPhase(int phase) const;
    void SettleMissedSteps();
    void DrawMissedSteps();
    void PaintBar(platform::Color color, long long base, long long delta);
    void PaintLine(platform::Color color, long long from, long long to);
    void ReallocHistory();
    int32_t RoundUp(long long value, long long multiple) const;
    void repaint();
    void drawBaseline(int32_t value, platform::Color color);
    int barHeight(long long value, int height) const;
    int lineHeight(long long value, int height) const;

    std::unique_ptr<platform::Canvas> image_;
    platform::Canvas* surface_ = nullptr;
    int width_ = 100;
    int height_ = 100;

    TGraphKind kind_ = pgLine;
    platform::Color foreColor_ = 0x008000;
    platform::Color backColor_ = 0x000000;
    int32_t gridSize_ = 15;
    int32_t stepSize_ = 3;
    platform::DesignScaled<int> designGridSize_, designStepSize_;  // as designed, for each change of DPI
    int32_t scale_ = 1000;
    int32_t gradient_ = 100;
    bool gridlines_ = true;
    int32_t penWidth_ = 2;
    int32_t baseline1Value_ = 0;
    platform::Color baseline1Color_ = 0xFFFFFF;
    int32_t baseline2Value_ = 0;
    platform::Color baseline2Color_ = 0x0000FF;

    platform::Rect scrollSource_;
    platform::Rect scrollDest_;
    platform::Rect strip_;
    int gridPhase_ = 0;

    std::vector<Column> history_;
    int current_ = 0;
    int first_ = 1;
    int historyWidth_ = 0;  // the control width the ring was laid out for

    bool held_ = false;
    int missedSteps_ = 0;  // steps taken while held whose scroll and column are not drawn yet
    Column dropped_;       // the column the last step dropped from the ring: the oldest one's predecessor
};

}  // namespace widgets
