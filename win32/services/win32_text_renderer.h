#pragma once
#include <cstdint>
#include <string>

#include "platform/text_renderer.h"

namespace win32 {

// Text measured and drawn by GDI, in the fonts and with the calls the GDI canvas uses, so a
// picture painted in memory shows its text exactly as a window would.
class Win32TextRenderer : public platform::TextRenderer {
public:
    int textWidth(const std::string& text, const platform::Font& font) override;
    void drawText(platform::Picture& picture, const std::string& text, const platform::Rect& rect, uint32_t flags,
                  const platform::Font& font) override;
};

}  // namespace win32
