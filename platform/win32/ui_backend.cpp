#include "platform/win32/ui_backend.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "app/resource_names.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/wide_text.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/paint_control.h"
#include "ui/timer.h"

namespace platform::win32 {

namespace {

using ui::Change;
using ui::Kind;

// The control's name as a global atom: lets tools outside the process (automation, the
// end-to-end tests) tell the program's windows apart.
constexpr wchar_t kNameProperty[] = L"QuilletName";
constexpr wchar_t kContainerClass[] = L"QuilletContainer";
constexpr wchar_t kPaintClass[] = L"QuilletPaintBox";
constexpr wchar_t kMessageClass[] = L"QuilletMessages";

Win32UiBackend* theBackend = nullptr;  // the focus hook's way back to the backend

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

COLORREF resolve(ui::Color color) {
    return ui::isSystemColor(color) ? GetSysColor(static_cast<int>(color & 0xFF)) : static_cast<COLORREF>(color);
}

// Runs `body`, reporting what it throws instead of letting it unwind into the system.
template <class F>
void guarded(F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        if (theBackend != nullptr) theBackend->reportError(e.what());
    } catch (...) {
        if (theBackend != nullptr) theBackend->reportError("未知错误。");
    }
}

HFONT createFont(const ui::Font& font) {
    return CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE,
                       font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, widen(font.face).c_str());
}

// ---------------------------------------------------------------------------------------
// Windows

class WindowPeer;

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

LRESULT CALLBACK peerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The peer of one control: owns its window, its font and its background brush.
class WindowPeer : public ui::Peer {
public:
    WindowPeer(Win32UiBackend& backend, ui::Control& control) : backend_(backend), control_(control) {}
    ~WindowPeer() override {
        if (hwnd_ != nullptr) {
            unbindPeer(hwnd_);
            if (const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(hwnd_, kNameProperty))))
                GlobalDeleteAtom(atom);
            DestroyWindow(hwnd_);
        }
        if (brush_ != nullptr) DeleteObject(brush_);
    }

    HWND hwnd() const { return hwnd_; }
    ui::Control& control() const { return control_; }

    void update(Change what) override {
        switch (what) {
        case Change::Text: showText(); break;
        case Change::Enabled: EnableWindow(hwnd_, control_.enabled() ? TRUE : FALSE); break;
        case Change::Visible: showVisible(); break;
        case Change::Bounds: place(); break;
        case Change::Font: applyFont(); break;
        case Change::Color:
            makeBrush();
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        case Change::TabOrder: reorderChildren(); break;
        case Change::Focus: SetFocus(hwnd_); break;
        case Change::Appearance:
            restyle();
            appearance();
            break;
        default: updateKind(what); break;
        }
    }

    // Notifications the control's parent received from it.
    virtual void command(WORD /*code*/) {}
    virtual bool notify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    virtual void scrolled() {}
    virtual bool drawItem(DRAWITEMSTRUCT& /*item*/) { return false; }
    // A WM_COMMAND from a child window that has no peer of its own (a radio group's buttons).
    virtual void childCommand(HWND /*child*/, WORD /*code*/) {}

    // Messages to windows of the program's own classes.
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HBRUSH brush() {
        if (brush_ == nullptr) makeBrush();
        return brush_;
    }
    LRESULT colorChild(HDC dc) {
        SetTextColor(dc, resolve(control_.font().color));
        SetBkColor(dc, resolve(control_.color()));
        return reinterpret_cast<LRESULT>(brush());
    }
    virtual bool visibleNow() const { return control_.visible(); }
    virtual void showVisible() {
        const bool shown = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != visibleNow()) ShowWindow(hwnd_, visibleNow() ? SW_SHOWNA : SW_HIDE);
    }

    // The window's parent: the nearest container's window.
    HWND parentWindow() const {
        return control_.parent() != nullptr ? static_cast<HWND>(Win32UiBackend::windowOf(*control_.parent()))
                                            : nullptr;
    }

