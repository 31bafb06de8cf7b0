// Part of the Win32 backend of the control layer (ui_backend.h): drop-down lists.
#include "win32/controls/win32_peers.h"

#include "win32/services/wide_text.h"
#include "ui/controls.h"

namespace win32::ui_peers {

namespace {

class ComboBoxPeer : public WindowPeer {
public:
    ComboBoxPeer(Win32UiBackend& backend, ui::ComboBox& box) : WindowPeer(backend, box), box_(box) {
        create(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0);
        updateKind(Change::Items);
        finishCreation();
    }
    void command(WORD code) override {
        if (code == CBN_SELCHANGE) box_.userChanged(static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)));
    }

protected:
    // The window's height includes the dropped-down list.
    Bounds windowBounds() const override {
        Bounds b = control_.bounds();
        b.height += scaled(160);
        return b;
    }
    void updateKind(Change what) override {
        if (what == Change::Items) {
            SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
            for (const auto& item : box_.items())
                SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
        }
        if (what == Change::Items || what == Change::Selection)
            SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(box_.itemIndex()), 0);
    }

private:
    ui::ComboBox& box_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeComboBoxPeer(Win32UiBackend& backend, ui::ComboBox& control) {
    return std::make_unique<ComboBoxPeer>(backend, control);
}

}  // namespace win32::ui_peers
