// The tray icon as the system makes it: the icon app::makeTrayIcon makes is read back (colour
// image and mask, through GetIconInfo and GetDIBits) and compared with the same picture painted
// on the software canvas, at the shell's small-icon sizes 16, 20, 24 and 32. Lines, colours and
// the red dot must agree pixel for pixel and the mask must be all opaque; the figure, which only
// the system draws, must lie where its digits go, in the font chosen for it (four characters
// shrunk until they fit the icon's width), exactly as the system draws that text there by itself.
// Then the records the program's tray icon hands the shell while its figure changes: the size
// the program asks for at this display scale, and for each figure the flags, the tip and the
// icon, read back at that size against the software painting. Exit code 0 when every check passed.
//   tray_icon_probe.exe [SIZE]         SIZE: the small-icon size expected at the prefix's display
//                                      scale (16 at 96 dpi, 24 at 144, 32 at 192; default 16)
//   tray_icon_probe.exe pictures DIR   writes the icon as the program makes it for a few memory
//                                      figures into DIR as PPM pictures (tray-FREEMB-PERCENT[-off]
//                                      .ppm), for the help pages; exit code 0 when all were written
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mainwindow/tray_icon.h"
#include "platform/software_canvas.h"
#include "tests/wine/check_report.h"
#include "win32/services/wide_text.h"
#include "win32/services/win32_services.h"
#include "widgets/tray_icon_painter.h"

namespace {

using checks::check;
using checks::checkText;
using platform::Color;
using platform::Font;

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

// A size x size memory picture over a DIB section, filled with one colour.
struct Surface {
    int size;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    Surface(Color fill, int pixels) : size(pixels) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO header{};
        header.bmiHeader.biSize = sizeof header.bmiHeader;
        header.bmiHeader.biWidth = size;
        header.bmiHeader.biHeight = -size;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        bitmap = CreateDIBSection(dc, &header, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<uint32_t*>(memory);
        old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all{0, 0, size, size};
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
        return fromDib(bits[y * size + x]);
    }
};

HFONT createFont(const Font& font) {
    return CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       win32::widen(font.face).c_str());
}

