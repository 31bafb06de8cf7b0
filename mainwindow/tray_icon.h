#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "monitor/os_detection.h"
#include "platform/platform.h"

namespace mainwindow {

// The program's icon in the notification area: added once, its image and tip changed while it
// is there, removed when the object goes. Without a notification area it stays absent and
// every operation answers false.
class TrayIcon {
public:
    static constexpr uint32_t kId = 1;

    TrayIcon(platform::Tray& tray, platform::Window window, platform::Icon icon, uint32_t callbackMessage)
        : tray_(tray), window_(window), icon_(icon), callbackMessage_(callbackMessage) {}
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon with the icon given at construction and an empty tip; the shell's answer
    // (true at once when it is there already).
    bool add();
    // Adds the icon with the icon given at construction and this tip, in one call.
    bool add(const std::string& tip);
    // The tip, with the icon given at construction.
    bool setTip(const std::string& tip);
    bool modify(platform::Icon icon, const std::string& tip);
    // A balloon over the icon, replacing one it shows; an empty text takes it away.
    bool showBalloon(const std::string& title, const std::string& text);
    void remove();
    bool present() const { return present_; }

private:
    platform::Tray& tray_;
    platform::Window window_;
    platform::Icon icon_;
    uint32_t callbackMessage_;
    bool present_ = false;  // the notification area exists and the icon was asked for
};

// What the icon shows for free memory: the lines' colour by the free share (green above 20 %,
// yellow above 5 %, else red) and where the digits start (the fewer, the further right), in an
// icon of `size` pixels (the places of 16 pixels scaled).
uint32_t trayLevelColor(int32_t freePercent);
int trayTextX(const std::string& digits, int size = 16);
// The icon showing the figure at `size` pixels: the picture painted here, its text drawn by the
// system, made an icon by the shell's side. Null when the system has no room for it this time;
// the caller destroys it.
platform::Icon makeTrayIcon(platform::Tray& tray, platform::TextRenderer& text, int size, const std::string& digits,
                            uint32_t lineColor, bool redDot);
// The figure the icon shows, at most four characters so it stays legible in 16 pixels:
// megabytes up to 9999; above that gigabytes with one decimal ("20.4": the point tells them
// from megabytes), from 100 GB whole gigabytes with a G ("128G"), from 1000 GB terabytes
// ("1.5T", "12T"). Always truncated, like every memory figure.
std::string trayDigits(uint64_t freeMB);
// "Quillet 可用内存：1,234MB内存荷载：61%"
std::string trayTip(uint64_t freeMB, uint32_t memoryLoad);

// Whether the release's notification area shows balloons: Windows 2000, ME and every later one.
bool trayOffersBalloons(const monitor::OsDescription& os);
// What a recovery the user asked for did, from the figures before it and after it (bytes): free
// physical memory as it went, said plainly when it did not grow, and the growth of the page
// files' use (the pages the recovery pushed out of memory into them) where it grew; without both
// page-file figures that line is left out. Figures in whole megabytes, as everywhere in the
// program.
//   "可用内存：2,345MB → 3,579MB（增加 1,234MB）\n页面文件多用了 512MB"
std::string recoveryResultText(uint64_t freeBefore, uint64_t freeAfter, std::optional<uint64_t> pageFileUsedBefore,
                               std::optional<uint64_t> pageFileUsedAfter);

}  // namespace mainwindow
