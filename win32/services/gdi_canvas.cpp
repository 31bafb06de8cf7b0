#include "win32/services/gdi_canvas.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "win32/services/wide_text.h"

namespace win32 {

namespace {
HDC asDc(void* dc) { return static_cast<HDC>(dc); }
}  // namespace

GdiCanvas::GdiCanvas(int width, int height) {
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) throw std::runtime_error("CreateCompatibleDC failed");
    setPen(0, platform::PenStyle::Solid, 0);
    makeBitmap(width, height);
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

void GdiCanvas::makeBitmap(int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width > 0 ? width : 1;  // a DIB cannot be empty
    info.bmiHeader.biHeight = -(height > 0 ? height : 1);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(asDc(dc_), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) throw std::runtime_error("CreateDIBSection failed");
    HGDIOBJ previous = SelectObject(asDc(dc_), bitmap);
    if (bitmap_ == nullptr) {
        oldBitmap_ = previous;
    } else {
        DeleteObject(static_cast<HGDIOBJ>(bitmap_));
    }
    bitmap_ = bitmap;
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

void GdiCanvas::resize(int width, int height) {
    if (width == width_ && height == height_) return;
    makeBitmap(width, height);
}

void GdiCanvas::fillRect(const platform::Rect& rect, platform::Color color) {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
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
    BitBlt(asDc(dc_), dest.left, dest.top, dest.width(), dest.height(), asDc(dc_), source.left, source.top, SRCCOPY);
}

void GdiCanvas::copyTo(platform::Canvas& target, int x, int y) const {
    auto* gdi = dynamic_cast<GdiCanvas*>(&target);
    if (gdi == nullptr) throw std::invalid_argument("a GDI canvas copies only onto another GDI canvas");
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
    if (picture.width != width_ || picture.height != height_) makeBitmap(picture.width, picture.height);
    GdiFlush();
    // Colours are kept with red in the low byte; the DIB holds blue there.
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const platform::Color c = picture.pixels[i];
        bits_[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
}

platform::Picture GdiCanvas::picture() const {
    platform::Picture out{width_, height_, {}};
    GdiFlush();
    const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    out.pixels.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t bgra = bits_[i];
        out.pixels.push_back(((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF));
    }
    return out;
}

platform::Color GdiCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    const uint32_t bgra = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    // The DIB holds blue in the low byte; colours are kept with red there.
    return ((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF);
}

}  // namespace win32
