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
class PaintPeer : public WindowPeer {
public:
    PaintPeer(Win32UiBackend& backend, ui::Control& control)
        : WindowPeer(backend, control), surface_(control.width(), control.height()) {
        create(kPaintClass, 0, 0);
        finishCreation();
    }
    platform::Canvas* surface() override { return &surface_; }
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            const RECT& r = ps.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<HDC>(surface_.deviceContext()),
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
        surface_.resize(control_.width(), control_.height());
        WindowPeer::place();
    }
    void updateKind(Change what) override {
        if (what == Change::Paint) showFace();
    }

private:
    void showFace() {
        if (!IsWindowVisible(hwnd_)) return;  // WM_PAINT shows it once the window shows
        HDC dc = GetDC(hwnd_);
        if (dc == nullptr) {
            InvalidateRect(hwnd_, nullptr, FALSE);
            return;
        }
        BitBlt(dc, 0, 0, surface_.width(), surface_.height(), static_cast<HDC>(surface_.deviceContext()), 0, 0,
               SRCCOPY);
        ReleaseDC(hwnd_, dc);
    }

    GdiCanvas surface_;
};

}  // namespace

std::unique_ptr<ui::Peer> makePaintPeer(Win32UiBackend& backend, ui::Control& control) {
    return std::make_unique<PaintPeer>(backend, control);
}

}  // namespace win32::ui_peers
