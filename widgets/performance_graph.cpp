#include "widgets/performance_graph.h"

#include "platform/display_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace widgets {

using platform::Color;
using platform::PenStyle;
using platform::Rect;

namespace {

// Heights far outside the image (a Scale set below the data, until the next Update) are held
// to this much, which keeps every coordinate sum in range without changing what shows.
constexpr long double kHeightLimit = 1 << 28;

int truncatedHeight(long double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp(std::trunc(v), -kHeightLimit, kHeightLimit));
}

}  // namespace

TPerformanceGraph::TPerformanceGraph(std::unique_ptr<platform::Canvas> image) : image_(std::move(image)) {
    if (!image_) throw std::invalid_argument("TPerformanceGraph needs an image");
    history_.resize(static_cast<size_t>(GetBandCount()) + 2);
    historyWidth_ = width_;
    Initialize(gridSize_ - 1);
}

int TPerformanceGraph::GetBandCount() const {
    return width_ / stepSize_;
}

void TPerformanceGraph::setSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    repaint();
}

void TPerformanceGraph::Rescale(int fromDpi, int toDpi, int width, int height) {
    SettleMissedSteps();
    gridSize_ = designGridSize_.rescale(gridSize_, fromDpi, toDpi, [](int length, int to, int from) {
        return std::max(platform::scaledLength(length, to, from), 2);
    });
    stepSize_ = designStepSize_.rescale(stepSize_, fromDpi, toDpi, [](int length, int to, int from) {
        return std::max(platform::scaledLength(length, to, from), 1);
    });
    gridPhase_ = platform::scaledLength(gridPhase_, toDpi, fromDpi);
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    ReallocHistory();
    Replay();
}

void TPerformanceGraph::repaint() {
    if (surface_ != nullptr) Paint();
}

// ---- heights ----

// Bars: the whole computation in extended precision (30 of 100 at height 100 is 30).
int TPerformanceGraph::barHeight(long long value, int height) const {
    if (scale_ == 0) return 0;  // only a history without positive values has scale 0
    return truncatedHeight(static_cast<long double>(value) / scale_ * height);
}

// Lines: the quotient is rounded to double first (30 of 100 at height 100 is 29).
int TPerformanceGraph::lineHeight(long long value, int height) const {
    if (scale_ == 0) return 0;
    const double quotient = static_cast<double>(static_cast<long double>(value) / scale_);
    return truncatedHeight(static_cast<long double>(quotient) * height);
}

