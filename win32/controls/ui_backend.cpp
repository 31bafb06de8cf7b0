#include "win32/controls/ui_backend.h"

#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/resource_names.h"
#include "win32/services/display_dpi.h"
#include "win32/services/gdi_canvas.h"
#include "win32/services/wide_text.h"
#include "win32/controls/win32_peers.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/timer.h"

// The backend itself: its classes, fonts, command and timer ids, the focus hook, the peer of
// each kind (made by the family files, win32_peers.h), modal dialogs and popup menus.
namespace win32 {

using namespace ui_peers;

namespace {

HFONT createFont(const ui::Font& font) {
    return CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE,
                       font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, widen(font.face).c_str());
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
    // A painted control copies its face to the window at every step of the graph: a device
    // context of its own is made once, not set up anew (font, pen, clipping) for each copy.
    registerClass(kPaintClass, nullptr, nullptr, CS_OWNDC);
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

int Win32UiBackend::screenDpi() const { return systemDpi(); }

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
    HICON icon = LoadIconW(instance(), widen(app::resources::kMainIcon).c_str());
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
void Win32UiBackend::releaseTimerId(unsigned id) {
    timers_.erase(id);
    schedule_.stop(id);
    armClock();
}

void Win32UiBackend::restartTimer(unsigned id, const ui::Timer& timer) {
    if (timer.running()) schedule_.start(id, timer.interval(), GetTickCount());
    else schedule_.stop(id);
    armClock();
}

void Win32UiBackend::runDueTimers() {
    // The system timer repeats by itself: its next expiry is one delay from now.
    clockNext_ = GetTickCount() + clockDelay_;
    // Every due timer is taken (its due time moved on) before any runs: a handler that switches
    // its timer off and on, or another, then sets the system timer for the right next due time.
    // A handler may open a modal dialog whose loop brings the next wake-up before this one ends
    // (a later round), or make and destroy timers: each is looked up anew.
    const unsigned round = ++timerRound_;
    std::vector<unsigned> due;
    const uint32_t now = GetTickCount();
    while (const auto id = schedule_.takeDue(now, round)) due.push_back(*id);
    for (unsigned id : due) {
        if (!schedule_.takenIn(id, round)) continue;
        const auto it = timers_.find(id);
        if (it == timers_.end()) continue;
        ui::Timer* timer = it->second;
        guarded([&] { timer->elapsed(); });
    }
    armClock();
}

// The system timer is due at the earliest due time. It is set anew only when its own next
// expiry is more than a tick of the timer clock away from that, which in the steady beat of
// the graph and the monitor it is not: they then cost no call to set it.
void Win32UiBackend::armClock() {
    const uint32_t now = GetTickCount();
    const auto delay = schedule_.nextDelay(now);
    HWND window = static_cast<HWND>(messageWindow_);
    if (!delay) {
        if (clockDelay_ != 0) KillTimer(window, kClockTimer);
        clockDelay_ = 0;
        return;
    }
    const uint32_t wanted = now + *delay;
    const auto off = static_cast<int32_t>(clockNext_ - wanted);
    if (clockDelay_ != 0 && off >= -static_cast<int32_t>(ui::TimerSchedule::kCoalesceMs) &&
        off <= static_cast<int32_t>(ui::TimerSchedule::kCoalesceMs))
        return;
    SetTimer(window, kClockTimer, *delay, nullptr);
    clockDelay_ = *delay;
    clockNext_ = wanted;
}

void* Win32UiBackend::windowOf(const ui::Component& component) {
    auto* peer = dynamic_cast<WindowPeer*>(component.peer());
    return peer != nullptr ? peer->hwnd() : nullptr;
}

std::unique_ptr<ui::Peer> Win32UiBackend::createPeer(ui::Component& component) {
    switch (component.kind()) {
    case Kind::Form: return makeFormPeer(*this, static_cast<ui::Form&>(component));
    case Kind::PageControl: return makePageControlPeer(*this, static_cast<ui::PageControl&>(component));
    case Kind::TabSheet: return makeTabSheetPeer(*this, static_cast<ui::TabSheet&>(component));
    case Kind::Panel:
    case Kind::GroupBox:
    case Kind::Bevel: return makeContainerPeer(*this, static_cast<ui::Control&>(component));
    case Kind::Label:
    case Kind::LinkLabel: return makeLabelPeer(*this, static_cast<ui::Label&>(component));
    case Kind::Button: return makeButtonPeer(*this, static_cast<ui::Button&>(component));
    case Kind::FlatButton: return makeFlatButtonPeer(*this, static_cast<ui::FlatButton&>(component));
    case Kind::CheckBox: return makeCheckBoxPeer(*this, static_cast<ui::CheckBox&>(component));
    case Kind::Edit: return makeEditPeer(*this, static_cast<ui::Edit&>(component));
    case Kind::TrackBar: return makeTrackBarPeer(*this, static_cast<ui::TrackBar&>(component));
    case Kind::ComboBox: return makeComboBoxPeer(*this, static_cast<ui::ComboBox&>(component));
    case Kind::RadioGroup: return makeRadioGroupPeer(*this, static_cast<ui::RadioGroup&>(component));
    case Kind::HotKeyBox: return makeHotKeyPeer(*this, static_cast<ui::HotKeyBox&>(component));
    case Kind::Picture: return makePicturePeer(*this, static_cast<ui::Picture&>(component));
    case Kind::StatusBar: return makeStatusBarPeer(*this, static_cast<ui::StatusBar&>(component));
    case Kind::PaintBox: return makePaintPeer(*this, static_cast<ui::Control&>(component));
    case Kind::MainMenu: return makeMenuPeer(true);
    case Kind::PopupMenu: return makeMenuPeer(false);
    case Kind::MenuItem: return makeMenuItemPeer(*this, static_cast<ui::MenuItem&>(component));
    case Kind::Timer: return makeTimerPeer(*this, static_cast<ui::Timer&>(component));
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

}  // namespace win32
