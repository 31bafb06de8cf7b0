#include "mainwindow/tray_icon.h"

#include <algorithm>
#include <exception>

#include "app/texts.h"
#include "memory/conversions.h"
#include "text/text_format.h"
#include "widgets/tray_icon_painter.h"

namespace mainwindow {

bool TrayIcon::add() { return add(""); }

bool TrayIcon::add(const std::string& tip) {
    if (present_) return true;
    if (!tray_.trayAvailable()) return false;
    present_ = true;
    return tray_.addTrayIcon(window_, kId, callbackMessage_, icon_, tip);
}

bool TrayIcon::setTip(const std::string& tip) { return modify(icon_, tip); }

bool TrayIcon::modify(platform::Icon icon, const std::string& tip) {
    if (!present_) return false;
    tray_.modifyTrayIcon(window_, kId, callbackMessage_, icon, tip);
    return true;  // whatever the shell answered
}

bool TrayIcon::showBalloon(const std::string& title, const std::string& text) {
    if (!present_) return false;
    return tray_.showTrayBalloon(window_, kId, title, text);
}

void TrayIcon::remove() {
    if (!present_) return;
    tray_.deleteTrayIcon(window_, kId);
    present_ = false;
}

uint32_t trayLevelColor(int32_t freePercent) {
    if (freePercent > 20) return 0x00FF00;  // green
    if (freePercent > 5) return 0x00FFFF;   // yellow
    return 0x0000FF;                        // red
}

int trayTextX(const std::string& digits, int size) {
    int at16 = 0;  // four digits fill the icon; more are shrunk to fit from the left
    switch (digits.size()) {
        case 1: at16 = 6; break;
        case 2: at16 = 3; break;
        case 3: at16 = 1; break;
        default: break;
    }
    return widgets::trayIconScaled(at16, size);
}

platform::Icon makeTrayIcon(platform::Tray& tray, platform::TextRenderer& text, int size, const std::string& digits,
                            uint32_t lineColor, bool redDot) {
    try {
        return tray.iconFromPicture(
            widgets::trayIconPicture(text, size, digits, trayTextX(digits, size), lineColor, redDot));
    } catch (const std::exception&) {
        // Out of drawing resources: no picture this time rather than an error every tick.
        return nullptr;
    }
}

std::string trayDigits(uint64_t freeMB) {
    if (freeMB <= 9999) return std::to_string(freeMB);
    const auto withTenths = [](uint64_t tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); };
    const uint64_t gigabyteTenths = freeMB * 10 / 1024;
    if (gigabyteTenths < 1000) return withTenths(gigabyteTenths);
    if (gigabyteTenths < 10000) return std::to_string(gigabyteTenths / 10) + "G";
    const uint64_t terabyteTenths = freeMB * 10 / (1024 * 1024);
    if (terabyteTenths < 100) return withTenths(terabyteTenths) + "T";
    return std::to_string(std::min<uint64_t>(terabyteTenths / 10, 999)) + "T";
}

std::string trayTip(uint64_t freeMB, uint32_t memoryLoad) {
    return std::string(app::kProductName) + " 可用内存：" + memory::formatThousands(freeMB) + "MB内存荷载：" +
           text::zeroPadded(memoryLoad, 2) + "%";
}

bool trayOffersBalloons(const monitor::OsDescription& os) {
    if (os.versionInfo.platformId == platform::kPlatformWin32Nt) return os.versionInfo.majorVersion >= 5;
    return os.isWinMe;
}

std::string recoveryResultText(uint64_t freeBefore, uint64_t freeAfter, std::optional<uint64_t> pageFileUsedBefore,
                               std::optional<uint64_t> pageFileUsedAfter) {
    const auto megabytes = [](uint64_t mb) { return memory::formatThousands(mb) + "MB"; };
    // The difference of the figures shown, so the sum adds up for the reader.
    const uint64_t before = memory::toMB(freeBefore), after = memory::toMB(freeAfter);
    std::string text = after > before ? "可用内存：" + megabytes(before) + " → " + megabytes(after) + "（增加 " +
                                            megabytes(after - before) + "）"
                                      : "可用内存没有增加：" + megabytes(before) + " → " + megabytes(after);
    if (!pageFileUsedBefore || !pageFileUsedAfter) return text;
    const uint64_t pageBefore = memory::toMB(*pageFileUsedBefore), pageAfter = memory::toMB(*pageFileUsedAfter);
    if (pageAfter > pageBefore) text += "\n页面文件多用了 " + megabytes(pageAfter - pageBefore);
    return text;
}

}  // namespace mainwindow
