#pragma once
// Inside the Win32 backend of the control layer (ui_backend.h): the base of every control's
// peer, the helpers the peers share and the makers of each family's peers. The families live in
// win32_form.cpp, win32_menus.cpp, win32_timers.cpp, win32_containers.cpp, win32_labels.cpp,
// win32_buttons.cpp, win32_edits.cpp, win32_trackbar.cpp, win32_lists.cpp, win32_status_bar.cpp
// and win32_paint.cpp; ui_backend.cpp holds the backend itself.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "win32/controls/ui_backend.h"
#include "win32/services/wide_text.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace ui {
class Form;
class MenuItem;
class Timer;
}  // namespace ui

namespace win32::ui_peers {

using ui::Change;
using ui::Kind;

// The control's name as a global atom: lets tools outside the process (automation, the
// end-to-end tests) tell the program's windows apart. Given only once a tool asks for the names
// with the registered message below: every name costs the system (under Wine, its server) two
// requests per control at every start, and nobody reads them but such tools. The font the
// window was given goes with it, as an atom of "face|height|weight|italic|underline" from the
// font's LOGFONT (a font handle means nothing in another process), so such a tool can measure a
// caption as the window draws it.
inline constexpr wchar_t kNameProperty[] = L"QuilletName";
inline constexpr wchar_t kFontProperty[] = L"QuilletFont";
inline constexpr wchar_t kPublishNamesMessage[] = L"QuilletPublishNames";
inline bool namesWanted = false;
inline constexpr wchar_t kContainerClass[] = L"QuilletContainer";
inline constexpr wchar_t kPaintClass[] = L"QuilletPaintBox";
// The one system timer of the message window that every timer runs off.
inline constexpr UINT_PTR kClockTimer = 1;
inline constexpr wchar_t kMessageClass[] = L"QuilletMessages";

inline Win32UiBackend* theBackend = nullptr;  // the window procedures' way back to the backend

inline HINSTANCE instance() { return GetModuleHandleW(nullptr); }

inline COLORREF resolve(ui::Color color) {
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

class WindowPeer;

WindowPeer* peerOf(HWND hwnd);
void bindPeer(HWND hwnd, WindowPeer* peer);
void unbindPeer(HWND hwnd);

LRESULT CALLBACK peerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Registers a window class of the program's own, run by peerWindowProc.
void registerClass(const wchar_t* name, HBRUSH background, HICON icon, UINT style);
// The control whose window (or an ancestor's) this is.
ui::Control* controlAt(HWND hwnd);
// Finds the first button of a form for which `pick` holds.
ui::Button* findButton(const ui::Control& container, bool (*pick)(const ui::Button&));

// The peer of one control: owns its window, its font and its background brush.
class WindowPeer : public ui::Peer {
public:
    WindowPeer(Win32UiBackend& backend, ui::Control& control) : backend_(backend), control_(control) {}
    ~WindowPeer() override {
        if (hwnd_ != nullptr) {
            unbindPeer(hwnd_);
            if (named_) {
                for (const wchar_t* property : {kNameProperty, kFontProperty}) {
                    if (const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(hwnd_, property))))
                        GlobalDeleteAtom(atom);
                }
            }
            DestroyWindow(hwnd_);
        }
        if (brush_ != nullptr) DeleteObject(brush_);
    }

    HWND hwnd() const { return hwnd_; }
    ui::Control& control() const { return control_; }

    void update(Change what) override {
        // A window not made yet takes the control's whole state when it is made; until then only
        // showing it (which makes it) and a page's caption (held by the row of tabs) matter.
        if (hwnd_ == nullptr && what != Change::Visible && what != Change::Text) return;
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
        case Change::Dpi: dpiChanged(); break;
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
        if (hwnd_ == nullptr) {  // a window that waits until it first shows
            if (visibleNow()) madeWindow();
            return;
        }
        const bool shown = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != visibleNow()) ShowWindow(hwnd_, visibleNow() ? SW_SHOWNA : SW_HIDE);
    }

    // The window's parent: the nearest container's window, made now if it waited to be needed.
    HWND parentWindow() const {
        auto* parent = control_.parent() != nullptr ? dynamic_cast<WindowPeer*>(control_.parent()->peer()) : nullptr;
        return parent != nullptr ? parent->madeWindow() : nullptr;
    }
    // The window, for a child to be made in it. A kind whose window waits until it first shows
    // (a hidden picture, a page not yet chosen) makes it here.
    virtual HWND madeWindow() { return hwnd_; }

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
        if (namesWanted) publishName();
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
        applyFont(false);  // the first paint comes with the message loop
    }
    void finishCreation() { showVisible(); }
    // visibleNow() before the peer is whole (a kind's override cannot run yet).
    bool shownAtCreation() const {
        if (!control_.visible()) return false;
        if (control_.kind() != Kind::TabSheet) return true;
        const auto& sheet = static_cast<const ui::TabSheet&>(control_);
        return sheet.pageControl().activePage() == &sheet;
    }
