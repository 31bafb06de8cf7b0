#pragma once
#include "platform/window_system.h"

namespace shortcuts {

// The small "preparing" window shown while a shortcut's recovery runs. Destroyed with the object.
class TShortcutPopupForm {
public:
    static constexpr int kClientWidth = 306;
    static constexpr int kClientHeight = 19;

    explicit TShortcutPopupForm(platform::WindowSystem& windows) : windows_(windows) {}
    ~TShortcutPopupForm();
    TShortcutPopupForm(const TShortcutPopupForm&) = delete;
    TShortcutPopupForm& operator=(const TShortcutPopupForm&) = delete;

    // Creates the window, centred on the desktop, shows it and paints it at once, since the
    // caller is about to block the thread.
    void show();

private:
    platform::WindowSystem& windows_;
    platform::Window window_ = nullptr;
};

}  // namespace shortcuts
