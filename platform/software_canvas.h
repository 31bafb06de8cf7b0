#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/text_renderer.h"

namespace platform {

// A canvas kept in memory as 32-bit pixels (0x00BBGGRR), drawn by portable code. Lines follow
// the Windows rules: one pixel wide, end point excluded; horizontal and vertical lines cover
// every pixel from the start up to the end, diagonal lines are Bresenham lines. A dotted pen
// draws three pixels in its colour and three in its gap colour, counted from the start of each
// line.
//
// Text has no glyphs here: every drawText call is kept in `texts`, so callers can check which
// texts the current picture holds, where and how they were drawn; with a text renderer the
// system draws it onto the pixels too, at its place among the other drawings.
class SoftwareCanvas : public Canvas {
public:
    struct TextCall {
        std::string text;
        Rect rect;
        uint32_t flags = 0;
        Font font;
    };

    // Coordinates given to moveTo and lineTo are held to this range (as Windows' own
    // drawing limits them), which keeps the line arithmetic exact.
    static constexpr int kCoordinateLimit = 1 << 27;

    SoftwareCanvas(int width, int height, TextRenderer* textRenderer = nullptr);

    int width() const override { return picture_.width; }
    int height() const override { return picture_.height; }
    // Takes the new size, clears every pixel to 0 and forgets the texts drawn.
    void resize(int width, int height) override;

    void fillRect(const Rect& rect, Color color) override;

    void setPen(Color color, PenStyle style, Color gapColor) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    // Copies a block of the size both rectangles share, taken from the source's top-left
    // corner, onto the destination's; overlapping blocks copy as memmove does. Pixels whose
    // source or destination lies outside the surface are skipped.
    void copyRect(const Rect& dest, const Rect& source) override;
    // Clipped to the target; throws std::invalid_argument when target is no SoftwareCanvas.
    void copyTo(Canvas& target, int x, int y) const override;

    // Throws what the text renderer throws.
    void drawText(const std::string& text, const Rect& rect, uint32_t flags, const Font& font) override;

    // Throws std::out_of_range outside the surface.
    Color pixel(int x, int y) const override;
    // Every pixel at once.
    const Picture& picture() const { return picture_; }

    // Every drawText call since the last resize, oldest first.
    std::vector<TextCall> texts;

private:
    void plot(long long x, long long y, Color color);

    TextRenderer* textRenderer_ = nullptr;  // none: text is only recorded
    Picture picture_;
    Color penColor_ = 0;
    PenStyle penStyle_ = PenStyle::Solid;
    Color gapColor_ = 0;
    int penX_ = 0;
    int penY_ = 0;
};

}  // namespace platform
