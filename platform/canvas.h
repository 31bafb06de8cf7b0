#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Colours are laid out 0x00BBGGRR: red in the low byte.
using Color = uint32_t;

// Rectangles exclude their right column and bottom row, as Windows' rectangles do.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// A picture kept in memory: width x height pixels, the top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;
    Color at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

enum class PenStyle {
    Solid,
    Dot,  // three pixels in the pen's colour, three in the gap colour, from the start of each line
};

struct Font {
    std::string face = "宋体";
    int height = -13;  // negative: character height in pixels, as a Windows font height
    bool bold = false;
    Color color = 0xFFFFFF;
    bool operator==(const Font& o) const {
        return face == o.face && height == o.height && bold == o.bold && color == o.color;
    }
};

// Text placement flags (Windows' DrawText values).
constexpr uint32_t kTextLeft = 0x00;
constexpr uint32_t kTextCenter = 0x01;
constexpr uint32_t kTextVCenter = 0x04;
constexpr uint32_t kTextSingleLine = 0x20;

// A drawing surface of 32-bit pixels. Every line is one pixel wide; a line excludes its end
// point. A dotted line paints its gaps too, as a GDI pen over an opaque background does, so a
// line redrawn over a scrolled picture stays dotted. Text is drawn with a transparent background.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    // New size; the contents are undefined afterwards, so callers redraw everything.
    virtual void resize(int width, int height) = 0;

    // Fills the rectangle, clipped to the surface.
    virtual void fillRect(const Rect& rect, Color color) = 0;

    // gapColor fills the gaps of a dotted line; a solid pen has none.
    virtual void setPen(Color color, PenStyle style, Color gapColor) = 0;
    virtual void moveTo(int x, int y) = 0;
    // Draws from the current position up to, not including, (x, y), which becomes current.
    virtual void lineTo(int x, int y) = 0;

    // Copies source onto dest (same size, same surface; the two may overlap).
    virtual void copyRect(const Rect& dest, const Rect& source) = 0;
    // Copies the whole surface onto target at (x, y). Both must be of the same kind.
    virtual void copyTo(Canvas& target, int x, int y) const = 0;

    virtual void drawText(const std::string& text, const Rect& rect, uint32_t flags, const Font& font) = 0;

    // For tests: the pixel at (x, y), 0x00BBGGRR.
    virtual Color pixel(int x, int y) const = 0;
};

}  // namespace platform
