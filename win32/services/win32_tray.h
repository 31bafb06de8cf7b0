#pragma once
#include <cstdint>
#include <string>

#include "platform/tray.h"

namespace win32 {

// The notification area through Shell_NotifyIconW, and the icons shown there: the program's
// own, and those made from the pictures the program paints.
class Win32Tray : public platform::Tray {
public:
    bool trayAvailable() override { return true; }
    bool addTrayIcon(platform::Window window, uint32_t id, uint32_t callbackMessage, platform::Icon icon, const std::string& tip) override;
    bool modifyTrayIcon(platform::Window window, uint32_t id, uint32_t callbackMessage, platform::Icon icon,
                        const std::string& tip) override;
    void deleteTrayIcon(platform::Window window, uint32_t id) override;
    bool showTrayBalloon(platform::Window window, uint32_t id, const std::string& title, const std::string& text) override;
    // The small-icon size at the DPI of the taskbar's monitor (the system's DPI where Windows
    // does not tell monitors' DPIs apart), through the metrics of that DPI where the system
    // has them (Windows 10 1607 and later), else the system's metric scaled.
    int trayIconSize() override;
    // A bitmap of the screen's kind with the picture's pixels (copied from a GDI canvas, as the
    // screen converts them), over an all-opaque mask.
    platform::Icon iconFromPicture(const platform::Picture& picture) override;
    platform::Icon programIcon() override;
    void destroyIcon(platform::Icon icon) override;

    // Sees every record (a NOTIFYICONDATAW) just before it is handed to the shell, with its
    // action (NIM_ADD, NIM_MODIFY, NIM_DELETE); null for none. For probes of what the shell is given.
    using ShellRecordObserver = void (*)(unsigned long action, const void* record);
    static void observeShellRecords(ShellRecordObserver observer);
};

}  // namespace win32
