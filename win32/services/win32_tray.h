#pragma once
#include <cstdint>
#include <string>

#include "platform/tray.h"

namespace platform::win32 {

// The notification area through Shell_NotifyIconW, and the icons shown there: the program's
// own, and those made from the pictures the program paints.
class Win32Tray : public Tray {
public:
    bool trayAvailable() override { return true; }
    bool addTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon, const std::string& tip) override;
    bool modifyTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                        const std::string& tip) override;
    void deleteTrayIcon(Window window, uint32_t id) override;
    bool showTrayBalloon(Window window, uint32_t id, const std::string& title, const std::string& text) override;
    // The small-icon size at the DPI of the taskbar's monitor (the system's DPI where Windows
    // does not tell monitors' DPIs apart), through the metrics of that DPI where the system
    // has them (Windows 10 1607 and later), else the system's metric scaled.
    int trayIconSize() override;
    // A bitmap of the screen's kind with the picture's pixels (copied from a GDI canvas, as the
    // screen converts them), over an all-opaque mask.
    Icon iconFromPicture(const Picture& picture) override;
    Icon programIcon() override;
    void destroyIcon(Icon icon) override;

    // Sees every record (a NOTIFYICONDATAW) just before it is handed to the shell, with its
    // action (NIM_ADD, NIM_MODIFY, NIM_DELETE); null for none. For probes of what the shell is given.
    using ShellRecordObserver = void (*)(unsigned long action, const void* record);
    static void observeShellRecords(ShellRecordObserver observer);
};

}  // namespace platform::win32
