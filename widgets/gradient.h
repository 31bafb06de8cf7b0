#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/display_scale.h"

namespace widgets {

// A level shown as a horizontal bar: a colour gradient running across the whole control from
// StartColor to EndColor, revealed from the left up to the current position; the rest shows
// the background. Optionally a caption and the percentage are drawn over it.
//
// Every property setter does nothing when given the value already held (texts compared byte
// for byte); otherwise it stores the value and repaints the control, which here means Paint
// when a surface is set. A position outside Lower ... Upper paints nothing at all.
class TGradient {
public:
    // The bar draws into image, which it owns. Constructed 100 x 15.
    explicit TGradient(std::unique_ptr<platform::Canvas> image);
    TGradient(const TGradient&) = delete;
    TGradient& operator=(const TGradient&) = delete;

    // Draws the whole control into the image and copies it onto the surface.
    void Paint();
    // Background plus the gradient bands up to the band holding column fillWidth.
    void DrawGradient(platform::Canvas& image, const platform::Rect& rect, int fillWidth) const;

    void setSize(int width, int height);
    // The display's DPI changed (platform/display_scale.h): the new size, and the font scaled
    // by the same rule. One repaint.
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

    platform::Color StartColor() const { return startColor_; }
    platform::Color EndColor() const { return endColor_; }
    platform::Color BackGround() const { return backGround_; }
    bool ShowPercent() const { return showPercent_; }
    bool CenterText() const { return centerText_; }
    int32_t Lower() const { return lower_; }
    int32_t Upper() const { return upper_; }
    int32_t CurrentPosition() const { return position_; }
    const std::string& Text() const { return text_; }
    const platform::Font& Font() const { return font_; }

    void SetPosition(int32_t value);
    void SetText(const std::string& value);
    void SetBkGround(platform::Color value);
    void SetStartColor(platform::Color value);
    void SetEndColor(platform::Color value);
    void SetShowPercent(bool value);
    void SetCenterText(bool value);
    void SetLower(int32_t value);
    void SetUpper(int32_t value);
    void SetFont(const platform::Font& value);

private:
    void repaint();

    std::unique_ptr<platform::Canvas> image_;
    platform::Canvas* surface_ = nullptr;
    int width_ = 100;
    int height_ = 15;

    platform::Color startColor_ = 0xFF0000;
    platform::Color endColor_ = 0x0000FF;
    platform::Color backGround_ = 0x000000;
    bool showPercent_ = true;
    bool centerText_ = false;
    int32_t lower_ = 0;
    int32_t upper_ = 100;
    int32_t position_ = 1;
    std::string text_;
    platform::Font font_;
    platform::DesignScaled<int> designFontHeight_;  // as designed, for each change of DPI
};

}  // namespace widgets