int textWidth(const std::string& text, const Font& font) {
    Surface s(kBlack, 16);
    HFONT handle = createFont(font);
    HGDIOBJ old = SelectObject(s.dc, handle);
    const std::wstring wide = win32::widen(text);
    SIZE size{};
    GetTextExtentPoint32W(s.dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(s.dc, old);
    DeleteObject(handle);
    return size.cx;
}

// The figure's font as the program chooses it, measured by the system.
Font programFont(platform::Platform& os, const std::string& digits, int size) {
    return widgets::trayIconFontForSize(digits, size, [&os](const std::string& text, const Font& font) {
        return os.text.textWidth(text, font);
    });
}

// The icon as the program makes it.
HICON programIcon(platform::Platform& os, const std::string& digits, int size, int freePercent, bool redDot) {
    return reinterpret_cast<HICON>(
        mainwindow::makeTrayIcon(os.tray, os.text, size, digits, mainwindow::trayLevelColor(freePercent), redDot));
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

// Where the lines and the dot lie at each size the shell asks for (inclusive bounds), and a
// pixel well inside the dot.
struct Look {
    int size;
    int lineTop, lineBottom, lineLeft, lineRight;
    int dotX, dotY;
};
constexpr Look kLooks[] = {
    {16, 11, 14, 1, 14, 14, 2},
    {20, 14, 18, 1, 18, 17, 2},
    {24, 17, 22, 2, 22, 21, 3},
    {32, 22, 29, 2, 29, 28, 4},
};

// Compares an icon of the program with the picture the software canvas paints for the case at
// `size`, the figure drawn by the system where the canvas leaves it to it. `name` says which.
void checkPicture(HICON icon, const Case& c, const Look& look, const Font& font, const std::string& name) {
    const int size = look.size;
    const int textX = mainwindow::trayTextX(c.digits, size);
    const Color lineColor = mainwindow::trayLevelColor(c.freePercent);
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        check(false, name + ": an icon was made");
        return;
    }
    Picture colour;
    Picture mask;
    const bool read = info.fIcon && readBitmap(info.hbmColor, colour) && readBitmap(info.hbmMask, mask);
    const std::string side = std::to_string(size);
    check(read && colour.width == size && colour.height == size && mask.width == size && mask.height == size,
          name + ": an icon of " + side + " x " + side + " with a colour image and a mask of the same size",
          "(colour " + std::to_string(colour.width) + " x " + std::to_string(colour.height) + ", mask " +
              std::to_string(mask.width) + " x " + std::to_string(mask.height) + ")");
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    if (!read || colour.width != size || colour.height != size) return;

    int transparent = 0;
    for (Color m : mask.pixels) transparent += m != kBlack ? 1 : 0;
    check(transparent == 0, name + ": the mask is all black (every pixel opaque)",
          "(" + std::to_string(transparent) + " pixels not)");

    // The expected picture: the software canvas's, and where it shows the background, the text as
    // the system draws it by itself at the figure's place.
    platform::SoftwareCanvas software(size, size);
    widgets::paintTrayIcon(software, c.digits, textX, font, lineColor, c.redDot);
    Surface text(kBlack, size);
    HFONT handle = createFont(font);
    HGDIOBJ oldFont = SelectObject(text.dc, handle);
    SetBkMode(text.dc, TRANSPARENT);
    SetTextColor(text.dc, RGB(255, 255, 255));
    const std::wstring wide = win32::widen(c.digits);
    TextOutW(text.dc, textX, 0, wide.c_str(), static_cast<int>(wide.size()));
    SelectObject(text.dc, oldFont);
    DeleteObject(handle);

    long differing = 0;
    std::string first;
    int textPixels = 0;
    int leftmost = size;
    int rightmost = -1;
    int lowest = -1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
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
                lowest = std::max(lowest, y);
            }
        }
    }
    check(differing == 0, name + ": lines, colours, dot and figure as painted",
          "(" + std::to_string(differing) + " pixels differ, " + first + ")");

    // The figure itself: drawn, from its place on, as wide as its characters make it, inside the
    // icon and above the lines.
    const int width = textWidth(c.digits, font);
    const size_t characters = std::string(c.digits).size();
    check(textPixels >= static_cast<int>(4 * characters) * size / 16 && leftmost >= textX && leftmost <= textX + 2 &&
              rightmost >= textX + width - 3 && rightmost < size && lowest < look.lineTop,
          name + ": the figure's pixels lie from x = " + std::to_string(textX) + " over its width, above the lines",
          "(" + std::to_string(textPixels) + " pixels, columns " + std::to_string(leftmost) + " to " +
              std::to_string(rightmost) + ", down to row " + std::to_string(lowest) + ", text " +
              std::to_string(width) + " pixels wide)");

    // The look in plain terms, on the icon itself.
    bool lines = true;
    for (int y = look.lineTop; y <= look.lineBottom; ++y)
        for (int x = 0; x < size; ++x)
            lines = lines && colour.at(x, y) == (x >= look.lineLeft && x <= look.lineRight ? lineColor : kBlack);
    for (int y = look.lineBottom + 1; y < size; ++y)
        for (int x = 0; x < size; ++x) lines = lines && colour.at(x, y) == kBlack;
    check(lines, name + ": lines of " + hex(lineColor) + " in rows " + std::to_string(look.lineTop) + " to " +
                     std::to_string(look.lineBottom) + " from x = " + std::to_string(look.lineLeft) + " to " +
                     std::to_string(look.lineRight) + ", black around and below them");
    const bool dotCentre = colour.at(look.dotX, look.dotY) == widgets::kTrayDotColor;
    const bool cornerBlack = colour.at(size - 1, 0) != widgets::kTrayDotColor;
    check(c.redDot ? dotCentre && cornerBlack : !dotCentre,
          name + (c.redDot ? ": the red dot in the top-right corner, its corner black" : ": no red dot"));

    // Shown over any background, the icon covers it entirely.
    Surface shown(0xFF00FF, size);
    DrawIconEx(shown.dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    long throughIcon = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) throughIcon += shown.at(x, y) != colour.at(x, y) ? 1 : 0;
    check(throughIcon == 0, name + ": drawn over magenta, the icon shows its own picture everywhere",
          "(" + std::to_string(throughIcon) + " pixels differ)");
}

void checkIcon(platform::Platform& os, const Case& c, const Look& look) {
    const int size = look.size;
    const std::string name = std::string("\"") + c.digits + "\" at " + std::to_string(c.freePercent) + " %" +
                             (c.redDot ? " with the red dot" : "") + ", " + std::to_string(size) + " pixels";
    const Font font = programFont(os, c.digits, size);

    // The font: the largest Tahoma from 7 points down (at the icon's scale: 96 pixels per inch
    // at 16 pixels) whose figure fits the icon's width.
    const int pixelsPerInch = 6 * size;
    const int width = textWidth(c.digits, font);
    int points = 7;
    while (points > 1 && pixelHeight(points, pixelsPerInch) != font.height) --points;
    const bool largest =
        points == 7 || textWidth(c.digits, Font{font.face, pixelHeight(points + 1, pixelsPerInch), false, font.color}) > size;
    check(font.face == "Tahoma" && pixelHeight(points, pixelsPerInch) == font.height && width <= size && largest,
          name + ": the figure's font is the largest that fits the icon",
          "(height " + std::to_string(font.height) + ", " + std::to_string(width) + " pixels wide)");
    if (std::string(c.digits).size() == 4)
        check(points < 7, name + ": four characters need a smaller font than 7 points", "(7 points fit)");

    HICON icon = programIcon(os, c.digits, size, c.freePercent, c.redDot);
    checkPicture(icon, c, look, font, name);
    if (icon != nullptr) DestroyIcon(icon);
}

