#include "win32/services/gdi_canvas.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "win32/services/wide_text.h"

namespace win32 {

namespace {
HDC asDc(void* dc) { return static_cast<HDC>(dc); }
}  // namespace

GdiCanvas::GdiCanvas(int width, int height) {
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) throw std::runtime_error("CreateCompatibleDC failed");
    makeBitmap(width, height, 4);
    setPen(0, platform::PenStyle::Solid, 0);
}

GdiCanvas::~GdiCanvas() {
    HDC dc = asDc(dc_);
    SelectObject(dc, static_cast<HGDIOBJ>(oldPen_));
    if (oldFont_ != nullptr) SelectObject(dc, static_cast<HGDIOBJ>(oldFont_));
    SelectObject(dc, static_cast<HGDIOBJ>(oldBitmap_));
    for (const Pen& pen : pens_)
        if (pen.handle != nullptr) DeleteObject(static_cast<HGDIOBJ>(pen.handle));
    if (brush_ != nullptr) DeleteObject(static_cast<HGDIOBJ>(brush_));
    if (font_ != nullptr) DeleteObject(static_cast<HGDIOBJ>(font_));
    DeleteObject(static_cast<HGDIOBJ>(bitmap_));
    DeleteDC(dc);
}

namespace {

// The table entry of a colour (kept with red in the low byte; a table holds blue there).
RGBQUAD tableEntry(platform::Color color) {
    return RGBQUAD{static_cast<BYTE>((color >> 16) & 0xFF), static_cast<BYTE>((color >> 8) & 0xFF),
                   static_cast<BYTE>(color & 0xFF), 0};
}

// A 24-bit pixel holds blue, green and red, in that order.
void storeColor(unsigned char* pixel, platform::Color c) {
    pixel[0] = static_cast<unsigned char>((c >> 16) & 0xFF);
    pixel[1] = static_cast<unsigned char>((c >> 8) & 0xFF);
    pixel[2] = static_cast<unsigned char>(c & 0xFF);
}

struct IndexedBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

}  // namespace

