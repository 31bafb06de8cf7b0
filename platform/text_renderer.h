#pragma once
#include <cstdint>
#include <string>

#include "platform/canvas.h"

namespace platform {

// Text measured and drawn as the system measures and draws it, for pictures painted in memory
// (the software canvas has no glyphs of its own).
class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // The width in pixels of the text in the font.
    virtual int textWidth(const std::string& text, const Font& font) = 0;
    // Draws the text onto the picture as Canvas::drawText draws it: in the font's colour, its
    // background left as it is, placed in the rectangle by the flags. Throws std::runtime_error
    // when the system has no resources to draw it.
    virtual void drawText(Picture& picture, const std::string& text, const Rect& rect, uint32_t flags,
                          const Font& font) = 0;
};

}  // namespace platform