protected:
    // Creates the window with the control's state; shows it when the control is visible.
    void create(const wchar_t* className, DWORD style, DWORD exStyle) {
        const Bounds b = windowBounds();
        // Made visible at once when it is to show: showing it afterwards costs several more
        // requests to the system (under Wine, to its server) for every control. Nothing is
        // painted before the font and place below are set: painting waits for the message loop.
        const DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (control_.tabStop() ? WS_TABSTOP : 0) |
                             (control_.enabled() ? 0 : WS_DISABLED) | (shownAtCreation() ? WS_VISIBLE : 0);
        static UINT nextId = 1000;
        hwnd_ = CreateWindowExW(exStyle, className, widen(control_.text()).c_str(), common | style, b.left, b.top,
                                b.width, b.height, parentWindow(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nextId++)),
                                instance(), this);
        if (hwnd_ == nullptr) throw std::runtime_error("CreateWindowEx failed for " + control_.name());
        bindPeer(hwnd_, this);
        publishName();
        // The Tab key walks the z-order: a new child goes right after the sibling before it in
        // tab order, above the labels, which lie beneath every other control (an edit may sit
        // in a label's blanks: "释放内存至     MB。").
        // A new child starts at the bottom; it is moved only when that is not its place.
        if (liesBeneath(control_)) {
            if (GetWindow(hwnd_, GW_HWNDNEXT) != nullptr)
                SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        } else {
            HWND before = windowBeforeInTabOrder();
            if (GetWindow(hwnd_, GW_HWNDPREV) != (before == HWND_TOP ? nullptr : before))
                SetWindowPos(hwnd_, before, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        applyFont();
    }
    void finishCreation() { showVisible(); }
    // visibleNow() before the peer is whole (a kind's override cannot run yet).
    bool shownAtCreation() const {
        if (!control_.visible()) return false;
        if (control_.kind() != Kind::TabSheet) return true;
        const auto& sheet = static_cast<const ui::TabSheet&>(control_);
        return sheet.pageControl().activePage() == &sheet;
    }
    void publishName() {
        if (control_.name().empty()) return;
        if (const ATOM atom = GlobalAddAtomW(widen(control_.name()).c_str()))
            SetPropW(hwnd_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
    }

    using Bounds = ui::Bounds;
    virtual Bounds windowBounds() const { return control_.bounds(); }
    virtual void place() {
        const Bounds b = windowBounds();
        SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    virtual void showText() { SetWindowTextW(hwnd_, widen(control_.text()).c_str()); }
    // The kind's style bits, for a change of appearance.
    virtual DWORD kindStyle() const { return 0; }
    virtual DWORD kindStyleMask() const { return 0; }
    virtual void appearance() {}
    virtual void updateKind(Change) {}
    virtual void fontChanged() {}

    void restyle() {
        const DWORD mask = kindStyleMask() | WS_TABSTOP;
        DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
        style = (style & ~mask) | ((kindStyle() | (control_.tabStop() ? WS_TABSTOP : 0)) & mask);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void applyFont() {
        font_ = static_cast<HFONT>(backend_.fontHandle(control_.font()));
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        fontChanged();
    }
    HFONT font() const { return font_; }

    void makeBrush() {
        if (brush_ != nullptr) DeleteObject(brush_);
        brush_ = CreateSolidBrush(resolve(control_.color()));
    }

    // The windowed children's windows in tab order (the z-order is the tab order).
    static bool liesBeneath(const ui::Control& control) {
        return control.kind() == Kind::Label || control.kind() == Kind::LinkLabel;
    }

    // The window of the realised sibling that comes last before this control in tab order
    // (ties by creation order); HWND_TOP when there is none.
    HWND windowBeforeInTabOrder() const {
        const ui::Control* parent = control_.parent();
        if (parent == nullptr) return HWND_TOP;
        HWND before = HWND_TOP;
        int bestOrder = -1;
        for (const auto& sibling : parent->children()) {
            if (sibling.get() == &control_) continue;
            HWND window = static_cast<HWND>(Win32UiBackend::windowOf(*sibling));
            if (window == nullptr || liesBeneath(*sibling) || sibling->tabOrder() > control_.tabOrder()) continue;
            if (sibling->tabOrder() >= bestOrder) {
                bestOrder = sibling->tabOrder();
                before = window;
            }
        }
        return before;
    }

    void reorderChildren() {
        std::vector<ui::Control*> windowed;
        for (const auto& child : control_.children())
            if (child->windowed() && !liesBeneath(*child)) windowed.push_back(child.get());
        std::stable_sort(windowed.begin(), windowed.end(),
                  [](const ui::Control* a, const ui::Control* b) { return a->tabOrder() < b->tabOrder(); });
        HWND after = HWND_TOP;
        for (ui::Control* child : windowed) {
            auto* window = static_cast<HWND>(Win32UiBackend::windowOf(*child));
            if (window == nullptr) continue;
            SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = window;
        }
    }

    // Measures text in the control's font: width and height of one line or of wrapped text.
    // Needs no window: a label is measured before its window is made.
    SIZE measure(const std::wstring& text, int wrapWidth) const {
        auto* dc = static_cast<HDC>(backend_.measuringContext());
        HGDIOBJ old = SelectObject(dc, static_cast<HFONT>(backend_.fontHandle(control_.font())));
        RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
        const std::wstring shown = text.empty() ? L" " : text;
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r,
                  DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        return SIZE{text.empty() ? 0 : r.right - r.left, r.bottom - r.top};
    }

    Win32UiBackend& backend_;
    ui::Control& control_;
    HWND hwnd_ = nullptr;

private:
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
};

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

// ---- forms ----

class FormPeer : public WindowPeer {
public:
    FormPeer(Win32UiBackend& backend, ui::Form& form) : WindowPeer(backend, form), form_(form) {
        const std::string className = form.className().empty() ? "T" + form.name() : form.className();
        backend.registerFormClass(className);
        const DWORD style = formStyle();
        const DWORD ex = formExStyle();
        if (form.position() == ui::FormPosition::DesktopCenter) {
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            RECT r = outer(form.bounds(), style, ex);
            ui::Bounds b = form.bounds();
            b.left = work.left + (work.right - work.left - (r.right - r.left)) / 2;
            b.top = work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2;
            form.boundsFromSystem(b);
        }
        const RECT r = outer(form.bounds(), style, ex);
        applying_ = true;
        hwnd_ = CreateWindowExW(ex, widen(className).c_str(), widen(form.text()).c_str(), style, form.left(), form.top(),
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance(), this);
        applying_ = false;
        if (hwnd_ == nullptr) throw std::runtime_error("CreateWindowEx failed for the form " + form.name());
        applyFont();
        if (!form.enabled()) EnableWindow(hwnd_, FALSE);
        finishCreation();
    }

    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
        case WM_CLOSE:
            form_.close();
            result = 0;
            return true;
        case WM_SIZE:
        case WM_MOVE:
            if (!applying_ && !form_.pushing() && !IsIconic(hwnd_)) {
                RECT window, client;
                GetWindowRect(hwnd_, &window);
                GetClientRect(hwnd_, &client);
                form_.boundsFromSystem(ui::Bounds{window.left, window.top, client.right, client.bottom});
            }
            return false;
        case WM_GETMINMAXINFO:
            if (form_.minClientWidth() > 0 || form_.minClientHeight() > 0) {
                ui::Bounds b{0, 0, form_.minClientWidth(), form_.minClientHeight()};
                const RECT r = outer(b, formStyle(), formExStyle());
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMinTrackSize.x = r.right - r.left;
                info->ptMinTrackSize.y = r.bottom - r.top;
                result = 0;
                return true;
            }
            return false;
        case WM_MENUSELECT:
            if (lParam != 0 && (HIWORD(wParam) & MF_POPUP) == 0) {
                if (ui::MenuItem* item = backend_.itemOfCommand(LOWORD(wParam))) form_.userPointedAt(*item);
            }
            return false;
        case WM_SETCURSOR: {
            auto over = reinterpret_cast<HWND>(wParam);
            ui::Control* control = controlAt(over);
            if (HIWORD(lParam) == WM_MOUSEMOVE) form_.userPointedAt(control == &form_ ? nullptr : control);
            if (backend_.busyCursor()) {
                SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
                result = TRUE;
                return true;
            }
            if (LOWORD(lParam) == HTCLIENT && control != nullptr && control->cursor() != ui::Cursor::Default) {
                SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(
                                                   control->cursor() == ui::Cursor::Hand ? IDC_HAND : IDC_WAIT)));
                result = TRUE;
                return true;
            }
            return false;
        }
        case WM_NEXTDLGCTL: {
            // Tab and Shift+Tab (the modal loop's IsDialogMessage asks for them this way, and only
            // a dialog's own window procedure would answer): the next or previous tab stop.
            HWND target = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                               : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0 ? TRUE : FALSE);
            if (target != nullptr) SetFocus(target);
            result = 0;
            return true;
        }
        case WM_COMMAND:
            // Enter and Escape in a dialog: its default and cancel buttons.
            if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                const bool ok = LOWORD(wParam) == IDOK;
                bool (*isDefault)(const ui::Button&) = [](const ui::Button& b) { return b.isDefault(); };
                bool (*isCancel)(const ui::Button&) = [](const ui::Button& b) { return b.cancel(); };
                ui::Button* button = findButton(form_, ok ? isDefault : isCancel);
                if (button != nullptr) button->userClicked();
                else if (!ok && form_.modal()) form_.close();  // Escape closes a dialog, not a window
                result = 0;
                return true;
            }
            return WindowPeer::handle(message, wParam, lParam, result) || offer(message, wParam, lParam, result);
        default: return WindowPeer::handle(message, wParam, lParam, result) || offer(message, wParam, lParam, result);
        }
    }

    // Any other message goes to the form's own handler.
    bool offer(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        intptr_t answer = 0;
        if (!form_.message(message, wParam, lParam, answer)) return false;
        result = answer;
        return true;
    }

    platform::Window window() const override { return reinterpret_cast<platform::Window>(hwnd_); }

    void attachMenu(HMENU menu) {
        SetMenu(hwnd_, menu);
        place();
    }
    // The items of the menu bar changed. A hidden window's bar is laid out once, when it shows,
    // not once for every item added while the window is being made.
    void menuBarChanged() {
        if (IsWindowVisible(hwnd_)) DrawMenuBar(hwnd_);
        else menuBarStale_ = true;
    }

