#pragma once
#include <cstdint>
#include <vector>

#include "platform/canvas.h"

namespace win32 {

// A canvas drawn by GDI into a memory device context over a top-down DIB section, so the
// picture can be copied to a window and its pixels read back. The pens, the brush and the font
// it draws with are made once and kept while they are used again (the graph draws every step
// with the same few), not made and deleted for every line, fill and text.
//
// A canvas drawn only with fills and pens (the graph) holds its pixels as indexes into a colour
// table, four bits each: the table takes each colour the moment the canvas is first asked to
// draw with it, so every pixel is drawn in a colour of the table, exactly, and shows as a
// 24-bit picture would. A 17th colour makes the indexes a byte each; text (smoothed edges in
// colours of its own), a whole picture copied in, a 257th colour, or being the target of
// another canvas's copy turn it into a 24-bit canvas for good, its pixels kept. 24 bits hold
// every colour GDI draws (the fourth byte of a 32-bit pixel would go unused).
//
// A copy within the canvas moves the rows' bytes itself: GDI moves 4-bit pixels one by one,
// which made scrolling the graph most of the cost of each of its steps.
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

    // The bits a pixel takes: 4 or 8 while the pixels index the colour table, else 24.
    int bitsPerPixel() const { return bitCount_; }

private:
    void makeBitmap(int width, int height, int bitCount);
    // Puts the colour into the colour table of an indexed canvas, first giving the pixels more
    // bits when the table is full.
    void takeColor(platform::Color color);
    void becomeTrueColor();
    // A new bitmap of the depth with the same pixels.
    void changeDepth(int bitCount);
    // The colour of a pixel inside the picture, with GDI's drawing already flushed.
    platform::Color storedPixel(int x, int y) const;
    // Copies count pixels of the row from at x = fromX onto the row to at x = toX (the two may
    // be the same row).
    void copyPixels(unsigned char* to, int toX, const unsigned char* from, int fromX, int count);
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
    // The pixels: rows of stride_ bytes, each pixel blue, green and red bytes or, at 4 and 8
    // bits, an index into colors_ (at 4, the left pixel of a byte in its high half).
    unsigned char* bits_ = nullptr;
    int stride_ = 0;
    int bitCount_ = 4;
    // The colour table of an indexed canvas, in the order the colours came; entry 0 is black,
    // the colour a new 24-bit picture starts in, and so is every entry not yet taken.
    platform::Color colors_[256] = {};
    int colorCount_ = 1;
    std::vector<unsigned char> rowCopy_;  // the source pixels of one row of a copy
    int width_ = 0;
    int height_ = 0;
};

}  // namespace win32
