// Part of the Win32 backend of the control layer (ui_backend.h): what every control's window
// shares: the peers by window, the window procedure of the program's own classes and the
// messages a parent passes on to its children's peers.
#include "win32/controls/win32_peers.h"

#include <stdexcept>
#include <unordered_map>

#include "ui/controls.h"
#include "ui/menu.h"

namespace win32::ui_peers {

// The peer of each of the program's windows. Kept in the process rather than as a window
// property: every message to a control's window looks its peer up, and under Wine reading a
// property is a round trip to the server.
std::unordered_map<HWND, WindowPeer*>& peers() {
    static std::unordered_map<HWND, WindowPeer*> map;
    return map;
}
WindowPeer* peerOf(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    const auto it = peers().find(hwnd);
    return it != peers().end() ? it->second : nullptr;
}
void bindPeer(HWND hwnd, WindowPeer* peer) { peers()[hwnd] = peer; }
void unbindPeer(HWND hwnd) { peers().erase(hwnd); }

bool WindowPeer::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND: {
        const WORD code = HIWORD(wParam);
        if (lParam != 0) {
            auto child = reinterpret_cast<HWND>(lParam);
            if (WindowPeer* peer = peerOf(child)) peer->command(code);
            else childCommand(child, code);
        } else if (code == 0 || code == 1) {
            if (ui::MenuItem* item = backend_.itemOfCommand(LOWORD(wParam))) item->userClicked();
        }
        result = 0;
        return true;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        WindowPeer* peer = peerOf(header->hwndFrom);
        return peer != nullptr && peer->notify(*header, result);
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (WindowPeer* peer = peerOf(reinterpret_cast<HWND>(lParam))) {
            peer->scrolled();
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        WindowPeer* peer = peerOf(reinterpret_cast<HWND>(lParam));
        result = (peer != nullptr ? peer : this)->colorChild(reinterpret_cast<HDC>(wParam));
        return true;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        WindowPeer* peer = peerOf(item->hwndItem);
        if (peer != nullptr && peer->drawItem(*item)) {
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush());
        result = 1;
        return true;
    }
    default: return false;
    }
}

LRESULT CALLBACK peerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        bindPeer(hwnd, static_cast<WindowPeer*>(create->lpCreateParams));
    }
    if (message >= 0xC000) {
        static const UINT publishNames = RegisterWindowMessageW(kPublishNamesMessage);
        if (message == publishNames) {
            namesWanted = true;
            for (const auto& entry : peers()) entry.second->publishName();
            return 1;
        }
    }
    WindowPeer* peer = peerOf(hwnd);
    if (message == WM_NCDESTROY) unbindPeer(hwnd);
    if (peer != nullptr) {
        LRESULT result = 0;
        bool handled = false;
        guarded([&] { handled = peer->handle(message, wParam, lParam, result); });
        if (handled) return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerClass(const wchar_t* name, HBRUSH background, HICON icon, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = peerWindowProc;
    wc.hInstance = instance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("RegisterClassEx failed");
}

// The control whose window (or an ancestor's) this is.
ui::Control* controlAt(HWND hwnd) {
    for (HWND h = hwnd; h != nullptr; h = GetParent(h))
        if (WindowPeer* peer = peerOf(h)) return &peer->control();
    return nullptr;
}

// Finds the first button of a form for which `pick` holds.
ui::Button* findButton(const ui::Control& container, bool (*pick)(const ui::Button&)) {
    for (const auto& child : container.children()) {
        if (child->kind() == Kind::Button && pick(static_cast<const ui::Button&>(*child)))
            return static_cast<ui::Button*>(child.get());
        if (ui::Button* found = findButton(*child, pick)) return found;
    }
    return nullptr;
}

}  // namespace win32::ui_peers
