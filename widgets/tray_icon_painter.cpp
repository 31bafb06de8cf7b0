#include "widgets/tray_icon_painter.h"

namespace widgets {

using platform::Color;
using platform::Font;
using platform::Rect;

namespace {
constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr int kLargestPoints = 7;
}  // namespace

Font trayIconFont(const std::string& digits, int pixelsPerInch, const TextWidth& textWidth) {
    if (pixelsPerInch <= 0) pixelsPerInch = 96;
    Font font;
    font.face = "Tahoma";
    font.bold = false;
    font.color = kWhite;
    for (int points = kLargestPoints;; --points) {
        // A negative height asks for the character height, rounded as Windows' MulDiv rounds.
        font.height = -((points * pixelsPerInch + 36) / 72);
        // Below one point a font of height 0 would be the system's default size, far larger.
        if (points == 1 || textWidth(digits, font) <= kTrayIconSize) return font;
    }
}

void paintTrayIcon(platform::Canvas& canvas, const std::string& digits, int textX, const Font& font, Color lineColor,
                   bool redDot) {
    canvas.fillRect(Rect{0, 0, kTrayIconSize, kTrayIconSize}, kBlack);
    canvas.drawText(digits, Rect{textX, 0, kTrayIconSize, kTrayIconSize}, platform::kTextLeft | platform::kTextSingleLine,
                    font);
    canvas.setPen(lineColor, platform::PenStyle::Solid, kBlack);
    for (int y = 11; y <= 14; ++y) {
        canvas.moveTo(1, y);
        canvas.lineTo(15, y);
    }
    if (redDot) {
        // The disc inscribed in the box from (12, 0) to (16, 4): its corners stay black.
        canvas.fillRect(Rect{13, 0, 15, 1}, kTrayDotColor);
        canvas.fillRect(Rect{12, 1, 16, 3}, kTrayDotColor);
        canvas.fillRect(Rect{13, 3, 15, 4}, kTrayDotColor);
    }
}

}  // namespace widgets
