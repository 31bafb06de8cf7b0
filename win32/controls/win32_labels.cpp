// Part of the Win32 backend of the control layer (ui_backend.h): labels, link labels and
// pictures (static windows).
#include "win32/controls/win32_peers.h"

#include <string>

#include "app/resource_names.h"
#include "win32/services/packed_bitmap.h"
#include "win32/services/wide_text.h"
#include "ui/controls.h"

namespace win32::ui_peers {

namespace {

class LabelPeer : public WindowPeer {
public:
    LabelPeer(Win32UiBackend& backend, ui::Label& label) : WindowPeer(backend, label), label_(label) {
        fitBounds();  // the window is made at its final size
        create(L"STATIC", kindStyle(), 0);  // beneath the other controls of its parent
        finishCreation();
    }
    void command(WORD code) override {
        if (code == STN_CLICKED) label_.userClicked();
    }

protected:
    DWORD kindStyle() const override {
        // Clipped by the controls above it, so it never paints over an edit placed in its blanks.
        DWORD style = SS_NOTIFY | WS_CLIPSIBLINGS;
        switch (label_.alignment()) {
        case ui::TextAlignment::Left: style |= label_.wordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
        case ui::TextAlignment::Right: style |= SS_RIGHT; break;
        case ui::TextAlignment::Center: style |= SS_CENTER; break;
        }
        return style;
    }
    DWORD kindStyleMask() const override { return SS_TYPEMASK | SS_NOTIFY | WS_CLIPSIBLINGS; }
    void showText() override {
        WindowPeer::showText();
        fit();
    }
    void appearance() override { fit(); }
    void fontChanged() override {
        if (control_.peer() != nullptr) fit();
    }

private:
    // An auto-sized label takes the size of its text.
    void fit() {
        if (fitBounds()) place();
    }
    // True when the label's bounds changed.
    bool fitBounds() {
        if (!label_.autoSize()) return false;
        const SIZE size = measure(widen(label_.text()), label_.wordWrap() ? label_.width() : 0);
        ui::Bounds b = label_.bounds();
        if (!label_.wordWrap()) b.width = size.cx;
        b.height = size.cy;
        if (b == label_.bounds()) return false;
        label_.boundsFromSystem(b);
        return true;
    }
    ui::Label& label_;
};


class PicturePeer : public WindowPeer {
public:
    // A hidden picture (a button's glyph kept for later) gets its window when it first shows.
    PicturePeer(Win32UiBackend& backend, ui::Picture& picture) : WindowPeer(backend, picture), picture_(picture) {
        if (picture.visible()) madeWindow();
    }
    HWND madeWindow() override {
        if (hwnd_ == nullptr) {
            create(L"STATIC", SS_ICON, 0);
            load();
            finishCreation();
        }
        return hwnd_;
    }
    ~PicturePeer() override { release(); }

protected:
    void showText() override {}
    void appearance() override {
        if (hwnd_ != nullptr) load();
    }

private:
    void release() {
        if (icon_ != nullptr) DestroyIcon(icon_);
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
        icon_ = nullptr;
        bitmap_ = nullptr;
    }
    void load() {
        const HANDLE oldIcon = icon_, oldBitmap = bitmap_;
        icon_ = nullptr;
        bitmap_ = nullptr;
        SIZE size{0, 0};
        DWORD type = SS_ICON;
        if (!picture_.picture().empty()) {
            // An icon at the size its 32 x 32 design takes at the form's DPI (the icon group
            // holds those sizes); a bitmap as its variant for that DPI.
            const int side = scaled(32);
            icon_ = static_cast<HICON>(
                LoadImageW(instance(), widen(picture_.picture()).c_str(), IMAGE_ICON, side, side, 0));
            if (icon_ != nullptr) {
                size = SIZE{side, side};
            } else {
                const app::resources::PictureChoice choice = app::resources::pictureFor(picture_.picture(), dpi());
                const std::wstring name = widen(choice.name);
                bitmap_ = static_cast<HBITMAP>(LoadImageW(instance(), name.c_str(), IMAGE_BITMAP, 0, 0, 0));
                // The larger pictures are kept packed (the splash).
                if (bitmap_ == nullptr) bitmap_ = loadPackedBitmap(instance(), name.c_str());
                if (bitmap_ != nullptr) {
                    BITMAP info;
                    GetObjectW(bitmap_, sizeof info, &info);
                    size = SIZE{info.bmWidth, info.bmHeight};
                    if (choice.drawnForDpi != dpi()) fitToDpi(choice.drawnForDpi, size);
                    type = SS_BITMAP;
                }
            }
        }
        DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
        style &= ~static_cast<DWORD>(SS_TYPEMASK | SS_CENTERIMAGE | SS_REALSIZECONTROL);
        style |= type | (picture_.center() ? SS_CENTERIMAGE : 0) | (picture_.stretch() ? SS_REALSIZECONTROL : 0);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
        if (icon_ != nullptr) SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_));
        else SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_));
        if (oldIcon != nullptr) DestroyIcon(static_cast<HICON>(oldIcon));
        if (oldBitmap != nullptr) DeleteObject(oldBitmap);
        if (picture_.autoSize() && size.cx > 0) {
            ui::Bounds b = picture_.bounds();
            b.width = size.cx;
            b.height = size.cy;
            picture_.boundsFromSystem(b);
        }
        place();
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    // A variant drawn for another DPI (a scale between those drawn) brought to the size the
    // picture takes at the form's DPI, smoothly. A picture with transparent pixels (a button's
    // glyph) keeps its own size: smoothing would blend the transparent colour into its edges.
    void fitToDpi(int drawnForDpi, SIZE& size) {
        const SIZE wanted{platform::scaledLength(size.cx, dpi(), drawnForDpi),
                          platform::scaledLength(size.cy, dpi(), drawnForDpi)};
        if (wanted.cx <= 0 || wanted.cy <= 0 || (wanted.cx == size.cx && wanted.cy == size.cy)) return;
        HDC screen = GetDC(nullptr);
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        HBITMAP fitted = CreateCompatibleBitmap(screen, wanted.cx, wanted.cy);
        HGDIOBJ oldFrom = SelectObject(from, bitmap_);
        const bool keyed = GetPixel(from, 0, size.cy - 1) == app::resources::kGlyphTransparentColour;
        if (!keyed && fitted != nullptr) {
            HGDIOBJ oldTo = SelectObject(to, fitted);
            SetStretchBltMode(to, HALFTONE);
            SetBrushOrgEx(to, 0, 0, nullptr);
            StretchBlt(to, 0, 0, wanted.cx, wanted.cy, from, 0, 0, size.cx, size.cy, SRCCOPY);
            SelectObject(to, oldTo);
        }
        SelectObject(from, oldFrom);
        DeleteDC(to);
        DeleteDC(from);
        ReleaseDC(nullptr, screen);
        if (keyed || fitted == nullptr) {
            if (fitted != nullptr) DeleteObject(fitted);
            return;
        }
        DeleteObject(bitmap_);
        bitmap_ = fitted;
        size = wanted;
    }

    ui::Picture& picture_;
    HICON icon_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

}  // namespace

std::unique_ptr<ui::Peer> makeLabelPeer(Win32UiBackend& backend, ui::Label& control) {
    return std::make_unique<LabelPeer>(backend, control);
}

std::unique_ptr<ui::Peer> makePicturePeer(Win32UiBackend& backend, ui::Picture& control) {
    return std::make_unique<PicturePeer>(backend, control);
}

}  // namespace win32::ui_peers