protected:
    void place() override {
        const RECT r = outer(form_.bounds(), formStyle(), formExStyle());
        applying_ = true;
        SetWindowPos(hwnd_, nullptr, form_.left(), form_.top(), r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        applying_ = false;
    }
    void showVisible() override {
        if (form_.visible()) {
            if (menuBarStale_) DrawMenuBar(hwnd_);
            menuBarStale_ = false;
            backend_.watchFocus();
        }
        const bool shown = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != form_.visible()) ShowWindow(hwnd_, form_.visible() ? SW_SHOW : SW_HIDE);
    }
    void updateKind(Change what) override;
    DWORD kindStyle() const override { return formStyle(); }
    DWORD kindStyleMask() const override {
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    }
    void appearance() override {
        // The layered style belongs to the program's translucency, not to the form's state.
        const LONG_PTR layered = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED;
        SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>(formExStyle()) | layered);
        SetWindowPos(hwnd_, form_.stayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        place();
    }

private:
    DWORD formStyle() const {
        DWORD style = WS_CLIPCHILDREN | (form_.visible() ? WS_VISIBLE : 0);
        switch (form_.borderStyle()) {
        case ui::BorderStyle::Sizeable: style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME; break;
        case ui::BorderStyle::Dialog: style |= WS_POPUP | WS_CAPTION; break;
        case ui::BorderStyle::Single: style |= WS_OVERLAPPED | WS_CAPTION; break;
        case ui::BorderStyle::None: return style | WS_POPUP;
        }
        const ui::BorderIcons& icons = form_.borderIcons();
        if (icons.systemMenu) style |= WS_SYSMENU;
        // A dialog's title bar has only the close box.
        if (icons.systemMenu && icons.minimize && form_.borderStyle() != ui::BorderStyle::Dialog) style |= WS_MINIMIZEBOX;
        if (icons.systemMenu && icons.maximize && form_.borderStyle() != ui::BorderStyle::Dialog) style |= WS_MAXIMIZEBOX;
        return style;
    }
    DWORD formExStyle() const {
        DWORD ex = WS_EX_CONTROLPARENT;
        if (form_.borderStyle() == ui::BorderStyle::Dialog) ex |= WS_EX_DLGMODALFRAME;
        if (form_.stayOnTop()) ex |= WS_EX_TOPMOST;
        return ex;
    }
    RECT outer(const ui::Bounds& b, DWORD style, DWORD ex) const {
        RECT r{0, 0, b.width, b.height};
        const bool menu = hwnd_ != nullptr && GetMenu(hwnd_) != nullptr;
        AdjustWindowRectEx(&r, style & ~WS_VISIBLE, menu ? TRUE : FALSE, ex);
        return r;
    }

    ui::Form& form_;
    bool applying_ = false;
    bool menuBarStale_ = false;
};

