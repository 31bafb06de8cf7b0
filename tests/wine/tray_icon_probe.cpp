// The tray icon as the system makes it: Win32Platform::drawTrayIcon's icon is read back (colour
// image and mask, through GetIconInfo and GetDIBits) and compared with the same picture painted
// on the software canvas. Lines, colours and the red dot must agree pixel for pixel and the mask
// must be all opaque; the figure, which only the system draws, must lie where its digits go, in
// the font chosen for it (four characters shrunk until they fit 16 pixels), exactly as the
// system draws that text there by itself. Exit code 0 when every check passed.
//   tray_icon_probe.exe pictures DIR   writes the icon as the program makes it for a few memory
//                                      figures into DIR as PPM pictures (tray-FREEMB-PERCENT[-off]
//                                      .ppm), for the help pages; exit code 0 when all were written
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "mainwindow/tray_icon.h"
#include "platform/software_canvas.h"
#include "tests/wine/check_report.h"
#include "win32/services/wide_text.h"
#include "win32/services/win32_platform.h"
#include "widgets/tray_icon_painter.h"

namespace {

using checks::check;
using platform::Color;
using platform::Font;
using widgets::kTrayIconSize;

constexpr Color kBlack = 0x000000;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;  // 0x00BBGGRR, top row first
    Color at(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

Color fromDib(uint32_t bgra) { return ((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF); }

// Any bitmap (a monochrome mask too) as 32-bit pixels.
bool readBitmap(HBITMAP bitmap, Picture& picture) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return false;
    picture.width = info.bmWidth;
    picture.height = info.bmHeight;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;  // top row first
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> bits(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), bits.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) return false;
    picture.pixels.clear();
    for (uint32_t v : bits) picture.pixels.push_back(fromDib(v));
    return true;
}

// A 16 x 16 memory picture over a DIB section, filled with one colour.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    explicit Surface(Color fill) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO header{};
        header.bmiHeader.biSize = sizeof header.bmiHeader;
        header.bmiHeader.biWidth = kTrayIconSize;
        header.bmiHeader.biHeight = -kTrayIconSize;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        bitmap = CreateDIBSection(dc, &header, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<uint32_t*>(memory);
        old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all{0, 0, kTrayIconSize, kTrayIconSize};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Color at(int x, int y) const {
        GdiFlush();
        return fromDib(bits[y * kTrayIconSize + x]);
    }
};

HFONT createFont(const Font& font) {
    return CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       platform::win32::widen(font.face).c_str());
}

int textWidth(const std::string& text, const Font& font) {
    Surface s(kBlack);
    HFONT handle = createFont(font);
    HGDIOBJ old = SelectObject(s.dc, handle);
    const std::wstring wide = platform::win32::widen(text);
    SIZE size{};
    GetTextExtentPoint32W(s.dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(s.dc, old);
    DeleteObject(handle);
    return size.cx;
}

int pixelHeight(int points, int pixelsPerInch) { return -MulDiv(points, pixelsPerInch, 72); }

std::string hex(Color c) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(c));
    return text;
}

struct Case {
    const char* digits;
    int freePercent;
    bool redDot;
};