public:
    void publishName() {
        if (named_ || control_.name().empty() || hwnd_ == nullptr) return;
        if (const ATOM atom = GlobalAddAtomW(widen(control_.name()).c_str())) {
            SetPropW(hwnd_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
            named_ = true;
            publishFont();
        }
    }
    // The DPI the control's form is laid out for.
    int dpi() const { return control_.form() != nullptr ? control_.form()->dpi() : platform::kDesignDpi; }
    // A length in 96-dpi units at that DPI (platform/display_scale.h).
    int scaled(int designLength) const { return platform::scaledLength(designLength, dpi()); }

protected:

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
        const DWORD was = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
        const DWORD style = (was & ~mask) | ((kindStyle() | (control_.tabStop() ? WS_TABSTOP : 0)) & mask);
        // The frame is worked out again only when the style changed (a settings load applies
        // many a style the window already has).
        if (style != was) {
            SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void applyFont(bool redraw = true) {
        font_ = static_cast<HFONT>(backend_.fontHandle(control_.font()));
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), redraw ? TRUE : FALSE);
        if (named_) publishFont();
        fontChanged();
    }
    // The form's DPI changed: every size the kind keeps besides bounds and font is shown again.
    virtual void dpiChanged() { appearance(); }
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
    void publishFont() {
        if (font_ == nullptr) return;
        LOGFONTW f{};
        if (GetObjectW(font_, sizeof f, &f) == 0) return;
        const std::string numbers = "|" + std::to_string(f.lfHeight) + "|" + std::to_string(f.lfWeight) + "|" +
                                    std::to_string(f.lfItalic) + "|" + std::to_string(f.lfUnderline);
        const std::wstring text = std::wstring(f.lfFaceName) + widen(numbers);
        const auto old = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(hwnd_, kFontProperty)));
        if (const ATOM atom = GlobalAddAtomW(text.c_str()))
            SetPropW(hwnd_, kFontProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
        if (old != 0) GlobalDeleteAtom(old);
    }

    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    bool named_ = false;  // carries its name for tools outside the process
};

// Across the families: a form's menu bar changed (its window redraws it); a main menu is
// attached to a form's window (its menu, or null when it has no peer).
void menuBarChanged(ui::Form& form);
HMENU attachMenuBar(ui::Component& menu, HWND window);

// The timers' window procedure (the backend's message window).
LRESULT CALLBACK messageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The peers of each kind.
std::unique_ptr<ui::Peer> makeFormPeer(Win32UiBackend& backend, ui::Form& control);
std::unique_ptr<ui::Peer> makeMenuPeer(bool bar);
std::unique_ptr<ui::Peer> makeMenuItemPeer(Win32UiBackend& backend, ui::MenuItem& item);
std::unique_ptr<ui::Peer> makeTimerPeer(Win32UiBackend& backend, ui::Timer& control);
// Panels, group boxes and bevels.
std::unique_ptr<ui::Peer> makeContainerPeer(Win32UiBackend& backend, ui::Control& control);
std::unique_ptr<ui::Peer> makePageControlPeer(Win32UiBackend& backend, ui::PageControl& control);
std::unique_ptr<ui::Peer> makeTabSheetPeer(Win32UiBackend& backend, ui::TabSheet& control);
std::unique_ptr<ui::Peer> makeRadioGroupPeer(Win32UiBackend& backend, ui::RadioGroup& control);
// Labels and link labels.
std::unique_ptr<ui::Peer> makeLabelPeer(Win32UiBackend& backend, ui::Label& control);
std::unique_ptr<ui::Peer> makePicturePeer(Win32UiBackend& backend, ui::Picture& control);
std::unique_ptr<ui::Peer> makeButtonPeer(Win32UiBackend& backend, ui::Button& control);
std::unique_ptr<ui::Peer> makeFlatButtonPeer(Win32UiBackend& backend, ui::FlatButton& control);
std::unique_ptr<ui::Peer> makeCheckBoxPeer(Win32UiBackend& backend, ui::CheckBox& control);
std::unique_ptr<ui::Peer> makeEditPeer(Win32UiBackend& backend, ui::Edit& control);
std::unique_ptr<ui::Peer> makeHotKeyPeer(Win32UiBackend& backend, ui::HotKeyBox& control);
std::unique_ptr<ui::Peer> makeTrackBarPeer(Win32UiBackend& backend, ui::TrackBar& control);
std::unique_ptr<ui::Peer> makeComboBoxPeer(Win32UiBackend& backend, ui::ComboBox& control);
std::unique_ptr<ui::Peer> makeStatusBarPeer(Win32UiBackend& backend, ui::StatusBar& control);
std::unique_ptr<ui::Peer> makePaintPeer(Win32UiBackend& backend, ui::Control& control);

}  // namespace win32::ui_peers