void GdiCanvas::makeBitmap(int width, int height, int bitCount) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    IndexedBitmapInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width > 0 ? width : 1;  // a DIB cannot be empty
    info.header.biHeight = -(height > 0 ? height : 1);
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitCount);
    info.header.biCompression = BI_RGB;
    if (bitCount <= 8) {
        info.header.biClrUsed = 1u << bitCount;
        for (int i = 0; i < (1 << bitCount); ++i) info.colors[i] = tableEntry(colors_[i]);
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(asDc(dc_), reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    if (bitmap == nullptr) throw std::runtime_error("CreateDIBSection failed");
    HGDIOBJ previous = SelectObject(asDc(dc_), bitmap);
    if (bitmap_ == nullptr) {
        oldBitmap_ = previous;
    } else {
        DeleteObject(static_cast<HGDIOBJ>(bitmap_));
    }
    bitmap_ = bitmap;
    bits_ = static_cast<unsigned char*>(bits);
    // Rows of a DIB are padded to whole 32-bit words.
    stride_ = (info.header.biWidth * bitCount + 31) / 32 * 4;
    bitCount_ = bitCount;
    width_ = width;
    height_ = height;
}

void GdiCanvas::takeColor(platform::Color color) {
    if (bitCount_ > 8) return;
    color &= 0xFFFFFF;
    for (int i = 0; i < colorCount_; ++i)
        if (colors_[i] == color) return;
    if (colorCount_ == (1 << bitCount_)) {
        // A full table: 16 colours go on in a byte a pixel, 256 in 24 bits.
        changeDepth(bitCount_ == 4 ? 8 : 24);
        if (bitCount_ > 8) return;
    }
    colors_[colorCount_] = color;
    const RGBQUAD entry = tableEntry(color);
    // The selected pen and brush are matched to the table again as it changes; those made
    // before keep their colours, which stay in the table.
    if (SetDIBColorTable(asDc(dc_), static_cast<UINT>(colorCount_), 1, &entry) != 1) {
        changeDepth(24);
        return;
    }
    ++colorCount_;
}

void GdiCanvas::becomeTrueColor() {
    if (bitCount_ <= 8) changeDepth(24);
}

void GdiCanvas::changeDepth(int bitCount) {
    GdiFlush();
    const unsigned char* oldBits = bits_;
    const int oldStride = stride_;
    const int oldBitCount = bitCount_;
    HGDIOBJ oldBitmap = static_cast<HGDIOBJ>(bitmap_);
    // The old bitmap stays alive (makeBitmap deletes the one it replaces) until its pixels are
    // copied, so keep it out of makeBitmap's reach.
    bitmap_ = nullptr;
    HGDIOBJ contextOwn = oldBitmap_;
    try {
        makeBitmap(width_, height_, bitCount);
    } catch (...) {
        bitmap_ = oldBitmap;
        oldBitmap_ = contextOwn;
        throw;
    }
    oldBitmap_ = contextOwn;
    // Both tables list the same colours in the same order, so an index stays what it was.
    for (int y = 0; y < height_; ++y) {
        const unsigned char* from = oldBits + static_cast<size_t>(y) * static_cast<size_t>(oldStride);
        unsigned char* to = bits_ + static_cast<size_t>(y) * static_cast<size_t>(stride_);
        for (int x = 0; x < width_; ++x) {
            const int index = oldBitCount == 4 ? (from[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F : from[x];
            if (bitCount == 8) {
                to[x] = static_cast<unsigned char>(index);
            } else {
                storeColor(to + x * 3, colors_[index]);
            }
        }
    }
    DeleteObject(oldBitmap);
}

void GdiCanvas::resize(int width, int height) {
    if (width == width_ && height == height_) return;
    makeBitmap(width, height, bitCount_);
}

void GdiCanvas::fillRect(const platform::Rect& rect, platform::Color color) {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    takeColor(color);
    if (brush_ == nullptr || brushColor_ != color) {
        HBRUSH brush = CreateSolidBrush(color);
        if (brush == nullptr) throw std::runtime_error("CreateSolidBrush failed");
        if (brush_ != nullptr) DeleteObject(static_cast<HGDIOBJ>(brush_));
        brush_ = brush;
        brushColor_ = color;
    }
    FillRect(asDc(dc_), &r, static_cast<HBRUSH>(brush_));
}

void GdiCanvas::setPen(platform::Color color, platform::PenStyle style, platform::Color gapColor) {
    takeColor(color);
    takeColor(gapColor);
    // An opaque background paints the gaps of a dotted pen in the background colour.
    SetBkMode(asDc(dc_), OPAQUE);
    SetBkColor(asDc(dc_), gapColor);
    for (const Pen& pen : pens_) {
        if (pen.handle != nullptr && pen.color == color && pen.style == style) {
            SelectObject(asDc(dc_), static_cast<HGDIOBJ>(pen.handle));
            return;
        }
    }
    HPEN made = CreatePen(style == platform::PenStyle::Dot ? PS_DOT : PS_SOLID, 1, color);
    if (made == nullptr) throw std::runtime_error("CreatePen failed");
    HGDIOBJ previous = SelectObject(asDc(dc_), made);
    if (oldPen_ == nullptr) oldPen_ = previous;  // the context's own, put back at the end
    // The slot's old pen is not selected any more (the new one is), so it can go.
    Pen& slot = pens_[nextPen_];
    nextPen_ = (nextPen_ + 1) % kPens;
    if (slot.handle != nullptr) DeleteObject(static_cast<HGDIOBJ>(slot.handle));
    slot = Pen{color, style, made};
}

void GdiCanvas::moveTo(int x, int y) { MoveToEx(asDc(dc_), x, y, nullptr); }

void GdiCanvas::lineTo(int x, int y) { LineTo(asDc(dc_), x, y); }

void GdiCanvas::copyRect(const platform::Rect& dest, const platform::Rect& source) {
    const auto inside = [this](const platform::Rect& r) {
        return r.left >= 0 && r.top >= 0 && r.right <= width_ && r.bottom <= height_;
    };
    const int width = dest.width();
    const int height = dest.height();
    if (width <= 0 || height <= 0) return;
    if (!inside(dest) || !inside(source) || source.width() != width || source.height() != height) {
        // Partly outside: GDI clips it.
        BitBlt(asDc(dc_), dest.left, dest.top, width, height, asDc(dc_), source.left, source.top, SRCCOPY);
        return;
    }
    GdiFlush();
    // Moving down, the bottom row goes first, so that no row is overwritten before it is read.
    const bool down = dest.top > source.top;
    for (int i = 0; i < height; ++i) {
        const int row = down ? height - 1 - i : i;
        copyPixels(bits_ + static_cast<size_t>(dest.top + row) * static_cast<size_t>(stride_), dest.left,
                   bits_ + static_cast<size_t>(source.top + row) * static_cast<size_t>(stride_), source.left, width);
    }
}

void GdiCanvas::copyPixels(unsigned char* to, int toX, const unsigned char* from, int fromX, int count) {
    if (bitCount_ != 4) {
        const int bytes = bitCount_ / 8;
        std::memmove(to + toX * bytes, from + fromX * bytes, static_cast<size_t>(count) * static_cast<size_t>(bytes));
        return;
    }
    // Pixel k of the run is half-byte (first + k) of the copy: the high half of a byte is the
    // left pixel. The copy lets the source and the target share a row.
    const int firstByte = fromX / 2;
    rowCopy_.assign(from + firstByte, from + (fromX + count - 1) / 2 + 1);
    const unsigned char* run = rowCopy_.data();
    const int first = fromX % 2;
    const auto pixelOf = [run, first](int k) { const int n = first + k; return (run[n / 2] >> (n % 2 == 0 ? 4 : 0)) & 0x0F; };
    const auto put = [to](int x, int index) {
        unsigned char& b = to[x / 2];
        b = static_cast<unsigned char>(x % 2 == 0 ? (b & 0x0F) | (index << 4) : (b & 0xF0) | index);
    };
    int k = 0;
    if (toX % 2 == 1) put(toX, pixelOf(k++));
    // Whole target bytes: straight copies when both runs start on a byte, else each byte from
    // the low half of one source byte and the high half of the next.
    const int pairs = (count - k) / 2;
    unsigned char* out = to + (toX + k) / 2;
    const int n = first + k;
    if (n % 2 == 0) {
        std::memcpy(out, run + n / 2, static_cast<size_t>(pairs));
    } else {
        const unsigned char* in = run + n / 2;
        for (int j = 0; j < pairs; ++j) out[j] = static_cast<unsigned char>((in[j] << 4) | (in[j + 1] >> 4));
    }
    k += pairs * 2;
    if (k < count) put(toX + k, pixelOf(k));
}

void GdiCanvas::copyTo(platform::Canvas& target, int x, int y) const {
    auto* gdi = dynamic_cast<GdiCanvas*>(&target);
    if (gdi == nullptr) throw std::invalid_argument("a GDI canvas copies only onto another GDI canvas");
    // Copied onto another table, pixels would take the nearest colour there, not their own.
    gdi->becomeTrueColor();
    BitBlt(asDc(gdi->dc_), x, y, width_, height_, asDc(dc_), 0, 0, SRCCOPY);
}

void GdiCanvas::selectFont(const platform::Font& font) {
    HDC dc = asDc(dc_);
    platform::Font key = font;
    key.color = 0;
    if (font_ == nullptr || !(fontKey_ == key)) {
        HFONT handle = CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, widen(font.face).c_str());
        if (handle == nullptr) throw std::runtime_error("CreateFont failed");
        HGDIOBJ previous = SelectObject(dc, handle);
        if (font_ != nullptr) DeleteObject(static_cast<HGDIOBJ>(font_));
        else oldFont_ = previous;
        font_ = handle;
        fontKey_ = key;
    }
}

void GdiCanvas::drawText(const std::string& text, const platform::Rect& rect, uint32_t flags, const platform::Font& font) {
    becomeTrueColor();
    HDC dc = asDc(dc_);
    selectFont(font);
    SetTextColor(dc, font.color);
    // Text leaves its background alone; a dotted pen's gaps are painted again afterwards.
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    const std::wstring wide = widen(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, flags);
    SetBkMode(dc, oldMode);
}

int GdiCanvas::textWidth(const std::string& text, const platform::Font& font) {
    selectFont(font);
    const std::wstring wide = widen(text);
    SIZE extent{};
    GetTextExtentPoint32W(asDc(dc_), wide.c_str(), static_cast<int>(wide.size()), &extent);
    return static_cast<int>(extent.cx);
}

void GdiCanvas::setPicture(const platform::Picture& picture) {
    if (picture.pixels.size() != static_cast<size_t>(std::max(picture.width, 0)) * std::max(picture.height, 0))
        throw std::invalid_argument("GdiCanvas::setPicture: pixels and size disagree");
    // Every pixel is written: the old ones need not be kept.
    if (bitCount_ <= 8 || picture.width != width_ || picture.height != height_)
        makeBitmap(picture.width, picture.height, 24);
    GdiFlush();
    for (int y = 0; y < height_; ++y) {
        unsigned char* row = bits_ + static_cast<size_t>(y) * static_cast<size_t>(stride_);
        for (int x = 0; x < width_; ++x) storeColor(row + x * 3, picture.at(x, y));
    }
}

platform::Picture GdiCanvas::picture() const {
    platform::Picture out{width_, height_, {}};
    out.pixels.reserve(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    GdiFlush();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) out.pixels.push_back(storedPixel(x, y));
    return out;
}

platform::Color GdiCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    return storedPixel(x, y);
}

platform::Color GdiCanvas::storedPixel(int x, int y) const {
    const unsigned char* row = bits_ + static_cast<size_t>(y) * static_cast<size_t>(stride_);
    if (bitCount_ == 4) return colors_[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F];
    if (bitCount_ == 8) return colors_[row[x]];
    const unsigned char* pixel = row + x * 3;
    return static_cast<platform::Color>(pixel[2]) | static_cast<platform::Color>(pixel[1]) << 8 |
           static_cast<platform::Color>(pixel[0]) << 16;
}

}  // namespace win32
