#include "widgets/gradient.h"

#include "platform/display_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <utility>

namespace widgets {

using platform::Color;
using platform::Rect;

namespace {

int truncatedToInt(long double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp(std::trunc(v), static_cast<long double>(std::numeric_limits<int>::min()),
                                       static_cast<long double>(std::numeric_limits<int>::max())));
}

// trunc(position / upper x factor), the result rounded to single precision first. A range
// ending at 0 has no scale: it reads as level 0.
int scaledLevel(int32_t position, int32_t upper, int factor) {
    if (upper == 0) return 0;
    const float level = static_cast<float>(static_cast<long double>(position) / upper * factor);
    return truncatedToInt(level);
}

// A band's channel: trunc(i x step + start), kept to its low 8 bits.
uint32_t channel(int band, float step, int start) {
    const int value = truncatedToInt(static_cast<long double>(band) * step + start);
    return static_cast<uint32_t>(value) & 0xFFu;
}

}  // namespace

TGradient::TGradient(std::unique_ptr<platform::Canvas> image) : image_(std::move(image)) {
    if (!image_) throw std::invalid_argument("TGradient needs an image");
}

void TGradient::Paint() {
    if (position_ < lower_ || position_ > upper_) return;  // the control keeps what it showed

    const Rect client{0, 0, width_, height_};
    const int fillWidth = scaledLevel(position_, upper_, width_);
    image_->resize(width_, height_);
    DrawGradient(*image_, client, fillWidth);

    if (!text_.empty()) {
        const uint32_t align = centerText_ ? platform::kTextCenter : platform::kTextLeft;
        image_->drawText(text_, client, platform::kTextSingleLine | platform::kTextVCenter | align, font_);
    }
    if (showPercent_) {
        const int percent = scaledLevel(position_, upper_, 100);
        image_->drawText(std::to_string(percent) + "%", client,
                         platform::kTextSingleLine | platform::kTextCenter | platform::kTextVCenter, font_);
    }
    if (surface_ != nullptr) {
        // A control whose face is the image itself (ui::PainterControl) needs no copy.
        if (surface_ != image_.get()) image_->copyTo(*surface_, 0, 0);
        if (onSurfaceChanged) onSurfaceChanged();
    }
}

void TGradient::DrawGradient(platform::Canvas& image, const Rect& rect, int fillWidth) const {
    const int w = rect.width();
    image.fillRect(rect, backGround_);

    const int startR = static_cast<int>(startColor_ & 0xFF);
    const int startG = static_cast<int>((startColor_ >> 8) & 0xFF);
    const int startB = static_cast<int>((startColor_ >> 16) & 0xFF);
    const int deltaR = static_cast<int>(endColor_ & 0xFF) - startR;
    const int deltaG = static_cast<int>((endColor_ >> 8) & 0xFF) - startG;
    const int deltaB = static_cast<int>((endColor_ >> 16) & 0xFF) - startB;

    // One band per step of the channel that changes most, so neighbouring bands differ by at
    // most one in every channel.
    const int bands = std::max({std::abs(deltaR), std::abs(deltaG), std::abs(deltaB)});
    if (bands == 0) {
        // A single colour: drawn as one-pixel bands would be, up to and including column
        // fillWidth, and never less than the first column.
        const long long right = std::clamp<long long>(static_cast<long long>(fillWidth) + 1, 1, w);
        if (w > 0) {
            const Color solid = static_cast<Color>(startR + startG * 256 + startB * 65536);
            image.fillRect(Rect{rect.left, rect.top, rect.left + static_cast<int>(right), rect.bottom + 1}, solid);
        }
        return;
    }

    const float bandWidth = static_cast<float>(static_cast<long double>(w) / bands);
    const float stepR = static_cast<float>(static_cast<long double>(deltaR) / bands);
    const float stepG = static_cast<float>(static_cast<long double>(deltaG) / bands);
    const float stepB = static_cast<float>(static_cast<long double>(deltaB) / bands);

    for (int i = 0; i < bands; ++i) {
        const int left = truncatedToInt(static_cast<long double>(i) * bandWidth);
        const int right = truncatedToInt(static_cast<long double>(i + 1) * bandWidth);
        const Color color = channel(i, stepR, startR) + channel(i, stepG, startG) * 256 + channel(i, stepB, startB) * 65536;
        image.fillRect(Rect{rect.left + left, rect.top, rect.left + right, rect.bottom + 1}, color);
        // The band holding the fill width is drawn whole; the bar ends at its right edge.
        if (fillWidth < right) {
            image.fillRect(Rect{rect.left + right, rect.top, rect.right, rect.bottom}, backGround_);
            return;
        }
    }
}

void TGradient::repaint() {
    if (surface_ != nullptr) Paint();
}

void TGradient::setSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    repaint();
}

void TGradient::Rescale(int fromDpi, int toDpi, int width, int height) {
    font_.height = designFontHeight_.rescale(font_.height, fromDpi, toDpi, platform::kScaleLength);
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    repaint();
}

void TGradient::SetPosition(int32_t value) {
    if (value == position_) return;
    position_ = value;
    repaint();
}

void TGradient::SetText(const std::string& value) {
    if (value == text_) return;
    text_ = value;
    repaint();
}

void TGradient::SetBkGround(Color value) {
    if (value == backGround_) return;
    backGround_ = value;
    repaint();
}

void TGradient::SetStartColor(Color value) {
    if (value == startColor_) return;
    startColor_ = value;
    repaint();
}

void TGradient::SetEndColor(Color value) {
    if (value == endColor_) return;
    endColor_ = value;
    repaint();
}

void TGradient::SetShowPercent(bool value) {
    if (value == showPercent_) return;
    showPercent_ = value;
    repaint();
}

void TGradient::SetCenterText(bool value) {
    if (value == centerText_) return;
    centerText_ = value;
    repaint();
}

void TGradient::SetLower(int32_t value) {
    if (value == lower_) return;
    lower_ = value;
    repaint();
}

void TGradient::SetUpper(int32_t value) {
    if (value == upper_) return;
    upper_ = value;
    repaint();
}

void TGradient::SetFont(const platform::Font& value) {
    if (value == font_) return;
    font_ = value;
    repaint();
}

}  // namespace widgets