void checkIcon(platform::win32::Win32Platform& os, const Case& c, int pixelsPerInch) {
    const std::string name = std::string("\"") + c.digits + "\" at " + std::to_string(c.freePercent) + " %" +
                             (c.redDot ? " with the red dot" : "");
    const int textX = app::trayTextX(c.digits);
    const Color lineColor = app::trayLevelColor(c.freePercent);
    const Font font = os.trayIconFont(c.digits);

    // The font: the largest Tahoma from 7 points down whose figure fits the icon's width.
    const int width = textWidth(c.digits, font);
    int points = 7;
    while (points > 1 && pixelHeight(points, pixelsPerInch) != font.height) --points;
    const bool largest = points == 7 || textWidth(c.digits, Font{font.face, pixelHeight(points + 1, pixelsPerInch),
                                                                 false, font.color}) > kTrayIconSize;
    check(font.face == "Tahoma" && pixelHeight(points, pixelsPerInch) == font.height && width <= kTrayIconSize &&
              largest,
          name + ": the figure's font is the largest that fits 16 pixels",
          "(height " + std::to_string(font.height) + ", " + std::to_string(width) + " pixels wide)");
    if (std::string(c.digits).size() == 4)
        check(points < 7, name + ": four characters need a smaller font than 7 points", "(7 points fit)");

    HICON icon = reinterpret_cast<HICON>(os.drawTrayIcon(c.digits, textX, lineColor, c.redDot));
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        check(false, name + ": an icon was made");
        if (icon != nullptr) DestroyIcon(icon);
        return;
    }
    Picture colour;
    Picture mask;
    const bool read = info.fIcon && readBitmap(info.hbmColor, colour) && readBitmap(info.hbmMask, mask);
    check(read && colour.width == kTrayIconSize && colour.height == kTrayIconSize && mask.width == kTrayIconSize &&
              mask.height == kTrayIconSize,
          name + ": an icon of 16 x 16 with a colour image and a mask of the same size",
          "(colour " + std::to_string(colour.width) + " x " + std::to_string(colour.height) + ", mask " +
              std::to_string(mask.width) + " x " + std::to_string(mask.height) + ")");
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    if (!read || colour.width != kTrayIconSize || colour.height != kTrayIconSize) {
        DestroyIcon(icon);
        return;
    }

    int transparent = 0;
    for (Color m : mask.pixels) transparent += m != kBlack ? 1 : 0;
    check(transparent == 0, name + ": the mask is all black (every pixel opaque)",
          "(" + std::to_string(transparent) + " pixels not)");

    // The expected picture: the software canvas's, and where it shows the background, the text as
    // the system draws it by itself at the figure's place.
    platform::SoftwareCanvas software(kTrayIconSize, kTrayIconSize);
    widgets::paintTrayIcon(software, c.digits, textX, font, lineColor, c.redDot);
    Surface text(kBlack);
    HFONT handle = createFont(font);
    HGDIOBJ oldFont = SelectObject(text.dc, handle);
    SetBkMode(text.dc, TRANSPARENT);
    SetTextColor(text.dc, RGB(255, 255, 255));
    const std::wstring wide = platform::win32::widen(c.digits);
    TextOutW(text.dc, textX, 0, wide.c_str(), static_cast<int>(wide.size()));
    SelectObject(text.dc, oldFont);
    DeleteObject(handle);

    long differing = 0;
    std::string first;
    int textPixels = 0;
    int leftmost = kTrayIconSize;
    int rightmost = -1;
    for (int y = 0; y < kTrayIconSize; ++y) {
        for (int x = 0; x < kTrayIconSize; ++x) {
            const Color painted = software.pixel(x, y);
            const Color expected = painted == kBlack && text.at(x, y) != kBlack ? text.at(x, y) : painted;
            const Color got = colour.at(x, y);
            if (got != expected && differing++ == 0)
                first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + "): expected " + hex(expected) +
                        ", icon " + hex(got);
            if (painted == kBlack && got != kBlack) {
                ++textPixels;
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    check(differing == 0, name + ": lines, colours, dot and figure as painted",
          "(" + std::to_string(differing) + " pixels differ, " + first + ")");

    // The figure itself: drawn, from its place on, and as wide as its characters make it.
    const size_t characters = std::string(c.digits).size();
    check(textPixels >= static_cast<int>(4 * characters) && leftmost >= textX && leftmost <= textX + 2 &&
              rightmost >= textX + width - 3,
          name + ": the figure's pixels lie from x = " + std::to_string(textX) + " over its width",
          "(" + std::to_string(textPixels) + " pixels, columns " + std::to_string(leftmost) + " to " +
              std::to_string(rightmost) + ", text " + std::to_string(width) + " pixels wide)");

    // The look in plain terms, on the icon itself.
    bool lines = true;
    for (int y = 11; y <= 14; ++y) {
        for (int x = 0; x < kTrayIconSize; ++x) lines = lines && colour.at(x, y) == (x >= 1 && x <= 14 ? lineColor : kBlack);
    }
    for (int x = 0; x < kTrayIconSize; ++x) lines = lines && colour.at(x, 15) == kBlack;
    check(lines, name + ": four lines of " + hex(lineColor) + " in rows 11 to 14 from x = 1 to 14, black around them");
    const bool dot = colour.at(13, 0) == widgets::kTrayDotColor && colour.at(12, 1) == widgets::kTrayDotColor &&
                     colour.at(15, 2) == widgets::kTrayDotColor && colour.at(14, 3) == widgets::kTrayDotColor;
    const bool noDot = colour.at(13, 1) != widgets::kTrayDotColor && colour.at(14, 2) != widgets::kTrayDotColor;
    check(c.redDot ? dot : noDot, name + (c.redDot ? ": the red dot in the top-right corner" : ": no red dot"));

    // Shown over any background, the icon covers it entirely.
    Surface shown(0xFF00FF);
    DrawIconEx(shown.dc, 0, 0, icon, kTrayIconSize, kTrayIconSize, 0, nullptr, DI_NORMAL);
    long throughIcon = 0;
    for (int y = 0; y < kTrayIconSize; ++y)
        for (int x = 0; x < kTrayIconSize; ++x) throughIcon += shown.at(x, y) != colour.at(x, y) ? 1 : 0;
    check(throughIcon == 0, name + ": drawn over magenta, the icon shows its own picture everywhere",
          "(" + std::to_string(throughIcon) + " pixels differ)");
    DestroyIcon(icon);
}

// The icon for freeMB at freePercent, as the program makes it, written as a binary PPM.
bool writePicture(platform::win32::Win32Platform& os, const std::string& dir, uint64_t freeMB, int freePercent,
                  bool recoveryOff) {
    const std::string digits = app::trayDigits(freeMB);
    HICON icon = reinterpret_cast<HICON>(os.drawTrayIcon(digits, app::trayTextX(digits),
                                                         app::trayLevelColor(freePercent), recoveryOff));
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) return false;
    Picture colour;
    const bool read = readBitmap(info.hbmColor, colour);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    if (!read) return false;
    const std::string path = dir + "/tray-" + std::to_string(freeMB) + "-" + std::to_string(freePercent) +
                             (recoveryOff ? "-off" : "") + ".ppm";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", colour.width, colour.height);
    for (Color c : colour.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>((c >> 8) & 0xFF),
                                      static_cast<unsigned char>((c >> 16) & 0xFF)};
        std::fwrite(rgb, 1, 3, file);
    }
    const bool written = std::fclose(file) == 0;
    std::printf("%s\n", path.c_str());
    return written;
}