// ---- menus ----

class MenuItemPeer;

class MenuPeerBase : public ui::Peer {
public:
    explicit MenuPeerBase(HMENU menu) : menu_(menu) {}
    HMENU menu() const { return menu_; }

protected:
    HMENU menu_;
};

MenuPeerBase* menuPeerOf(const ui::Component& component) { return dynamic_cast<MenuPeerBase*>(component.peer()); }

class MenuItemPeer : public MenuPeerBase {
public:
    MenuItemPeer(Win32UiBackend& backend, ui::MenuItem& item)
        : MenuPeerBase(CreatePopupMenu()), backend_(backend), item_(item), id_(backend.newCommandId(item)) {
        MenuPeerBase* parent = item.parent() != nullptr ? menuPeerOf(*item.parent()) : nullptr;
        parentMenu_ = parent != nullptr ? parent->menu() : nullptr;
        pending_ = this;
        rebuildChain(*item.parent());
        pending_ = nullptr;
    }
    ~MenuItemPeer() override {
        if (parentMenu_ != nullptr) {
            for (int i = GetMenuItemCount(parentMenu_) - 1; i >= 0; --i) {
                MENUITEMINFOW info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_ID | MIIM_SUBMENU;
                if (GetMenuItemInfoW(parentMenu_, static_cast<UINT>(i), TRUE, &info) &&
                    (info.hSubMenu == menu_ || (info.hSubMenu == nullptr && info.wID == id_)))
                    RemoveMenu(parentMenu_, static_cast<UINT>(i), MF_BYPOSITION);
            }
        }
        DestroyMenu(menu_);
        backend_.releaseCommandId(id_);
    }
    void update(Change what) override {
        if (what == Change::Hint) return;
        if (item_.parent() != nullptr) rebuildChain(*item_.parent());
    }
    UINT id() const { return id_; }

    // Fills the menu of `node` from its items, then the menus above it (an item that gained
    // its first item becomes a submenu); redraws the menu bar of a form showing it.
    static void rebuildChain(ui::MenuNode& node);

private:
    static MenuItemPeer* pending_;  // an item whose peer is being made (not yet its component's)
    Win32UiBackend& backend_;
    ui::MenuItem& item_;
    UINT id_;
    HMENU parentMenu_ = nullptr;

    friend void rebuild(ui::MenuNode& node, HMENU menu);
    friend MenuItemPeer* itemPeerOf(const ui::MenuItem& item);
};
MenuItemPeer* MenuItemPeer::pending_ = nullptr;

MenuItemPeer* itemPeerOf(const ui::MenuItem& item) {
    if (MenuItemPeer::pending_ != nullptr && &MenuItemPeer::pending_->item_ == &item) return MenuItemPeer::pending_;
    return dynamic_cast<MenuItemPeer*>(item.peer());
}

void rebuild(ui::MenuNode& node, HMENU menu) {
    while (GetMenuItemCount(menu) > 0) RemoveMenu(menu, 0, MF_BYPOSITION);
    int position = 0;
    int defaultPosition = -1;
    for (const auto& child : node.items()) {
        MenuItemPeer* peer = itemPeerOf(*child);
        if (peer == nullptr || !child->visible()) continue;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
        info.wID = peer->id();
        std::wstring text;
        if (child->separator()) {
            info.fType = MFT_SEPARATOR;
        } else {
            text = widen(child->caption());
            info.fMask |= MIIM_STRING;
            info.fType = MFT_STRING;
            info.dwTypeData = text.data();
            info.fState = (child->checked() ? MFS_CHECKED : 0) | (child->enabled() ? 0 : MFS_GRAYED) |
                          (child->isDefault() ? MFS_DEFAULT : 0);
            bool hasItems = false;
            for (const auto& grandchild : child->items())
                if (itemPeerOf(*grandchild) != nullptr) hasItems = true;
            if (hasItems) {
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = peer->menu();
            }
        }
        InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
        if (child->isDefault() && !child->separator()) defaultPosition = position;
        ++position;
    }
    SetMenuDefaultItem(menu, static_cast<UINT>(defaultPosition), TRUE);
}

MenuPeerBase* nodePeer(ui::MenuNode& node) {
    if (node.kind() == Kind::MenuItem) return itemPeerOf(static_cast<ui::MenuItem&>(node));
    return menuPeerOf(node);
}

void MenuItemPeer::rebuildChain(ui::MenuNode& start) {
    for (ui::MenuNode* node = &start; node != nullptr;) {
        MenuPeerBase* peer = nodePeer(*node);
        if (peer == nullptr) return;
        rebuild(*node, peer->menu());
        if (node->kind() != Kind::MenuItem) {
            if (node->kind() == Kind::MainMenu && node->form() != nullptr) {
                if (auto* form = dynamic_cast<FormPeer*>(node->form()->peer())) form->menuBarChanged();
            }
            return;
        }
        node = static_cast<ui::MenuItem*>(node)->parent();
    }
}

class MenuPeer : public MenuPeerBase {
public:
    explicit MenuPeer(bool bar) : MenuPeerBase(bar ? CreateMenu() : CreatePopupMenu()) {}
    ~MenuPeer() override {
        if (attachedTo_ != nullptr && IsWindow(attachedTo_) && GetMenu(attachedTo_) == menu_) SetMenu(attachedTo_, nullptr);
        DestroyMenu(menu_);
    }
    void update(Change) override {}
    void attachedTo(HWND window) { attachedTo_ = window; }

private:
    HWND attachedTo_ = nullptr;
};

void FormPeer::updateKind(Change what) {
    if (what == Change::Menu && form_.menu() != nullptr) {
        if (auto* peer = dynamic_cast<MenuPeer*>(form_.menu()->peer())) {
            peer->attachedTo(hwnd_);
            attachMenu(peer->menu());
        }
    }
}

