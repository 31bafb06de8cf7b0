// Part of the Win32 backend of the control layer (ui_backend.h): track bars.
#include "win32/controls/win32_peers.h"

#include "ui/controls.h"

namespace win32::ui_peers {

namespace {

class TrackBarPeer : public WindowPeer {
public:
    TrackBarPeer(Win32UiBackend& backend, ui::TrackBar& bar) : WindowPeer(backend, bar), bar_(bar) {
        create(TRACKBAR_CLASSW, kindStyle(), 0);
        appearance();
        updateKind(Change::Range);
        updateKind(Change::Position);
        finishCreation();
    }
    void scrolled() override { bar_.userChanged(static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0))); }

protected:
    DWORD kindStyle() const override {
        DWORD style = TBS_FIXEDLENGTH | TBS_ENABLESELRANGE;
        style |= bar_.orientation() == ui::Orientation::Vertical ? TBS_VERT : TBS_HORZ;
        switch (bar_.tickStyle()) {
        case ui::TickStyle::None: style |= TBS_NOTICKS; break;
        case ui::TickStyle::Auto: style |= TBS_AUTOTICKS; break;
        case ui::TickStyle::Manual: break;
        }
        switch (bar_.tickMarks()) {
        case ui::TickMarks::BottomRight: style |= TBS_BOTTOM; break;
        case ui::TickMarks::TopLeft: style |= TBS_TOP; break;
        case ui::TickMarks::Both: style |= TBS_BOTH; break;
        }
        return style;
    }
    DWORD kindStyleMask() const override {
        return TBS_FIXEDLENGTH | TBS_ENABLESELRANGE | TBS_VERT | TBS_HORZ | TBS_NOTICKS | TBS_AUTOTICKS | TBS_TOP |
               TBS_BOTTOM | TBS_BOTH;
    }
    void appearance() override {
        SendMessageW(hwnd_, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(bar_.thumbLength()), 0);
        updateKind(Change::Range);
    }
    void updateKind(Change what) override {
        if (what == Change::Range) {
            SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, bar_.min());
            SendMessageW(hwnd_, TBM_SETRANGEMAX, TRUE, bar_.max());
            SendMessageW(hwnd_, TBM_SETPAGESIZE, 0, bar_.pageSize());
            SendMessageW(hwnd_, TBM_SETLINESIZE, 0, bar_.lineSize());
            SendMessageW(hwnd_, TBM_SETTICFREQ, static_cast<WPARAM>(bar_.frequency()), 0);
            SendMessageW(hwnd_, TBM_SETSEL, TRUE, MAKELPARAM(bar_.selStart(), bar_.selEnd()));
            SendMessageW(hwnd_, TBM_SETPOS, TRUE, bar_.position());
        } else if (what == Change::Position) {
            SendMessageW(hwnd_, TBM_SETPOS, TRUE, bar_.position());
        }
    }

private:
    ui::TrackBar& bar_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeTrackBarPeer(Win32UiBackend& backend, ui::TrackBar& control) {
    return std::make_unique<TrackBarPeer>(backend, control);
}

}  // namespace win32::ui_peers
