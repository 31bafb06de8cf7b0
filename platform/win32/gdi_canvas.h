#pragma once
#include <cstdint>

#include "platform/canvas.h"

namespace platform::win32 {

// A canvas drawn by GDI into a memory device context over a 32-bit top-down DIB section, so
// the picture can be copied to a window and its pixels read back.
class GdiCanvas : public Canvas {
public:
    GdiCanvas(int width, int height);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void resize(int width, int height) override;
    void fillRect(const Rect& rect, Color color) override;
    void setPen(Color color, PenStyle style, Color gapColor) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void copyRect(const Rect& dest, const Rect& source) override;
    void copyTo(Canvas& target, int x, int y) const override;
    void drawText(const std::string& text, const Rect& rect, uint32_t flags, const Font& font) override;
    Color pixel(int x, int y) const override;

    // The memory device context (an HDC), for copying the picture to a window.
    void* deviceContext() const { return dc_; }

private:
    void makeBitmap(int width, int height);

    void* dc_ = nullptr;         // HDC
    void* bitmap_ = nullptr;     // HBITMAP selected into dc_
    void* oldBitmap_ = nullptr;  // HGDIOBJ
    void* pen_ = nullptr;        // HPEN selected into dc_
    void* oldPen_ = nullptr;     // HGDIOBJ
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace platform::win32