// The records handed to the shell, as the observer saw them.
struct ShellRecord {
    DWORD action;
    NOTIFYICONDATAW data;
};
std::vector<ShellRecord> shellRecords;
void recordShellCall(unsigned long action, const void* record) {
    shellRecords.push_back(ShellRecord{action, *static_cast<const NOTIFYICONDATAW*>(record)});
}

// The program's tray icon in the real notification area, its figure changing once: the size it
// draws at is the small-icon size of this display scale, and each change hands the shell the new
// icon and the new tip, with the flags that make the shell take both.
void checkShellRecords(platform::Platform& os, int expectedSize) {
    HWND window = CreateWindowExW(0, L"STATIC", L"tray probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const auto handle = reinterpret_cast<platform::Window>(window);
    const int size = os.tray.trayIconSize();
    check(size == expectedSize && size == GetSystemMetrics(SM_CXSMICON),
          "the tray icon is drawn at the small-icon size of this display scale, " + std::to_string(expectedSize),
          "(asked " + std::to_string(size) + ", the system's small icon " + std::to_string(GetSystemMetrics(SM_CXSMICON)) + ")");
    const Look* look = nullptr;
    for (const Look& l : kLooks)
        if (l.size == size) look = &l;
    if (look == nullptr) {
        check(false, "a size the probe knows the look of", std::to_string(size));
        DestroyWindow(window);
        return;
    }

    win32::Win32Tray::observeShellRecords(recordShellCall);
    {
        mainwindow::TrayIcon tray(os.tray, handle, nullptr, 1025);
        tray.add();
        const struct {
            Case figure;
            uint64_t freeMB;
            uint32_t load;
            const char* tip;
        } steps[] = {
            {{"1536", 75, false}, 1536, 25, "Quillet 可用内存：1,536MB内存荷载：25%"},
            {{"8", 3, true}, 8, 97, "Quillet 可用内存：8MB内存荷载：97%"},
        };
        HICON previous = nullptr;
        for (const auto& step : steps) {
            const Case& c = step.figure;
            HICON icon = programIcon(os, c.digits, size, c.freePercent, c.redDot);
            shellRecords.clear();
            tray.modify(reinterpret_cast<platform::Icon>(icon), mainwindow::trayTip(step.freeMB, step.load));
            const std::string name = std::string("the shell given the figure ") + c.digits;
            check(shellRecords.size() == 1 && shellRecords[0].action == NIM_MODIFY, name + ": one modify call",
                  "(" + std::to_string(shellRecords.size()) + " calls)");
            if (shellRecords.size() != 1) {
                DestroyIcon(icon);
                continue;
            }
            const NOTIFYICONDATAW& data = shellRecords[0].data;
            check((data.uFlags & NIF_ICON) != 0 && (data.uFlags & NIF_TIP) != 0,
                  name + ": the record says its icon and its tip are new (NIF_ICON, NIF_TIP)",
                  "(flags " + std::to_string(data.uFlags) + ")");
            check(data.hWnd == window && data.uID == 1, name + ": for the program's window and icon 1");
            checkText(win32::narrow(data.szTip), step.tip, name + ": the tip");
            check(data.hIcon == icon && icon != previous, name + ": the new icon");
            checkPicture(data.hIcon, c, *look, programFont(os, c.digits, size), name);
            if (previous != nullptr) DestroyIcon(previous);
            previous = icon;
        }
        tray.remove();
        if (previous != nullptr) DestroyIcon(previous);
    }
    win32::Win32Tray::observeShellRecords(nullptr);
    DestroyWindow(window);
}

// The icon for freeMB at freePercent, as the program makes it, written as a binary PPM.
bool writePicture(platform::Platform& os, const std::string& dir, uint64_t freeMB, int freePercent,
                  bool recoveryOff) {
    const std::string digits = mainwindow::trayDigits(freeMB);
    HICON icon = programIcon(os, digits, 16, freePercent, recoveryOff);
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
    win32::Win32Services system("");
    platform::Platform os = system.platform();
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
    const int expectedSize = argc == 2 ? std::atoi(argv[1]) : 16;
    win32::Win32Services system("");
    platform::Platform os = system.platform();
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("screen: %d pixels per inch, small icons %d pixels\n", pixelsPerInch, GetSystemMetrics(SM_CXSMICON));

    const Case cases[] = {
        {"8", 3, false},      // one digit, red
        {"8", 3, true},       // ... with automatic recovery off
        {"64", 50, false},    // two digits, green
        {"512", 20, false},   // three digits, yellow
        {"1536", 75, false},  // four digits from the left edge, shrunk, green
        {"20.4", 21, true},   // gigabytes with a decimal point, green, red dot
        {"128G", 6, false},   // whole gigabytes, yellow
    };
    for (const Look& look : kLooks)
        for (const Case& c : cases) checkIcon(os, c, look);
    checkShellRecords(os, expectedSize);
    return checks::summary();
}
