// Part of the Win32 backend of the control layer (ui_backend.h): forms and dialogs.
#include "win32/controls/win32_peers.h"

#include <stdexcept>

#include "app/resource_names.h"
#include "win32/services/display_dpi.h"
#include "win32/services/wide_text.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/menu.h"

namespace win32::ui_peers {

namespace {

class FormPeer : public WindowPeer {
public:
    FormPeer(Win32UiBackend& backend, ui::Form& form) : WindowPeer(backend, form), form_(form) {
        const std::string className = form.className().empty() ? "T" + form.name() : form.className();
        backend.registerFormClass(className);
        const DWORD style = formStyle();
        const DWORD ex = formExStyle();
        centre();
        // Made with its menu bar (the form makes the bar first): the frame is worked out once,
        // not again when a bar is put in and the window grown to keep its client area.
        bar_ = form.menu() != nullptr ? static_cast<HMENU>(Win32UiBackend::menuOf(*form.menu())) : nullptr;
        const RECT r = outer(form.bounds(), style, ex);
        applying_ = true;
        hwnd_ = CreateWindowExW(ex, widen(className).c_str(), widen(form.text()).c_str(), style, form.left(), form.top(),
                                r.right - r.left, r.bottom - r.top, nullptr, bar_, instance(), this);
        applying_ = false;
        if (hwnd_ == nullptr) throw std::runtime_error("CreateWindowEx failed for the form " + form.name());
        // Where each monitor has its own DPI, the window may have landed on one of another DPI
        // than it was laid out for: laid out again, before its controls are made.
        const int dpi = windowDpi(hwnd_);
        if (dpi != form.dpi()) {
            form.setDpi(dpi);
            centre();
            place();
        }
        // The class's icons are the system DPI's.
        if (form.dpi() != systemDpi()) showIcons();
        applyFont();
        if (!form.enabled()) EnableWindow(hwnd_, FALSE);
        finishCreation();
    }
    ~FormPeer() override {
        for (HICON icon : icons_)
            if (icon != nullptr) DestroyIcon(icon);
    }

    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
        case WM_CLOSE:
            form_.close();
            result = 0;
            return true;
        case platform::kWmDpiChanged: {  // moved to a monitor of another DPI (Windows 8.1 and later)
            // Laid out for the new DPI, then put where Windows suggests, which keeps the window
            // under the mouse while it is dragged across.
            const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
            movingToDpi_ = true;
            form_.setDpi(LOWORD(wParam));
            movingToDpi_ = false;
            SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
            // The form's own handler hears of it too (what else depends on the DPI).
            LRESULT ignored = 0;
            offer(message, wParam, lParam, ignored);
            result = 0;
            return true;
        }
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
        if (GetMenu(hwnd_) == menu) return;  // made with it
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
        if (movingToDpi_) return;  // the rectangle Windows suggests follows
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
    void dpiChanged() override { showIcons(); }
    DWORD kindStyle() const override { return formStyle(); }
    DWORD kindStyleMask() const override {
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    }
    void appearance() override {
        // The layered style belongs to the program's translucency, not to the form's state.
        const LONG_PTR was = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
        const LONG_PTR wanted = static_cast<LONG_PTR>(formExStyle()) | (was & WS_EX_LAYERED);
        // Unchanged (a settings load applies what the window already is): no frame to work out
        // again and no move in the z-order. (The system adds bits of its own, the window edge.)
        constexpr LONG_PTR kOwn = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
        if ((wanted & kOwn) != (was & kOwn)) {
            SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, wanted);
            SetWindowPos(hwnd_, form_.stayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        place();  // the same client area in a frame that may have changed
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
        const bool menu = hwnd_ != nullptr ? GetMenu(hwnd_) != nullptr : bar_ != nullptr;
        adjustWindowRect(r, style & ~WS_VISIBLE, menu, ex, form_.dpi());
        return r;
    }
    // A form centred on the desktop takes its place from its size (as it was before the window
    // had its menu bar: the bar adds to the height below the centred frame).
    void centre() {
        if (form_.position() != ui::FormPosition::DesktopCenter) return;
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT r{0, 0, form_.width(), form_.height()};
        adjustWindowRect(r, formStyle() & ~WS_VISIBLE, false, formExStyle(), form_.dpi());
        ui::Bounds b = form_.bounds();
        b.left = work.left + (work.right - work.left - (r.right - r.left)) / 2;
        b.top = work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2;
        form_.boundsFromSystem(b);
    }
    // The program icon in the title bar and the task switcher, drawn at the sizes of the
    // window's DPI rather than stretched from the class's.
    void showIcons() {
        const int sizes[2] = {systemMetric(SM_CXSMICON, form_.dpi()), systemMetric(SM_CXICON, form_.dpi())};
        for (int i = 0; i < 2; ++i) {
            HICON icon = static_cast<HICON>(LoadImageW(instance(), widen(app::resources::kMainIcon).c_str(), IMAGE_ICON,
                                                       sizes[i], sizes[i], 0));
            if (icon == nullptr) continue;
            SendMessageW(hwnd_, WM_SETICON, i == 0 ? ICON_SMALL : ICON_BIG, reinterpret_cast<LPARAM>(icon));
            if (icons_[i] != nullptr) DestroyIcon(icons_[i]);
            icons_[i] = icon;
        }
    }

    ui::Form& form_;
    bool applying_ = false;
    bool menuBarStale_ = false;
    bool movingToDpi_ = false;
    HMENU bar_ = nullptr;  // the menu bar the window was made with
    HICON icons_[2] = {nullptr, nullptr};
};


void FormPeer::updateKind(Change what) {
    if (what == Change::Menu && form_.menu() != nullptr) {
        if (HMENU menu = attachMenuBar(*form_.menu(), hwnd_)) attachMenu(menu);
    }
}

}  // namespace

std::unique_ptr<ui::Peer> makeFormPeer(Win32UiBackend& backend, ui::Form& control) {
    return std::make_unique<FormPeer>(backend, control);
}

void menuBarChanged(ui::Form& form) {
    if (auto* peer = dynamic_cast<FormPeer*>(form.peer())) peer->menuBarChanged();
}

}  // namespace win32::ui_peers
