// Part of the Win32 backend of the control layer (ui_backend.h): status bars.
#include "win32/controls/win32_peers.h"

#include <string>

#include "win32/services/wide_text.h"
#include "ui/controls.h"

namespace win32::ui_peers {

namespace {

class StatusBarPeer : public WindowPeer {
public:
    StatusBarPeer(Win32UiBackend& backend, ui::StatusBar& bar) : WindowPeer(backend, bar), bar_(bar) {
        create(STATUSCLASSNAMEW, kindStyle() | CCS_NOPARENTALIGN | CCS_NORESIZE, 0);
        updateKind(Change::Items);
        finishCreation();
    }

protected:
    DWORD kindStyle() const override { return bar_.sizeGrip() ? SBARS_SIZEGRIP : 0; }
    DWORD kindStyleMask() const override { return SBARS_SIZEGRIP; }
    void showText() override {}
    void dpiChanged() override { updateKind(Change::Items); }
    void updateKind(Change what) override {
        if (what != Change::Items) return;
        const auto& panels = bar_.panels();
        std::vector<int> edges;
        int right = 0;
        for (size_t i = 0; i < panels.size(); ++i) {
            right += panels[i].width;
            edges.push_back(i + 1 == panels.size() ? -1 : right);  // the last panel takes the rest
        }
        if (edges.empty()) edges.push_back(-1);
        SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        for (size_t i = 0; i < panels.size(); ++i)
            SendMessageW(hwnd_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(widen(panels[i].text).c_str()));
    }

private:
    ui::StatusBar& bar_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeStatusBarPeer(Win32UiBackend& backend, ui::StatusBar& control) {
    return std::make_unique<StatusBarPeer>(backend, control);
}

}  // namespace win32::ui_peers