// ---- timers ----

class TimerPeer : public ui::Peer {
public:
    TimerPeer(Win32UiBackend& backend, ui::Timer& timer) : backend_(backend), timer_(timer), id_(backend.newTimerId(timer)) {
        restart();
    }
    ~TimerPeer() override {
        KillTimer(messageHwnd(), id_);
        backend_.releaseTimerId(id_);
    }
    void update(Change what) override {
        if (what == Change::Timer) restart();
    }

private:
    HWND messageHwnd() const { return static_cast<HWND>(backend_.messageWindow()); }
    // Setting a running timer again replaces it: its count starts anew.
    void restart() {
        if (timer_.running()) SetTimer(messageHwnd(), id_, timer_.interval(), nullptr);
        else KillTimer(messageHwnd(), id_);
    }
    Win32UiBackend& backend_;
    ui::Timer& timer_;
    UINT id_;
};

// ---- containers drawn by the program: panels, group boxes, tab sheets, radio groups, bevels ----

void drawCaption(HDC dc, HFONT font, const ui::Control& control, RECT r, UINT format) {
    const std::wstring text = widen(control.text());
    if (text.empty()) return;
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, resolve(control.font().color));
    SetBkColor(dc, resolve(control.color()));
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(dc, old);
}

class ContainerPeer : public WindowPeer {
public:
    ContainerPeer(Win32UiBackend& backend, ui::Control& control) : WindowPeer(backend, control) {
        DWORD ex = WS_EX_CONTROLPARENT;
        if (control.kind() == Kind::Bevel) ex = WS_EX_TRANSPARENT;
        create(kContainerClass, WS_CLIPCHILDREN, ex);
    }
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            paint(dc);
            EndPaint(hwnd_, &ps);
            result = 0;
            return true;
        }
        if (control_.kind() == Kind::Bevel) {
            if (message == WM_NCHITTEST) {
                result = HTTRANSPARENT;
                return true;
            }
            if (message == WM_ERASEBKGND) {
                result = 1;
                return true;
            }
        }
        return WindowPeer::handle(message, wParam, lParam, result);
    }

protected:
    void showText() override { InvalidateRect(hwnd_, nullptr, TRUE); }
    void appearance() override { InvalidateRect(hwnd_, nullptr, TRUE); }
    void fontChanged() override { InvalidateRect(hwnd_, nullptr, TRUE); }

    int captionHeight(HDC dc) const {
        HGDIOBJ old = SelectObject(dc, font());
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        return tm.tmHeight;
    }

    void paintGroupFrame(HDC dc) {
        RECT r;
        GetClientRect(hwnd_, &r);
        const int h = captionHeight(dc);
        RECT frame{r.left, r.top + h / 2, r.right, r.bottom};
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        RECT text{r.left + 8, r.top, r.right - 8, r.top + h};
        const std::wstring caption = widen(control_.text());
        if (!caption.empty()) {
            const std::wstring padded = L" " + caption + L" ";
            HGDIOBJ old = SelectObject(dc, font());
            SetTextColor(dc, resolve(control_.font().color));
            SetBkColor(dc, resolve(control_.color()));
            SetBkMode(dc, OPAQUE);
            DrawTextW(dc, padded.c_str(), static_cast<int>(padded.size()), &text, DT_LEFT | DT_SINGLELINE | DT_TOP);
            SelectObject(dc, old);
        }
    }

    virtual void paint(HDC dc) {
        RECT r;
        GetClientRect(hwnd_, &r);
        switch (control_.kind()) {
        case Kind::Panel: {
            const auto& panel = static_cast<const ui::Panel&>(control_);
            if (panel.borderStyle() == ui::BorderLine::Single) {
                FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                InflateRect(&r, -1, -1);
            }
            auto bevel = [&](ui::BevelCut cut) {
                if (cut == ui::BevelCut::None) return;
                for (int i = 0; i < panel.bevelWidth(); ++i) {
                    DrawEdge(dc, &r, cut == ui::BevelCut::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
                    InflateRect(&r, -1, -1);
                }
            };
            bevel(panel.bevelOuter());
            bevel(panel.bevelInner());
            UINT align = DT_CENTER;
            if (panel.alignment() == ui::TextAlignment::Left) align = DT_LEFT;
            if (panel.alignment() == ui::TextAlignment::Right) align = DT_RIGHT;
            drawCaption(dc, font(), control_, r, align | DT_VCENTER | DT_SINGLELINE);
            break;
        }
        case Kind::GroupBox: paintGroupFrame(dc); break;
        case Kind::Bevel: {
            const auto& bevel = static_cast<const ui::Bevel&>(control_);
            const UINT thin = bevel.style() == ui::BevelCut::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER;
            switch (bevel.shape()) {
            case ui::BevelShape::Box: DrawEdge(dc, &r, thin, BF_RECT); break;
            case ui::BevelShape::Frame: DrawEdge(dc, &r, bevel.style() == ui::BevelCut::Raised ? EDGE_BUMP : EDGE_ETCHED, BF_RECT); break;
            case ui::BevelShape::TopLine: r.bottom = r.top + 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP); break;
            case ui::BevelShape::BottomLine: r.top = r.bottom - 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP); break;
            case ui::BevelShape::LeftLine: r.right = r.left + 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT); break;
            case ui::BevelShape::RightLine: r.left = r.right - 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT); break;
            case ui::BevelShape::Spacer: break;
            }
            break;
        }
        default: break;
        }
    }
};

class TabSheetPeer;

