#pragma once
#include <functional>
#include <string>

#include "platform/canvas.h"
#include "platform/display_scale.h"
#include "platform/text_renderer.h"

namespace widgets {

// The picture of the program's icon in the notification area, drawn at the size of its canvas:
// the shell's small-icon size, 16 x 16 pixels at 96 dpi (20, 24, 32 ... at larger display
// scales). At 16 pixels: on black, the free-memory figure in white from (textX, 0); below it four
// lines in the level's colour (rows 11 to 14, columns 1 to 14); while automatic recovery is off,
// a red dot in the top-right corner (the disc in columns 12 to 15, rows 0 to 3). At any other
// size every place and length is the 16-pixel one scaled (trayIconScaled), so the lines stay as
// thick and the dot as round as there. Every pixel of the icon is opaque.
constexpr int kTrayIconSize = 16;
constexpr platform::Color kTrayDotColor = 0x0000FF;

// A place or length of the 16-pixel picture at `size` pixels, by the program's one scaling rule.
constexpr int trayIconScaled(int at16, int size) { return platform::scaledLength(at16, size, kTrayIconSize); }

// The width in pixels of a text drawn in a font, as the system draws it.
using TextWidth = std::function<int(const std::string& text, const platform::Font& font)>;

// The figure's font: Tahoma at 7 points, one point smaller at a time while the figure is wider
// than the icon (iconSize pixels), down to 1 point at the smallest. Points become pixels at
// pixelsPerInch.
platform::Font trayIconFont(const std::string& digits, int pixelsPerInch, const TextWidth& textWidth,
                            int iconSize = kTrayIconSize);
// The font for an icon of `size` pixels: the points counted at the icon's own scale (96 pixels
// per inch at 16 pixels, 192 at 32), so the figure grows with the icon and as much of it as fits
// stays above the lines.
platform::Font trayIconFontForSize(const std::string& digits, int size, const TextWidth& textWidth);

// Paints the whole picture onto the canvas, which is square; the figure through the canvas's
// text drawing, from textX (a place at the canvas's size).
void paintTrayIcon(platform::Canvas& canvas, const std::string& digits, int textX, const platform::Font& font,
                   platform::Color lineColor, bool redDot);

// The finished picture of `size` x `size` pixels, as the shell is given it: the figure in the font
// trayIconFontForSize chooses, measured and drawn by the system through `text`. Throws what the
// text renderer throws.
platform::Picture trayIconPicture(platform::TextRenderer& text, int size, const std::string& digits, int textX,
                                  platform::Color lineColor, bool redDot);

}  // namespace widgets
