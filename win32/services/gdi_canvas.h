#pragma once
#include <cstdint>

#include "platform/canvas.h"

namespace win32 {

// A canvas drawn by GDI into a memory device context over a 32-bit top-down DIB section, so
// the picture can be copied to a window and its pixels read back. The pens, the brush and the
// font it draws with are made once and kept while they are used again (the graph draws every
// step with the same few), not made and deleted for every line, fill and text.
class GdiCanvas : public platform::Canvas {
public:
    GdiCanvas(int width, int height);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void resize(int width, int height) override;
    void fillRect(const platform::Rect& rect, platform::Color color) override;
    void setPen(platform::Color color, platform::PenStyle style, platform::Color gapColor) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void copyRect(const platform::Rect& dest, const platform::Rect& source) override;
    void copyTo(platform::Canvas& target, int x, int y) const override;
    void drawText(const std::string& text, const platform::Rect& rect, uint32_t flags, const platform::Font& font) override;
    platform::Color pixel(int x, int y) const override;

    // The whole picture at once: copied in (the canvas takes its size) and read back.
    void setPicture(const platform::Picture& picture);
    platform::Picture picture() const;
    // The width in pixels of the text in the font, as drawText draws it.
    int textWidth(const std::string& text, const platform::Font& font);

    // The memory device context (an HDC), for copying the picture to a window.
    void* deviceContext() const { return dc_; }

private:
    void makeBitmap(int width, int height);
    void selectFont(const platform::Font& font);

    struct Pen {
        platform::Color color = 0;
        platform::PenStyle style = platform::PenStyle::Solid;
        void* handle = nullptr;  // HPEN
    };
    // Enough for the graph's grid, series and two dotted base lines with their solid pens.
    static constexpr int kPens = 8;

    void* dc_ = nullptr;         // HDC
    void* bitmap_ = nullptr;     // HBITMAP selected into dc_
    void* oldBitmap_ = nullptr;  // HGDIOBJ
    void* oldPen_ = nullptr;     // HGDIOBJ
    void* oldFont_ = nullptr;    // HGDIOBJ
    Pen pens_[kPens];
    int nextPen_ = 0;              // the slot a new pen takes (round robin)
    void* brush_ = nullptr;        // HBRUSH of brushColor_
    platform::Color brushColor_ = 0;
    void* font_ = nullptr;         // HFONT of fontKey_ (the colour is drawn, not part of it)
    platform::Font fontKey_;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace win32
