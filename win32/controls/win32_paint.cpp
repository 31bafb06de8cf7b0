// Part of the Win32 backend of the control layer (ui_backend.h): custom-painted controls.
#include "win32/controls/win32_peers.h"

#include "win32/services/gdi_canvas.h"
#include "ui/paint_control.h"

namespace win32::ui_peers {

namespace {

// A custom-painted control: its face is a GDI back buffer copied to the window. A new face is
// copied at once through the window's device context, not through an invalidation and a later
// WM_PAINT: the graph's steps then cost one copy each and no round of paint messages (under Wine
// several requests to the server); WM_PAINT still shows the face when the window is uncovered.
// A control that keeps its picture in an image of its own (ui::PaintControl::ownImage, a
// GdiCanvas this backend made) is shown straight from that image, and its drawing keeps it at
// the control's size; the others get a back buffer of the peer's own.
class PaintPeer : public WindowPeer {
public:
    PaintPeer(Win32UiBackend& backend, ui::PaintControl& control)
        : WindowPeer(backend, control), paintControl_(control) {
        if (dynamic_cast<GdiCanvas*>(control.ownImage()) == nullptr)
            own_ = std::make_unique<GdiCanvas>(control.width(), control.height());
        create(kPaintClass, 0, 0);
        finishCreation();
    }
    platform::Canvas* surface() override { return face(); }
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            const RECT& r = ps.rcPaint;
            if (const GdiCanvas* shown = face())
                BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<HDC>(shown->deviceContext()),
                       r.left, r.top, SRCCOPY);
            EndPaint(hwnd_, &ps);
            result = 0;
            return true;
        }
        if (message == WM_ERASEBKGND) {
            result = 1;
            return true;
        }
        return WindowPeer::handle(message, wParam, lParam, result);
    }

protected:
    void place() override {
        if (own_) own_->resize(control_.width(), control_.height());
        WindowPeer::place();
    }
    void updateKind(Change what) override {
        if (what == Change::Paint) showFace();
    }

private:
    GdiCanvas* face() const {
        if (own_) return own_.get();
        return dynamic_cast<GdiCanvas*>(paintControl_.ownImage());
    }

    void showFace() {
        if (!IsWindowVisible(hwnd_)) return;  // WM_PAINT shows it once the window shows
        const GdiCanvas* shown = face();
        if (shown == nullptr) return;
        HDC dc = GetDC(hwnd_);
        if (dc == nullptr) {
            InvalidateRect(hwnd_, nullptr, FALSE);
            return;
        }
        BitBlt(dc, 0, 0, shown->width(), shown->height(), static_cast<HDC>(shown->deviceContext()), 0, 0, SRCCOPY);
        ReleaseDC(hwnd_, dc);
    }

    ui::PaintControl& paintControl_;
    std::unique_ptr<GdiCanvas> own_;  // null: the face is the control's own image
};

}  // namespace

std::unique_ptr<ui::Peer> makePaintPeer(Win32UiBackend& backend, ui::Control& control) {
    return std::make_unique<PaintPeer>(backend, static_cast<ui::PaintControl&>(control));
}

}  // namespace win32::ui_peers
