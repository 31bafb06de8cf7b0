#include "win32/services/win32_text_renderer.h"

#include "win32/services/gdi_canvas.h"

namespace win32 {

int Win32TextRenderer::textWidth(const std::string& text, const platform::Font& font) {
    GdiCanvas canvas(1, 1);
    return canvas.textWidth(text, font);
}

void Win32TextRenderer::drawText(platform::Picture& picture, const std::string& text, const platform::Rect& rect, uint32_t flags,
                                 const platform::Font& font) {
    // The picture goes onto a GDI surface, takes the text there and comes back.
    GdiCanvas canvas(picture.width, picture.height);
    canvas.setPicture(picture);
    canvas.drawText(text, rect, flags, font);
    picture = canvas.picture();
}

}  // namespace win32