int32_t TPerformanceGraph::RoundUp(long long value, long long multiple) const {
    long long result = value;
    if (multiple != 0 && value % multiple != 0) result = (value / multiple + 1) * multiple;
    return static_cast<int32_t>(std::clamp<long long>(result, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
}

// ---- background and scrolling ----

void TPerformanceGraph::Initialize(int firstVerticalX) {
    image_->resize(width_, height_);
    const int w = width_;
    const int h = height_;
    image_->fillRect(Rect{0, 0, w, h}, backColor_);
    if (gridlines_) {
        image_->setPen(foreColor_, PenStyle::Solid, backColor_);
        for (long long y = gridSize_; y < h; y += gridSize_) {
            image_->moveTo(0, static_cast<int>(y));
            image_->lineTo(w, static_cast<int>(y));
        }
        long long x = firstVerticalX;
        for (; x < w; x += gridSize_) {
            image_->moveTo(static_cast<int>(x), 0);
            image_->lineTo(static_cast<int>(x), h);
        }
        gridPhase_ = static_cast<int>(x - w);
    }
    scrollSource_ = Rect{stepSize_, 0, w, h};
    scrollDest_ = Rect{0, 0, w - stepSize_, h};
    strip_ = Rect{w - stepSize_, 0, w, h};
}

void TPerformanceGraph::ScrollGraph() {
    const int w = image_->width();
    const int h = image_->height();
    image_->copyRect(scrollDest_, scrollSource_);
    image_->fillRect(strip_, backColor_);
    if (!gridlines_) return;

    image_->setPen(foreColor_, PenStyle::Solid, backColor_);
    for (long long y = gridSize_; y < h; y += gridSize_) {
        image_->moveTo(strip_.left, static_cast<int>(y));
        image_->lineTo(strip_.right, static_cast<int>(y));
    }
    // The vertical lines that scrolled into the strip: one at most while a step is no wider
    // than the grid, every one of them when it is wider (so the phase stays in range).
    long long phase = static_cast<long long>(gridPhase_) - stepSize_;
    while (phase < 0) {
        const long long x = w + phase;
        if (x < 0) {
            phase += (-x + gridSize_ - 1) / gridSize_ * gridSize_;
            continue;
        }
        image_->moveTo(static_cast<int>(x), 0);
        image_->lineTo(static_cast<int>(x), h);
        phase += gridSize_;
    }
    gridPhase_ = static_cast<int>(phase);
}

// The grid's phase after one more scroll, as ScrollGraph moves it, for a step not drawn.
int TPerformanceGraph::NextGridPhase(int phase) const {
    if (!gridlines_) return phase;
    const long long w = image_->width();
    long long next = static_cast<long long>(phase) - stepSize_;
    while (next < 0) {
        const long long x = w + next;
        next += x < 0 ? (-x + gridSize_ - 1) / gridSize_ * gridSize_ : gridSize_;
    }
    return static_cast<int>(next);
}

// ---- the history ring ----

int TPerformanceGraph::NextY(int index) const {
    int next = index + 1;
    if (next == historyCapacity()) next = 0;
    return next == first_ ? -1 : next;
}

int TPerformanceGraph::LastY(int index) const {
    return index == 0 ? historyCapacity() - 1 : index - 1;
}

void TPerformanceGraph::ShiftY() {
    const int capacity = historyCapacity();
    int next = current_ + 1;
    if (next == capacity) next = 0;
    // The oldest column gives its place to the next one; a catch-up after a hold may still
    // draw the column after it, whose line starts where this one ended.
    dropped_ = history_[static_cast<size_t>(next)];
    history_[static_cast<size_t>(next)].count = 0;
    first_ = next + 1;
    if (first_ == capacity) first_ = 0;
    current_ = next;
}

void TPerformanceGraph::ReallocHistory() {
    SettleMissedSteps();
    historyWidth_ = width_;
    const int bands = GetBandCount();
    // Narrower than one column: nothing can be shown, so the history stays as it is for the
    // moment the control is wide enough again.
    if (bands == 0) return;

    const int oldCapacity = historyCapacity();
    const int newCapacity = bands + 2;
    std::vector<Column> ring(static_cast<size_t>(newCapacity));
    int skip = std::max(0, oldCapacity - newCapacity);  // the oldest columns that no longer fit
    int copied = 0;
    for (int i = FirstY(); i != -1; i = NextY(i)) {
        if (skip > 0) {
            --skip;
            continue;
        }
        ring[static_cast<size_t>(copied++)] = history_[static_cast<size_t>(i)];
    }
    history_ = std::move(ring);
    current_ = copied - 1;
    // The oldest column is the one after the current: after widening that is the first of
    // the new empty columns, so the old history stays at the right edge of the picture.
    first_ = copied % newCapacity;
}

// ---- drawing columns ----

void TPerformanceGraph::DisplayPoints(int index) {
    DisplayColumn(history_[static_cast<size_t>(index)], history_[static_cast<size_t>(LastY(index))]);
}

void TPerformanceGraph::DisplayColumn(const Column& column, const Column& before) {
    long long previous = 0;
    for (int k = 0; k < column.count; ++k) {
        const int32_t value = column.values[static_cast<size_t>(k)];
        if (value == 0) continue;
        const Color color = column.colors[static_cast<size_t>(k)];
        if (kind_ == pgBar) {
            PaintBar(color, previous, value - previous);
        } else {
            // A line continues from this colour's point in the column before, or rises from
            // the bottom edge.
            long long from = 0;
            for (int j = 0; j < before.count; ++j) {
                if (before.colors[static_cast<size_t>(j)] == color) {
                    from = before.values[static_cast<size_t>(j)];
                    break;
                }
            }
            PaintLine(color, from, value);
        }
        previous = value;
    }
}

void TPerformanceGraph::PaintBar(Color color, long long base, long long delta) {
    if (delta == 0) return;
    const int h = image_->height();
    const int bandHeight = barHeight(delta, h);
    const int bottom = barHeight(base, h);
    if (bandHeight == 0) return;
    // One row taller than its height, so stacked bands share their boundary row.
    image_->fillRect(Rect{strip_.left, h - bottom - bandHeight - 1, strip_.right, h - bottom}, color);
}

void TPerformanceGraph::PaintLine(Color color, long long from, long long to) {
    const int h = image_->height();
    image_->setPen(color, PenStyle::Solid, backColor_);
    image_->moveTo(strip_.left, h - lineHeight(from, h));
    image_->lineTo(strip_.right, h - lineHeight(to, h));
    drawBaseline(baseline1Value_, baseline1Color_);
    drawBaseline(baseline2Value_, baseline2Color_);
}

// A dotted reference line across the control, over the data.
void TPerformanceGraph::drawBaseline(int32_t value, Color color) {
    const int y = height_ - lineHeight(value, height_);
    // The gaps take the background colour, so the line stays dotted over the scrolled picture.
    image_->setPen(color, PenStyle::Dot, backColor_);
    image_->moveTo(0, y);
    image_->lineTo(width_, y);
    image_->setPen(color, PenStyle::Solid, backColor_);
}

// ---- operations ----

void TPerformanceGraph::DataPoint(Color color, int32_t value) {
    Column& column = history_[static_cast<size_t>(current_)];
    if (column.count >= kMaxPoints) throw std::out_of_range("");
    column.colors[static_cast<size_t>(column.count)] = color;
    column.values[static_cast<size_t>(column.count)] = value;
    ++column.count;
}

void TPerformanceGraph::Update() {
    if (held_) {
        // The scroll is owed (a change of scale redraws everything all the same). Of the steps
        // owed, no more than the ring holds are ever drawn: the oldest beyond only moves the grid.
        if (missedSteps_ < historyCapacity() - 1) ++missedSteps_;
        else gridPhase_ = NextGridPhase(gridPhase_);
    } else {
        ScrollGraph();
    }
    ShiftY();

    long long highest = 0;
    for (const Column& column : history_) {
        for (int k = 0; k < column.count; ++k) highest = std::max<long long>(highest, column.values[static_cast<size_t>(k)]);
    }
    const int32_t scale = RoundUp(highest, gradient_);
    if (scale == scale_) {
        if (held_) return;
        if (image_->width() / stepSize_ > 0) DisplayPoints(LastY(current_));
        repaint();
    } else {
        SetScale(scale);
    }
}

// The steps taken while held, drawn now. A picture is wholly scrolled out after
// ceil(width / StepSize) steps, so only that many are drawn; the ring holds them (it holds
// GetBandCount() + 1 completed columns) and the column dropped last for the oldest one's line.
// The steps before them only move the grid's phase.
void TPerformanceGraph::DrawMissedSteps() {
    if (missedSteps_ == 0) return;
    const int w = image_->width();
    const int wholeScroll = w > 0 ? (w + stepSize_ - 1) / stepSize_ : 1;
    const int drawn = std::min({missedSteps_, wholeScroll, historyCapacity() - 1});
    for (int i = drawn; i < missedSteps_; ++i) gridPhase_ = NextGridPhase(gridPhase_);
    missedSteps_ = 0;
    int index = current_;
    for (int i = 0; i < drawn; ++i) index = LastY(index);
    for (int i = 0; i < drawn; ++i) {
        ScrollGraph();
        if (w / stepSize_ > 0) {
            const Column& before = index == first_ ? dropped_ : history_[static_cast<size_t>(LastY(index))];
            DisplayColumn(history_[static_cast<size_t>(index)], before);
        }
        index = NextY(index);
    }
}

// A full redraw or a new ring is coming: of the steps owed, only the grid's phase counts.
void TPerformanceGraph::SettleMissedSteps() {
    for (; missedSteps_ > 0; --missedSteps_) gridPhase_ = NextGridPhase(gridPhase_);
}

void TPerformanceGraph::HoldDrawing(bool held) {
    if (held == held_) return;
    held_ = held;
    if (held || missedSteps_ == 0) return;
    Paint();
}

void TPerformanceGraph::Replay() {
    SettleMissedSteps();
    if (width_ != historyWidth_) ReallocHistory();
    // Keep the vertical grid lines where they stood.
    Initialize(static_cast<int>((static_cast<long long>(width_) + gridPhase_) % gridSize_));
    const Rect saved = strip_;
    const int bands = GetBandCount();
    if (bands > 0) {
        // The oldest column is not drawn; the one still being gathered lands just right of
        // the image, the one completed last in the rightmost strip.
        int x = width_ % bands;
        for (int i = NextY(FirstY()); i != -1; i = NextY(i)) {
            strip_ = Rect{x, 0, x + stepSize_, height_};
            DisplayPoints(i);
            x += stepSize_;
        }
    }
    repaint();
    strip_ = saved;
}

void TPerformanceGraph::Paint() {
    if (image_->width() != width_ || image_->height() != height_) {
        Replay();  // re-lays the history first when the width changed, and repaints
        return;
    }
    DrawMissedSteps();
    if (surface_ != nullptr) {
        // A control whose face is the image itself (ui::PainterControl) needs no copy.
        if (surface_ != image_.get()) image_->copyTo(*surface_, 0, 0);
        if (onSurfaceChanged) onSurfaceChanged();
    }
}

// ---- properties ----

void TPerformanceGraph::SetGraphKind(TGraphKind value) {
    if (value == kind_) return;
    kind_ = value;
    Replay();
}

void TPerformanceGraph::SetForeColor(Color value) {
    if (value == foreColor_) return;
    foreColor_ = value;
    Replay();
}

void TPerformanceGraph::SetBackColor(Color value) {
    if (value == backColor_) return;
    backColor_ = value;
    Replay();
}

void TPerformanceGraph::SetGridSize(int32_t value) {
    value = std::max<int32_t>(value, 2);
    if (value == gridSize_) return;
    gridSize_ = value;
    Replay();
}

void TPerformanceGraph::SetStepSize(int32_t value) {
    value = std::max<int32_t>(value, 1);
    if (value == stepSize_) return;
    stepSize_ = value;
    ReallocHistory();
    Replay();
}

void TPerformanceGraph::SetScale(int32_t value) {
    const int32_t rounded = RoundUp(value, gradient_);
    if (rounded == scale_) return;
    scale_ = rounded;
    if (OnScaleChange) OnScaleChange(*this);
    Replay();
}

void TPerformanceGraph::SetGradient(int32_t value) {
    if (value == gradient_) return;
    gradient_ = value;
    Replay();
}

void TPerformanceGraph::SetGridlines(bool value) {
    if (value == gridlines_) return;
    gridlines_ = value;
    Replay();
}

void TPerformanceGraph::SetPenWidth(int32_t value) {
    if (value == penWidth_) return;
    penWidth_ = value;
    Replay();
}

void TPerformanceGraph::SetBaseLine1Value(int32_t value) {
    if (value == baseline1Value_) return;
    baseline1Value_ = value;
    Replay();
}

void TPerformanceGraph::SetBaseLine1Color(Color value) {
    if (value == baseline1Color_) return;
    baseline1Color_ = value;
    Replay();
}

void TPerformanceGraph::SetBaseLine2Value(int32_t value) {
    if (value == baseline2Value_) return;
    baseline2Value_ = value;
    Replay();
}

void TPerformanceGraph::SetBaseLine2Color(Color value) {
    if (value == baseline2Color_) return;
    baseline2Color_ = value;
    Replay();
}

}  // namespace widgets
