#pragma once
#include <functional>
#include <string>

#include "platform/canvas.h"

namespace widgets {

// The picture of the program's icon in the notification area, 16 x 16 pixels: on black, the
// free-memory figure in white from (textX, 0); below it four lines in the level's colour (rows
// 11 to 14, columns 1 to 14); while automatic recovery is off, a red dot in the top-right corner
// (the disc in columns 12 to 15, rows 0 to 3). Every pixel of the icon is opaque.
constexpr int kTrayIconSize = 16;
constexpr platform::Color kTrayDotColor = 0x0000FF;

// The width in pixels of a text drawn in a font, as the system draws it.
using TextWidth = std::function<int(const std::string& text, const platform::Font& font)>;

// The figure's font: Tahoma at 7 points, one point smaller at a time while the figure is wider
// than the icon, down to 1 point at the smallest. Points become pixels at pixelsPerInch.
platform::Font trayIconFont(const std::string& digits, int pixelsPerInch, const TextWidth& textWidth);

// Paints the whole picture onto a 16 x 16 canvas; the figure through the canvas's text drawing.
void paintTrayIcon(platform::Canvas& canvas, const std::string& digits, int textX, const platform::Font& font,
                   platform::Color lineColor, bool redDot);

}  // namespace widgets