class PageControlPeer : public WindowPeer {
public:
    PageControlPeer(Win32UiBackend& backend, ui::PageControl& pages) : WindowPeer(backend, pages), pages_(pages) {
        create(WC_TABCONTROLW, WS_CLIPCHILDREN | kindStyle(), WS_EX_CONTROLPARENT);
        measureDisplayArea();
        finishCreation();
    }
    bool notify(NMHDR& header, LRESULT& result) override {
        if (header.code == TCN_SELCHANGING) {
            result = FALSE;  // the choice is put to onChanging once it is known (TCN_SELCHANGE)
            return true;
        }
        if (header.code == TCN_SELCHANGE) {
            const int index = static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0));
            pages_.userChanged(index);
            showPages();
            result = 0;
            return true;
        }
        return false;
    }
    void showPages();
    void measureDisplayArea() {
        RECT r;
        GetClientRect(hwnd_, &r);
        if (r.right <= 0 || r.bottom <= 0) return;
        SendMessageW(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        pages_.setDisplayArea(ui::Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top});
    }

protected:
    DWORD kindStyle() const override {
        switch (pages_.tabStyle()) {
        case ui::TabStyle::Tabs: return 0;
        case ui::TabStyle::Buttons: return TCS_BUTTONS;
        case ui::TabStyle::FlatButtons: return TCS_BUTTONS | TCS_FLATBUTTONS;
        }
        return 0;
    }
    DWORD kindStyleMask() const override { return TCS_BUTTONS | TCS_FLATBUTTONS; }
    void showText() override {}
    void place() override {
        WindowPeer::place();
        measureDisplayArea();
    }
    void fontChanged() override {
        if (hwnd_ != nullptr && control_.peer() != nullptr) measureDisplayArea();
    }
    void updateKind(Change what) override {
        if (what == Change::Selection) {
            SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(pages_.activePageIndex()), 0);
            showPages();
        } else if (what == Change::TabStyle) {
            restyle();
            measureDisplayArea();
        }
    }

private:
    ui::PageControl& pages_;
};

class TabSheetPeer : public ContainerPeer {
public:
    TabSheetPeer(Win32UiBackend& backend, ui::TabSheet& sheet)
        : ContainerPeer(backend, sheet), sheet_(sheet), tabs_(parentWindow()), index_(sheet.pageIndex()) {
        const std::wstring text = widen(sheet.text());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
        SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(sheet.pageControl().activePageIndex()), 0);
        // The row of tabs only takes its height once it holds a tab: measure the pages' area again,
        // and move this page there (its window exists before the portable side knows its peer).
        if (auto* pages = dynamic_cast<PageControlPeer*>(sheet.pageControl().peer())) pages->measureDisplayArea();
        place();
        finishCreation();
    }
    ~TabSheetPeer() override { SendMessageW(tabs_, TCM_DELETEITEM, static_cast<WPARAM>(index_), 0); }
    bool visibleNow() const override {
        return sheet_.visible() && sheet_.pageControl().activePage() == &sheet_;
    }

protected:
    void showText() override {
        const std::wstring text = widen(sheet_.text());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(sheet_.pageIndex()), reinterpret_cast<LPARAM>(&item));
    }

private:
    ui::TabSheet& sheet_;
    HWND tabs_;
    int index_;
};

void PageControlPeer::showPages() {
    for (int i = 0; i < pages_.pageCount(); ++i)
        if (auto* peer = dynamic_cast<TabSheetPeer*>(pages_.page(i).peer())) peer->showVisible();
}

