#pragma once
// The Windows mirror of the portable controls (ui/component.h): one real window (or menu, or
// system timer) per component, created and destroyed with its peer. User input arriving as
// WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_CLOSE, WM_SIZE, focus and menu messages is handed to
// the components' user entry points; changes made from code reach the windows through
// Peer::update.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ui/component.h"
#include "ui/timer_schedule.h"

namespace ui {
class Timer;
}

namespace win32 {

class Win32UiBackend : public ui::Backend {
public:
    // `reportError` receives what a handler threw while the system was calling the program:
    // exceptions never unwind through a window procedure.
    explicit Win32UiBackend(std::function<void(const std::string&)> reportError = {});
    ~Win32UiBackend() override;
    Win32UiBackend(const Win32UiBackend&) = delete;
    Win32UiBackend& operator=(const Win32UiBackend&) = delete;

    std::unique_ptr<ui::Peer> createPeer(ui::Component& component) override;
    std::unique_ptr<platform::Canvas> createImage(int width, int height) override;
    void runModal(ui::Form& dialog) override;
    void popup(ui::PopupMenu& menu, int x, int y) override;
    void setBusyCursor(bool busy) override;
    bool busyCursor() const { return busyCursor_; }
    // The system's DPI (win32/services/display_dpi.h); a form's window may then report its
    // monitor's.
    int screenDpi() const override;

    // The window (an HWND) mirroring a control, or null when it has none.
    static void* windowOf(const ui::Component& component);
    // The menu (an HMENU) of a main menu, popup menu or menu item with items, or null.
    static void* menuOf(const ui::Component& component);
    // The command id a menu item's click arrives with, or 0.
    static unsigned commandOf(const ui::Component& component);

    // Internal, for the window procedures.
    void reportError(const std::string& message);
    void* messageWindow() const { return messageWindow_; }
    unsigned newCommandId(ui::MenuItem& item);
    void releaseCommandId(unsigned id);
    ui::MenuItem* itemOfCommand(unsigned id) const;
    // The timers all run off one system timer of the message window (ui/timer_schedule.h).
    unsigned newTimerId(ui::Timer& timer);
    void releaseTimerId(unsigned id);
    // The timer's count starts anew (running) or it stops.
    void restartTimer(unsigned id, const ui::Timer& timer);
    // The system timer fired: runs every timer that is due.
    void runDueTimers();
    bool registerFormClass(const std::string& className);
    // The font (an HFONT) drawing that font, made on first use and shared by every control that
    // uses it until the backend goes.
    void* fontHandle(const ui::Font& font);
    // A memory device context (an HDC) for measuring text, kept for the backend's life.
    void* measuringContext();
    // From the first form shown on, focus moves the system makes (a click, the Tab key, an
    // activation) reach the controls' userEntered().
    void watchFocus();

private:
    std::function<void(const std::string&)> reportError_;
    void* messageWindow_ = nullptr;  // HWND: receives the timers' WM_TIMER
    void* focusHook_ = nullptr;      // HHOOK: reports focus moves to the controls
    std::map<unsigned, ui::MenuItem*> commands_;
    std::map<unsigned, ui::Timer*> timers_;
    ui::TimerSchedule schedule_;
    unsigned timerRound_ = 0;
    uint32_t clockDelay_ = 0;  // the system timer's period, 0 while it is not set
    uint32_t clockNext_ = 0;   // when it fires next (GetTickCount)
    void armClock();
    std::set<std::string> formClasses_;
    unsigned nextCommand_ = 100;
    unsigned nextTimer_ = 1;
    std::vector<std::pair<ui::Font, void*>> fonts_;  // few: a linear search is enough
    void* measuringContext_ = nullptr;
    bool busyCursor_ = false;
};

}  // namespace win32