int writePictures(const std::string& dir) {
    platform::win32::Win32Platform os("");
    struct Figure {
        uint64_t freeMB;
        int freePercent;
        bool recoveryOff;
    };
    // Plenty free (green), getting short (yellow), nearly none (red), automatic recovery
    // switched off (the red dot), and a large machine's figure in gigabytes.
    const Figure figures[] = {{1536, 75, false}, {412, 15, false}, {38, 4, false}, {1536, 75, true}, {20889, 64, false}};
    bool ok = true;
    for (const Figure& f : figures) ok = writePicture(os, dir, f.freeMB, f.freePercent, f.recoveryOff) && ok;
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "pictures") return writePictures(argv[2]);
    platform::win32::Win32Platform os("");
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("screen: %d pixels per inch\n", pixelsPerInch);

    const Case cases[] = {
        {"8", 3, false},      // one digit at x = 6, red
        {"8", 3, true},       // ... with automatic recovery off
        {"64", 50, false},    // x = 3, green
        {"512", 20, false},   // x = 1, yellow
        {"1536", 75, false},  // four digits at x = 0, shrunk, green
        {"20.4", 21, true},   // gigabytes with a decimal point, green, red dot
        {"128G", 6, false},   // whole gigabytes, yellow
    };
    for (const Case& c : cases) checkIcon(os, c, pixelsPerInch);
    return checks::summary();
}
