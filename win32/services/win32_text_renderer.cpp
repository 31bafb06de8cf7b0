#include "win32/services/win32_text_renderer.h"

#include "win32/services/gdi_canvas.h"

namespace platform::win32 {

int Win32TextRenderer::textWidth(const std::string& text, const Font& font) {
    GdiCanvas canvas(1, 1);
    return canvas.textWidth(text, font);
}

void Win32TextRenderer::drawText(Picture& picture, const std::string& text, const Rect& rect, uint32_t flags,
                                 const Font& font) {
    // The picture goes onto a GDI surface, takes the text there and comes back.
    GdiCanvas canvas(picture.width, picture.height);
    canvas.setPicture(picture);
    canvas.drawText(text, rect, flags, font);
    picture = canvas.picture();
}

}  // namespace platform::win32
