// Part of the Win32 backend of the control layer (ui_backend.h): edits and hot-key boxes.
#include "win32/controls/win32_peers.h"

#include <cstdint>
#include <string>

#include "win32/services/wide_text.h"
#include "ui/controls.h"

namespace win32::ui_peers {

namespace {

class EditPeer : public WindowPeer {
public:
    EditPeer(Win32UiBackend& backend, ui::Edit& edit) : WindowPeer(backend, edit), edit_(edit) {
        create(L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE);
        appearance();
        finishCreation();
    }
    void command(WORD code) override {
        if (code != EN_CHANGE) return;
        const int length = GetWindowTextLengthW(hwnd_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(hwnd_, text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        edit_.userChanged(narrow(text));
    }

protected:
    void appearance() override {
        SendMessageW(hwnd_, EM_LIMITTEXT, static_cast<WPARAM>(edit_.maxLength()), 0);
        SendMessageW(hwnd_, EM_SETREADONLY, edit_.readOnly() ? TRUE : FALSE, 0);
    }
    void updateKind(Change what) override {
        if (what == Change::Selection) SendMessageW(hwnd_, EM_SETSEL, 0, -1);
    }

private:
    ui::Edit& edit_;
};


class HotKeyPeer : public WindowPeer {
public:
    HotKeyPeer(Win32UiBackend& backend, ui::HotKeyBox& box) : WindowPeer(backend, box), box_(box) {
        create(HOTKEY_CLASSW, 0, WS_EX_CLIENTEDGE);
        // The box's own rule: a plain or Shift-only key becomes Ctrl+Alt plus that key.
        SendMessageW(hwnd_, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        updateKind(Change::Shortcut);
        finishCreation();
    }
    void command(WORD code) override {
        if (code != EN_CHANGE) return;
        const auto value = static_cast<uint16_t>(SendMessageW(hwnd_, HKM_GETHOTKEY, 0, 0));
        box_.userChanged(ui::HotKeyBox::fromHotKeyControlValue(value));
    }

protected:
    void updateKind(Change what) override {
        if (what == Change::Shortcut)
            SendMessageW(hwnd_, HKM_SETHOTKEY, ui::HotKeyBox::toHotKeyControlValue(box_.shortcut()), 0);
    }

private:
    ui::HotKeyBox& box_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeEditPeer(Win32UiBackend& backend, ui::Edit& control) {
    return std::make_unique<EditPeer>(backend, control);
}

std::unique_ptr<ui::Peer> makeHotKeyPeer(Win32UiBackend& backend, ui::HotKeyBox& control) {
    return std::make_unique<HotKeyPeer>(backend, control);
}

}  // namespace win32::ui_peers
