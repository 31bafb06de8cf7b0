#include "widgets/tray_icon_painter.h"

#include "platform/software_canvas.h"

namespace widgets {

using platform::Color;
using platform::Font;
using platform::Rect;

namespace {
constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr int kLargestPoints = 7;
}  // namespace

Font trayIconFont(const std::string& digits, int pixelsPerInch, const TextWidth& textWidth, int iconSize) {
    if (pixelsPerInch <= 0) pixelsPerInch = 96;
    Font font;
    font.face = "Tahoma";
    font.bold = false;
    font.color = kWhite;
    for (int points = kLargestPoints;; --points) {
        // A negative height asks for the character height, rounded as Windows' MulDiv rounds.
        font.height = -((points * pixelsPerInch + 36) / 72);
        // Below one point a font of height 0 would be the system's default size, far larger.
        if (points == 1 || textWidth(digits, font) <= iconSize) return font;
    }
}

Font trayIconFontForSize(const std::string& digits, int size, const TextWidth& textWidth) {
    return trayIconFont(digits, 96 * size / kTrayIconSize, textWidth, size);
}

void paintTrayIcon(platform::Canvas& canvas, const std::string& digits, int textX, const Font& font, Color lineColor,
                   bool redDot) {
    const int size = canvas.width();
    const auto at = [size](int at16) { return trayIconScaled(at16, size); };
    canvas.fillRect(Rect{0, 0, size, size}, kBlack);
    canvas.drawText(digits, Rect{textX, 0, size, size}, platform::kTextLeft | platform::kTextSingleLine, font);
    // Four lines at 16 pixels, as many rows of the same share at any size.
    canvas.fillRect(Rect{at(1), at(11), at(15), at(15)}, lineColor);
    if (redDot) {
        // The disc inscribed in the dot's box (at 16 pixels from (12, 0) to (16, 4)): a pixel is
        // in when its centre lies inside the ellipse, so the corners stay black.
        const Rect box{at(12), 0, size, at(4)};
        const long long w = box.width(), h = box.height();
        for (int y = 0; y < h; ++y) {
            const long long dy = 2 * y + 1 - h;
            int first = -1, last = -1;
            for (int x = 0; x < w; ++x) {
                const long long dx = 2 * x + 1 - w;
                if (dx * dx * h * h + dy * dy * w * w <= w * w * h * h) {
                    if (first < 0) first = x;
                    last = x;
                }
            }
            if (first >= 0) canvas.fillRect(Rect{box.left + first, y, box.left + last + 1, y + 1}, kTrayDotColor);
        }
    }
}

platform::Picture trayIconPicture(platform::TextRenderer& text, int size, const std::string& digits, int textX,
                                  Color lineColor, bool redDot) {
    const Font font = trayIconFontForSize(digits, size, [&text](const std::string& candidate, const Font& f) {
        return text.textWidth(candidate, f);
    });
    platform::SoftwareCanvas canvas(size, size, &text);
    paintTrayIcon(canvas, digits, textX, font, lineColor, redDot);
    return canvas.picture();
}

}  // namespace widgets
