#pragma once
#include <cstdint>
#include <string>

#include "platform/text_renderer.h"

namespace platform::win32 {

// Text measured and drawn by GDI, in the fonts and with the calls the GDI canvas uses, so a
// picture painted in memory shows its text exactly as a window would.
class Win32TextRenderer : public TextRenderer {
public:
    int textWidth(const std::string& text, const Font& font) override;
    void drawText(Picture& picture, const std::string& text, const Rect& rect, uint32_t flags,
                  const Font& font) override;
};

}  // namespace platform::win32
