// Part of the Win32 backend of the control layer (ui_backend.h): buttons, flat buttons with
// pictures, check boxes.
#include "win32/controls/win32_peers.h"

#include <string>

#include "app/resource_names.h"
#include "win32/services/wide_text.h"
#include "ui/controls.h"

namespace win32::ui_peers {

namespace {

class ButtonPeer : public WindowPeer {
public:
    ButtonPeer(Win32UiBackend& backend, ui::Button& button) : WindowPeer(backend, button), button_(button) {
        create(L"BUTTON", kindStyle(), 0);
        finishCreation();
    }
    void command(WORD code) override {
        if (code == BN_CLICKED) button_.userClicked();
    }

protected:
    DWORD kindStyle() const override { return button_.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }
    DWORD kindStyleMask() const override { return BS_TYPEMASK; }

private:
    ui::Button& button_;
};

class FlatButtonPeer : public WindowPeer {
public:
    FlatButtonPeer(Win32UiBackend& backend, ui::FlatButton& button) : WindowPeer(backend, button), button_(button) {
        create(L"BUTTON", BS_OWNERDRAW, 0);
        loadGlyph();
        finishCreation();
    }
    ~FlatButtonPeer() override {
        if (glyph_ != nullptr) DeleteObject(glyph_);
    }
    void command(WORD code) override {
        if (code == BN_CLICKED) button_.userClicked();
    }
    bool drawItem(DRAWITEMSTRUCT& item) override {
        HDC dc = item.hDC;
        RECT r = item.rcItem;
        FillRect(dc, &r, brush());
        const bool pressed = (item.itemState & ODS_SELECTED) != 0;
        if (pressed) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (!button_.flat()) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        const std::wstring text = widen(button_.text());
        const SIZE textSize = measure(text, 0);
        const int gap = glyph_ != nullptr && !text.empty() ? scaled(4) : 0;
        const int glyphWidth = glyph_ != nullptr ? glyphSize_.cx : 0;
        const int total = glyphWidth + gap + textSize.cx;
        int x = r.left + (r.right - r.left - total) / 2 + (pressed ? 1 : 0);
        const int offset = pressed ? 1 : 0;
        if (glyph_ != nullptr) {
            drawTransparent(dc, x, r.top + (r.bottom - r.top - glyphSize_.cy) / 2 + offset);
            x += glyphWidth + gap;
        }
        if (!text.empty()) {
            RECT t{x, r.top + offset, r.right, r.bottom + offset};
            HGDIOBJ old = SelectObject(dc, font());
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, (item.itemState & ODS_DISABLED) != 0 ? GetSysColor(COLOR_GRAYTEXT)
                                                                   : resolve(button_.font().color));
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            SelectObject(dc, old);
        }
        return true;
    }
    HBITMAP glyph() const { return glyph_; }

protected:
    void appearance() override {
        loadGlyph();
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

private:
    void loadGlyph() {
        if (glyph_ != nullptr) DeleteObject(glyph_);
        glyph_ = nullptr;
        if (button_.glyph().empty()) return;
        // The glyph drawn for the form's DPI (never one stretched from a smaller size).
        const std::string name = app::resources::pictureFor(button_.glyph(), dpi()).name;
        glyph_ = static_cast<HBITMAP>(LoadImageW(instance(), widen(name).c_str(), IMAGE_BITMAP, 0, 0, 0));
        if (glyph_ == nullptr) return;
        BITMAP info;
        GetObjectW(glyph_, sizeof info, &info);
        glyphSize_ = SIZE{info.bmWidth, info.bmHeight};
    }
    // Draws the glyph with its magenta pixels left out.
    void drawTransparent(HDC dc, int x, int y) const {
        const int w = glyphSize_.cx, h = glyphSize_.cy;
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ oldSource = SelectObject(source, glyph_);
        HDC maskDc = CreateCompatibleDC(dc);
        HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
        HGDIOBJ oldMask = SelectObject(maskDc, mask);
        SetBkColor(source, app::resources::kGlyphTransparentColour);
        BitBlt(maskDc, 0, 0, w, h, source, 0, 0, SRCCOPY);  // white where transparent
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        BitBlt(dc, x, y, w, h, source, 0, 0, SRCINVERT);
        BitBlt(dc, x, y, w, h, maskDc, 0, 0, SRCAND);
        BitBlt(dc, x, y, w, h, source, 0, 0, SRCINVERT);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        SelectObject(maskDc, oldMask);
        DeleteObject(mask);
        DeleteDC(maskDc);
        SelectObject(source, oldSource);
        DeleteDC(source);
    }
    ui::FlatButton& button_;
    HBITMAP glyph_ = nullptr;
    SIZE glyphSize_{0, 0};
};

class CheckBoxPeer : public WindowPeer {
public:
    CheckBoxPeer(Win32UiBackend& backend, ui::CheckBox& box) : WindowPeer(backend, box), box_(box) {
        create(L"BUTTON", BS_AUTOCHECKBOX, 0);
        updateKind(Change::Checked);
        finishCreation();
    }
    void command(WORD code) override {
        if (code == BN_CLICKED) box_.userChanged(SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }

protected:
    void updateKind(Change what) override {
        if (what == Change::Checked)
            SendMessageW(hwnd_, BM_SETCHECK, box_.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    ui::CheckBox& box_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeButtonPeer(Win32UiBackend& backend, ui::Button& control) {
    return std::make_unique<ButtonPeer>(backend, control);
}

std::unique_ptr<ui::Peer> makeFlatButtonPeer(Win32UiBackend& backend, ui::FlatButton& control) {
    return std::make_unique<FlatButtonPeer>(backend, control);
}

std::unique_ptr<ui::Peer> makeCheckBoxPeer(Win32UiBackend& backend, ui::CheckBox& control) {
    return std::make_unique<CheckBoxPeer>(backend, control);
}

}  // namespace win32::ui_peers
