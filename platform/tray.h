#pragma once
#include <cstdint>
#include <string>

#include "platform/canvas.h"
#include "platform/window_system.h"

namespace platform {

// Opaque icon handle; null means "no icon".
struct IconTag;
using Icon = IconTag*;

// The taskbar's notification area and the icons shown there.
class Tray {
public:
    virtual ~Tray() = default;
    // Whether the shell offers the notification area at all (its library and function).
    virtual bool trayAvailable() = 0;
    // Shell_NotifyIcon: adds (message, icon and tip) or modifies (icon and tip) the window's
    // icon `id`; messages about it come to the window as callbackMessage. The tip is cut to 63
    // characters. A modify without an icon (null) changes the tip alone: the shell neither
    // takes nor draws the icon again. The shell's answer.
    virtual bool addTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                             const std::string& tip) = 0;
    virtual bool modifyTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                                const std::string& tip) = 0;
    virtual void deleteTrayIcon(Window window, uint32_t id) = 0;
    // A balloon over the icon (the shells of Windows 2000 and ME on): the title and the text
    // with the information sign; it replaces one the icon shows. An empty text takes a showing
    // balloon away. The shell's answer.
    virtual bool showTrayBalloon(Window window, uint32_t id, const std::string& title, const std::string& text) = 0;

    // The size, in pixels, the shell shows notification-area icons at: the small-icon size at
    // the display scale of the monitor the notification area is on (16 at 96 dpi, 32 at 192
    // dpi), whichever monitor the program's windows are on. It may change when the display
    // settings change or the taskbar is made anew.
    virtual int trayIconSize() = 0;
    // An icon showing the picture, every pixel of it opaque; null when the system cannot make one.
    // The caller destroys it.
    virtual Icon iconFromPicture(const Picture& picture) = 0;
    // The program's own icon (not to be destroyed).
    virtual Icon programIcon() = 0;
    virtual void destroyIcon(Icon icon) = 0;
};

}  // namespace platform