class RadioGroupPeer : public ContainerPeer {
public:
    RadioGroupPeer(Win32UiBackend& backend, ui::RadioGroup& group) : ContainerPeer(backend, group), group_(group) {
        makeButtons();
        finishCreation();
    }
    void childCommand(HWND child, WORD code) override {
        if (code != BN_CLICKED) return;
        const auto it = std::find(buttons_.begin(), buttons_.end(), child);
        if (it == buttons_.end()) return;
        if (SendMessageW(child, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
        group_.userChanged(static_cast<int>(it - buttons_.begin()));
    }
    const std::vector<HWND>& buttons() const { return buttons_; }

protected:
    void paint(HDC dc) override { paintGroupFrame(dc); }
    void updateKind(Change what) override {
        if (what == Change::Items) makeButtons();
        else if (what == Change::Selection) check();
    }
    void appearance() override {
        layout();
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    void place() override {
        WindowPeer::place();
        layout();
    }
    void fontChanged() override {
        for (HWND b : buttons_) SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

private:
    void makeButtons() {
        for (HWND b : buttons_) DestroyWindow(b);
        buttons_.clear();
        for (const auto& item : group_.items()) {
            const DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (buttons_.empty() ? WS_GROUP | WS_TABSTOP : 0);
            HWND b = CreateWindowExW(0, L"BUTTON", widen(item).c_str(), style, 0, 0, 10, 10, hwnd_,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(buttons_.size() + 1)), instance(),
                                     nullptr);
            if (b == nullptr) throw std::runtime_error("CreateWindowEx failed for a radio button");
            SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
            buttons_.push_back(b);
        }
        layout();
        check();
    }
    void layout() {
        if (buttons_.empty()) return;
        RECT r;
        GetClientRect(hwnd_, &r);
        const int columns = group_.columns();
        const int count = static_cast<int>(buttons_.size());
        const int rows = (count + columns - 1) / columns;
        const int top = 16, bottom = 4, side = 8;
        const int columnWidth = std::max(1, static_cast<int>(r.right - 2 * side) / columns);
        const int rowHeight = std::max(1, static_cast<int>(r.bottom - top - bottom) / std::max(rows, 1));
        for (int i = 0; i < count; ++i) {
            const int column = i / rows, row = i % rows;
            SetWindowPos(buttons_[static_cast<size_t>(i)], nullptr, side + column * columnWidth, top + row * rowHeight,
                         columnWidth, std::min(rowHeight, 20), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    void check() {
        for (size_t i = 0; i < buttons_.size(); ++i)
            SendMessageW(buttons_[i], BM_SETCHECK,
                         static_cast<int>(i) == group_.itemIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    ui::RadioGroup& group_;
    std::vector<HWND> buttons_;
};

// ---- standard controls ----

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
        const int gap = glyph_ != nullptr && !text.empty() ? 4 : 0;
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
        glyph_ = static_cast<HBITMAP>(LoadImageW(instance(), widen(button_.glyph()).c_str(), IMAGE_BITMAP, 0, 0, 0));
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
        SetBkColor(source, resources::kGlyphTransparentColour);
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
        b.height += 160;
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

class PicturePeer : public WindowPeer {
public:
    PicturePeer(Win32UiBackend& backend, ui::Picture& picture) : WindowPeer(backend, picture), picture_(picture) {
        create(L"STATIC", SS_ICON, 0);
        load();
        finishCreation();
    }
    ~PicturePeer() override { release(); }

protected:
    void showText() override {}
    void appearance() override { load(); }

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
            const std::wstring name = widen(picture_.picture());
            icon_ = static_cast<HICON>(LoadImageW(instance(), name.c_str(), IMAGE_ICON, 32, 32, 0));
            if (icon_ != nullptr) {
                size = SIZE{32, 32};
            } else {
                bitmap_ = static_cast<HBITMAP>(LoadImageW(instance(), name.c_str(), IMAGE_BITMAP, 0, 0, 0));
                if (bitmap_ != nullptr) {
                    BITMAP info;
                    GetObjectW(bitmap_, sizeof info, &info);
                    size = SIZE{info.bmWidth, info.bmHeight};
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
    ui::Picture& picture_;
    HICON icon_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

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

// ---- the message window: timers ----

LRESULT CALLBACK messageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && theBackend != nullptr) {
        if (ui::Timer* timer = theBackend->timerOf(static_cast<unsigned>(wParam))) {
            guarded([&] { timer->elapsed(); });
            return 0;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Every focus move in the thread: the control gaining the focus is told.
LRESULT CALLBACK focusHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SETFOCUS && theBackend != nullptr) {
        guarded([&] {
            for (HWND h = reinterpret_cast<HWND>(wParam); h != nullptr; h = GetParent(h)) {
                WindowPeer* peer = peerOf(h);
                if (peer == nullptr) continue;
                if (peer->control().windowed()) peer->control().userEntered();
                break;
            }
        });
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// ---------------------------------------------------------------------------------------

Win32UiBackend::Win32UiBackend(std::function<void(const std::string&)> reportError)
    : reportError_(std::move(reportError)) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof init;
    init.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&init);

    registerClass(kContainerClass, nullptr, nullptr, 0);
    registerClass(kPaintClass, nullptr, nullptr, 0);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = messageWindowProc;
    wc.hInstance = instance();
    wc.lpszClassName = kMessageClass;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("RegisterClassEx failed");
    messageWindow_ = CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance(), nullptr);
    if (messageWindow_ == nullptr) throw std::runtime_error("CreateWindowEx failed for the message window");
    theBackend = this;
}

void Win32UiBackend::watchFocus() {
    // No focus moves but the program's own before a window shows, and the hook would be called
    // for every window made until then.
    if (focusHook_ == nullptr) focusHook_ = SetWindowsHookExW(WH_CBT, focusHook, nullptr, GetCurrentThreadId());
}

Win32UiBackend::~Win32UiBackend() {
    if (focusHook_ != nullptr) UnhookWindowsHookEx(static_cast<HHOOK>(focusHook_));
    DestroyWindow(static_cast<HWND>(messageWindow_));
    for (auto& entry : fonts_) DeleteObject(static_cast<HFONT>(entry.second));
    if (measuringContext_ != nullptr) DeleteDC(static_cast<HDC>(measuringContext_));
    if (theBackend == this) theBackend = nullptr;
}

void Win32UiBackend::setBusyCursor(bool busy) {
    busyCursor_ = busy;
    // Shown at once, not only when the mouse next moves.
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(busy ? IDC_WAIT : IDC_ARROW)));
}

void* Win32UiBackend::measuringContext() {
    if (measuringContext_ == nullptr) measuringContext_ = CreateCompatibleDC(nullptr);
    return measuringContext_;
}

void* Win32UiBackend::fontHandle(const ui::Font& font) {
    // The colour is drawn by the control, not by the font.
    auto same = [&](const ui::Font& other) {
        return other.face == font.face && other.height == font.height && other.bold == font.bold &&
               other.italic == font.italic && other.underline == font.underline;
    };
    for (const auto& entry : fonts_)
        if (same(entry.first)) return entry.second;
    HFONT handle = createFont(font);
    fonts_.emplace_back(font, handle);
    return handle;
}

void Win32UiBackend::reportError(const std::string& message) {
    if (reportError_) {
        try {
            reportError_(message);
        } catch (...) {
        }
    } else {
        OutputDebugStringW(widen(message).c_str());
    }
}

bool Win32UiBackend::registerFormClass(const std::string& className) {
    if (formClasses_.count(className) != 0) return false;
    HICON icon = LoadIconW(instance(), widen(resources::kMainIcon).c_str());
    registerClass(widen(className).c_str(), nullptr, icon, CS_DBLCLKS);
    formClasses_.insert(className);
    return true;
}

unsigned Win32UiBackend::newCommandId(ui::MenuItem& item) {
    while (commands_.count(nextCommand_) != 0 || nextCommand_ < 100) nextCommand_ = nextCommand_ >= 0xEFFF ? 100 : nextCommand_ + 1;
    const unsigned id = nextCommand_++;
    commands_[id] = &item;
    return id;
}
void Win32UiBackend::releaseCommandId(unsigned id) { commands_.erase(id); }
ui::MenuItem* Win32UiBackend::itemOfCommand(unsigned id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second;
}

unsigned Win32UiBackend::newTimerId(ui::Timer& timer) {
    const unsigned id = nextTimer_++;
    timers_[id] = &timer;
    return id;
}
void Win32UiBackend::releaseTimerId(unsigned id) { timers_.erase(id); }
ui::Timer* Win32UiBackend::timerOf(unsigned id) const {
    const auto it = timers_.find(id);
    return it == timers_.end() ? nullptr : it->second;
}

void* Win32UiBackend::windowOf(const ui::Component& component) {
    auto* peer = dynamic_cast<WindowPeer*>(component.peer());
    return peer != nullptr ? peer->hwnd() : nullptr;
}

void* Win32UiBackend::menuOf(const ui::Component& component) {
    MenuPeerBase* peer = menuPeerOf(component);
    return peer != nullptr ? peer->menu() : nullptr;
}

unsigned Win32UiBackend::commandOf(const ui::Component& component) {
    auto* peer = dynamic_cast<MenuItemPeer*>(component.peer());
    return peer != nullptr ? peer->id() : 0;
}

std::unique_ptr<ui::Peer> Win32UiBackend::createPeer(ui::Component& component) {
    switch (component.kind()) {
    case Kind::Form: return std::make_unique<FormPeer>(*this, static_cast<ui::Form&>(component));
    case Kind::PageControl: return std::make_unique<PageControlPeer>(*this, static_cast<ui::PageControl&>(component));
    case Kind::TabSheet: return std::make_unique<TabSheetPeer>(*this, static_cast<ui::TabSheet&>(component));
    case Kind::Panel:
    case Kind::GroupBox:
    case Kind::Bevel: {
        auto peer = std::make_unique<ContainerPeer>(*this, static_cast<ui::Control&>(component));
        peer->showVisible();
        return peer;
    }
    case Kind::Label:
    case Kind::LinkLabel: return std::make_unique<LabelPeer>(*this, static_cast<ui::Label&>(component));
    case Kind::Button: return std::make_unique<ButtonPeer>(*this, static_cast<ui::Button&>(component));
    case Kind::FlatButton: return std::make_unique<FlatButtonPeer>(*this, static_cast<ui::FlatButton&>(component));
    case Kind::CheckBox: return std::make_unique<CheckBoxPeer>(*this, static_cast<ui::CheckBox&>(component));
    case Kind::Edit: return std::make_unique<EditPeer>(*this, static_cast<ui::Edit&>(component));
    case Kind::TrackBar: return std::make_unique<TrackBarPeer>(*this, static_cast<ui::TrackBar&>(component));
    case Kind::ComboBox: return std::make_unique<ComboBoxPeer>(*this, static_cast<ui::ComboBox&>(component));
    case Kind::RadioGroup: return std::make_unique<RadioGroupPeer>(*this, static_cast<ui::RadioGroup&>(component));
    case Kind::HotKeyBox: return std::make_unique<HotKeyPeer>(*this, static_cast<ui::HotKeyBox&>(component));
    case Kind::Picture: return std::make_unique<PicturePeer>(*this, static_cast<ui::Picture&>(component));
    case Kind::StatusBar: return std::make_unique<StatusBarPeer>(*this, static_cast<ui::StatusBar&>(component));
    case Kind::PaintBox: return std::make_unique<PaintPeer>(*this, static_cast<ui::Control&>(component));
    case Kind::MainMenu: return std::make_unique<MenuPeer>(true);
    case Kind::PopupMenu: return std::make_unique<MenuPeer>(false);
    case Kind::MenuItem: return std::make_unique<MenuItemPeer>(*this, static_cast<ui::MenuItem&>(component));
    case Kind::Timer: return std::make_unique<TimerPeer>(*this, static_cast<ui::Timer&>(component));
    }
    return nullptr;
}

std::unique_ptr<platform::Canvas> Win32UiBackend::createImage(int width, int height) {
    return std::make_unique<GdiCanvas>(width, height);
}

namespace {
struct Disabled {
    HWND keep;
    std::vector<HWND> windows;
};
BOOL CALLBACK disableOne(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<Disabled*>(param);
    if (hwnd != state->keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        state->windows.push_back(hwnd);
    }
    return TRUE;
}
}  // namespace

void Win32UiBackend::runModal(ui::Form& dialog) {
    auto* window = static_cast<HWND>(windowOf(dialog));
    if (window == nullptr) return;
    watchFocus();
    HWND owner = GetActiveWindow();
    if (owner != nullptr && owner != window) SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    Disabled disabled{window, {}};
    EnumThreadWindows(GetCurrentThreadId(), disableOne, reinterpret_cast<LPARAM>(&disabled));
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG msg;
    while (dialog.modalResult() == ui::kModalNone && dialog.visible() && IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner is enabled again before the dialog hides, so it takes the activation back.
    for (HWND h : disabled.windows)
        if (IsWindow(h)) EnableWindow(h, TRUE);
}

void Win32UiBackend::popup(ui::PopupMenu& menu, int x, int y) {
    auto* handle = static_cast<HMENU>(menuOf(menu));
    if (handle == nullptr) return;
    HWND owner = menu.form() != nullptr ? static_cast<HWND>(windowOf(*menu.form())) : nullptr;
    if (owner == nullptr) owner = static_cast<HWND>(messageWindow_);
    SetForegroundWindow(owner);
    const auto command = static_cast<unsigned>(
        TrackPopupMenu(handle, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    if (command == 0) return;
    if (ui::MenuItem* item = itemOfCommand(command)) item->userClicked();
}

}  // namespace platform::win32
