#include "platform/software_canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace platform {

namespace {

int clampCoordinate(int v) {
    return std::clamp(v, -SoftwareCanvas::kCoordinateLimit, SoftwareCanvas::kCoordinateLimit);
}

}  // namespace

SoftwareCanvas::SoftwareCanvas(int width, int height, TextRenderer* textRenderer) : textRenderer_(textRenderer) {
    resize(width, height);
}

void SoftwareCanvas::resize(int width, int height) {
    picture_.width = std::max(width, 0);
    picture_.height = std::max(height, 0);
    picture_.pixels.assign(static_cast<size_t>(picture_.width) * static_cast<size_t>(picture_.height), 0);
    texts.clear();
}

void SoftwareCanvas::fillRect(const Rect& rect, Color color) {
    // An inverted rectangle is filled as GDI fills it: from its start point backwards, the
    // start included and the end excluded, so (5, 3, 3, 1) covers columns 4..5, rows 2..3.
    const int left = std::max(rect.left <= rect.right ? rect.left : rect.right + 1, 0);
    const int right = std::min(rect.left <= rect.right ? rect.right : rect.left + 1, picture_.width);
    const int top = std::max(rect.top <= rect.bottom ? rect.top : rect.bottom + 1, 0);
    const int bottom = std::min(rect.top <= rect.bottom ? rect.bottom : rect.top + 1, picture_.height);
    for (int y = top; y < bottom; ++y) {
        Color* row = picture_.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(picture_.width);
        std::fill(row + left, row + std::max(left, right), color);
    }
}

void SoftwareCanvas::setPen(Color color, PenStyle style, Color gapColor) {
    penColor_ = color;
    penStyle_ = style;
    gapColor_ = gapColor;
}

void SoftwareCanvas::moveTo(int x, int y) {
    penX_ = clampCoordinate(x);
    penY_ = clampCoordinate(y);
}

void SoftwareCanvas::plot(long long x, long long y, Color color) {
    if (x < 0 || y < 0 || x >= picture_.width || y >= picture_.height) return;
    picture_.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture_.width) + static_cast<size_t>(x)] = color;
}

void SoftwareCanvas::lineTo(int x, int y) {
    x = clampCoordinate(x);
    y = clampCoordinate(y);
    const long long x0 = penX_;
    const long long y0 = penY_;
    penX_ = x;
    penY_ = y;

    const long long dx = x - x0;
    const long long dy = y - y0;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    // One pixel per step along the longer axis; the end point itself is not drawn.
    const long long steps = std::max(adx, ady);
    if (steps == 0) return;

    const bool xMajor = adx >= ady;
    const long long majorStart = xMajor ? x0 : y0;
    const long long minorStart = xMajor ? y0 : x0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long minorLength = xMajor ? ady : adx;
    const long long majorSize = xMajor ? picture_.width : picture_.height;

    // Only the steps whose major coordinate lies on the surface can show.
    long long first = 0;
    long long last = steps;
    if (majorStep > 0) {
        first = std::max(first, -majorStart);
        last = std::min(last, majorSize - majorStart);
    } else {
        first = std::max(first, majorStart - majorSize + 1);
        last = std::min(last, majorStart + 1);
    }

    for (long long i = first; i < last; ++i) {
        const Color color = penStyle_ == PenStyle::Dot && i % 6 >= 3 ? gapColor_ : penColor_;
        // The minor coordinate nearest the ideal line (halves round away from the start):
        // the same pixels an error-term Bresenham loop visits.
        const long long offset = (2 * i * minorLength + steps) / (2 * steps);
        const long long major = majorStart + majorStep * i;
        const long long minor = minorStart + minorStep * offset;
        if (xMajor) {
            plot(major, minor, color);
        } else {
            plot(minor, major, color);
        }
    }
}

void SoftwareCanvas::copyRect(const Rect& dest, const Rect& source) {
    long long w = std::min(dest.width(), source.width());
    long long h = std::min(dest.height(), source.height());
    if (w <= 0 || h <= 0) return;
    long long dx = dest.left;
    long long dy = dest.top;
    long long sx = source.left;
    long long sy = source.top;

    // Clip both blocks to the surface, moving them together.
    const long long cutLeft = std::max({0LL, -dx, -sx});
    const long long cutTop = std::max({0LL, -dy, -sy});
    dx += cutLeft;
    sx += cutLeft;
    w -= cutLeft;
    dy += cutTop;
    sy += cutTop;
    h -= cutTop;
    w = std::min({w, picture_.width - dx, picture_.width - sx});
    h = std::min({h, picture_.height - dy, picture_.height - sy});
    if (w <= 0 || h <= 0) return;

    const auto rowStart = [this](long long x, long long y) {
        return picture_.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(picture_.width) + static_cast<size_t>(x);
    };
    const size_t bytes = static_cast<size_t>(w) * sizeof(Color);
    if (dy <= sy) {
        for (long long row = 0; row < h; ++row) std::memmove(rowStart(dx, dy + row), rowStart(sx, sy + row), bytes);
    } else {
        for (long long row = h - 1; row >= 0; --row) std::memmove(rowStart(dx, dy + row), rowStart(sx, sy + row), bytes);
    }
}

void SoftwareCanvas::copyTo(Canvas& target, int x, int y) const {
    auto* other = dynamic_cast<SoftwareCanvas*>(&target);
    if (other == nullptr) throw std::invalid_argument("SoftwareCanvas::copyTo: the target is no SoftwareCanvas");
    if (other == this) return;
    for (int row = 0; row < picture_.height; ++row) {
        const long long ty = static_cast<long long>(y) + row;
        if (ty < 0 || ty >= other->picture_.height) continue;
        for (int col = 0; col < picture_.width; ++col) {
            const long long tx = static_cast<long long>(x) + col;
            if (tx < 0 || tx >= other->picture_.width) continue;
            other->picture_.pixels[static_cast<size_t>(ty) * static_cast<size_t>(other->picture_.width) + static_cast<size_t>(tx)] =
                picture_.pixels[static_cast<size_t>(row) * static_cast<size_t>(picture_.width) + static_cast<size_t>(col)];
        }
    }
}

void SoftwareCanvas::drawText(const std::string& text, const Rect& rect, uint32_t flags, const Font& font) {
    texts.push_back(TextCall{text, rect, flags, font});
    if (textRenderer_ != nullptr) textRenderer_->drawText(picture_, text, rect, flags, font);
}

Color SoftwareCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= picture_.width || y >= picture_.height) throw std::out_of_range("SoftwareCanvas::pixel: outside the surface");
    return picture_.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture_.width) + static_cast<size_t>(x)];
}

}  // namespace platform
