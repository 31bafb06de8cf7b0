// The display-scale suite: the main window with every page, the splash and each dialog laid
// out for a screen of 96, 144 or 192 dpi (the prefix's LogPixels, QUILLET_WINE_DPI), seen from
// outside the process: every control inside its parent, every caption fitting in the control's
// own font, every font at a point size the program uses.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/wine/e2e_support.h"
#include "tests/wine/main_window_scenarios.h"

namespace e2e {
namespace {

using checks::check;

// The DPI of the screen this run sees (the prefix's LogPixels).
int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A length of the 96-dpi design on a screen of `dpi`: rounded to the nearest pixel, halves
// away from zero (written out here, apart from the program's own rule).
int px(int length, int dpi) {
    const int magnitude = ((length < 0 ? -length : length) * dpi + 48) / 96;
    return length < 0 ? -magnitude : magnitude;
}

// The font a control's window was given, as the program publishes it with its name
// ("face|height|weight|italic|underline"); a font handle means nothing in this process.
struct ShownFont {
    LOGFONTW log{};
    bool known = false;
};

ShownFont shownFont(HWND hwnd) {
    ShownFont font;
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(hwnd, L"QuilletFont")));
    wchar_t text[256] = L"";
    if (atom == 0 || GlobalGetAtomNameW(atom, text, 256) == 0) return font;
    std::wstring fields[5];
    int field = 0;
    for (const wchar_t* c = text; *c != 0 && field < 5; ++c) {
        if (*c == L'|') ++field;
        else fields[field] += *c;
    }
    if (field != 4) return font;
    wcsncpy(font.log.lfFaceName, fields[0].c_str(), LF_FACESIZE - 1);
    font.log.lfHeight = _wtoi(fields[1].c_str());
    font.log.lfWeight = _wtoi(fields[2].c_str());
    font.log.lfItalic = static_cast<BYTE>(_wtoi(fields[3].c_str()));
    font.log.lfUnderline = static_cast<BYTE>(_wtoi(fields[4].c_str()));
    font.log.lfCharSet = DEFAULT_CHARSET;
    font.known = true;
    return font;
}

// The text as a static control shows it: "&&" is "&", a single "&" marks the access letter.
std::wstring shownText(const std::wstring& caption) {
    std::wstring out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

// The size the text takes in that font, laid out by DrawText with `format` (a width for
// DT_WORDBREAK).
SIZE textExtent(const ShownFont& font, const std::wstring& text, UINT format, int width) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HFONT handle = CreateFontIndirectW(&font.log);
    HGDIOBJ old = SelectObject(dc, handle);
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(handle);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The flat buttons that show a picture before their caption.
const std::set<std::string> kButtonsWithPictures = {"HideSpeedButton",      "ExitSpeedButton",
                                                    "RecoverSpeedButton",   "TuneRamSpeedButton",
                                                    "ShortCutsSpeedButton", "DisableAutoRecoverSpeedButton"};

// The room a caption has in its control, and how it is laid out there; false for windows whose
// text is no caption (edits, lists, the tabs' pages, drawings).
bool captionRoom(HWND hwnd, const std::string& name, int dpi, RECT& room, UINT& format) {
    const std::wstring kind = className(hwnd);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    GetClientRect(hwnd, &room);
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) return false;
        format = type == SS_LEFTNOWORDWRAP ? DT_LEFT | DT_EXPANDTABS : DT_WORDBREAK | DT_EXPANDTABS;
        return true;
    }
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        format = DT_SINGLELINE;
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON) {
            room.left += px(16, dpi);  // the 13-pixel box and the gap after it, at 96 dpi
        } else if (type == BS_OWNERDRAW) {
            if (kButtonsWithPictures.count(name) != 0) room.left += px(16 + 4, dpi);  // its picture, a gap
        } else {
            InflateRect(&room, -px(3, dpi), 0);  // a push button's edges
        }
        return true;
    }
    if (kind == L"QuilletContainer") {
        // A group box's caption, blanks around it, stands 8 pixels in from either side; the
        // pages' texts are their tabs', measured by the tab control itself.
        if (className(GetParent(hwnd)) == L"SysTabControl32") return false;
        InflateRect(&room, -px(8, dpi), 0);
        format = DT_SINGLELINE;
        return true;
    }
    return false;
}

// Every named control of a window laid out for the screen's DPI: inside its parent's client
// area (but those designed to stand out), its caption no wider or taller than the room it
// has in the font its window was given, that font of a point size the program uses.
void checkLayout(HWND window, const std::string& what, int dpi, const std::set<std::string>& designedToStandOut = {}) {
    const auto controls = namedControls(window);
    check(!controls.empty(), what + ": its controls are found");
    const std::set<int> heights = {px(-12, dpi), px(-13, dpi), px(-16, dpi)};  // 9, 10 and 12 points
    int outside = 0, covered = 0, wrongFont = 0;
    std::string outsideNames, coveredNames, fontNames;
    for (const auto& [name, hwnd] : controls) {
        HWND parent = GetParent(hwnd);
        RECT client{}, frame{};
        GetClientRect(parent, &client);
        GetWindowRect(hwnd, &frame);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&frame), 2);
        if (designedToStandOut.count(name) == 0 && (frame.left < 0 || frame.top < 0 || frame.right > client.right ||
                                                    frame.bottom > client.bottom)) {
            ++outside;
            outsideNames += " " + name + "(" + std::to_string(frame.left) + "," + std::to_string(frame.top) + "," +
                            std::to_string(frame.right) + "," + std::to_string(frame.bottom) + " in " +
                            std::to_string(client.right) + "x" + std::to_string(client.bottom) + ")";
        }
        const ShownFont font = shownFont(hwnd);
        if (!font.known || heights.count(font.log.lfHeight) == 0) {
            ++wrongFont;
            fontNames += " " + name + "(" + (font.known ? std::to_string(font.log.lfHeight) : "none") + ")";
            continue;
        }
        RECT room{};
        UINT format = 0;
        if (!captionRoom(hwnd, name, dpi, room, format)) continue;
        const std::wstring text = shownText(windowText(hwnd));
        if (text.empty()) continue;
        const int width = room.right - room.left;
        const SIZE need = textExtent(font, text, format, width);
        // Wider than its room, or a line of it (wrapped in the room's width) cut off by more than
        // half: the blank below a single line's characters may be lost.
        const SIZE line = textExtent(font, L"M", DT_SINGLELINE, 0);
        if (need.cx > width || need.cy - (room.bottom - room.top) > line.cy / 2) {
            ++covered;
            coveredNames += " " + name + "(" + std::to_string(need.cx) + "x" + std::to_string(need.cy) + " in " +
                            std::to_string(width) + "x" + std::to_string(room.bottom - room.top) + ")";
        }
    }
    check(outside == 0, what + ": every control lies inside its parent's client area", outsideNames);
    check(covered == 0, what + ": every caption fits its control in the control's own font", coveredNames);
    check(wrongFont == 0, what + ": every font keeps its point size at " + std::to_string(dpi) + " dpi", fontNames);
}

// Opens a dialog of the running copy, checks its layout and closes it.
void checkDialog(const MainWindow& main, const wchar_t* windowClass, const std::string& what, int dpi,
                 const std::function<void()>& open, int designWidth, int designHeight) {
    open();
    HWND dialog = waitForShownWindow(main.child, windowClass);
    check(dialog != nullptr, what + " shows");
    if (dialog == nullptr) return;
    RECT client{};
    GetClientRect(dialog, &client);
    check(client.right == px(designWidth, dpi) && client.bottom == px(designHeight, dpi),
          what + ": client area " + std::to_string(px(designWidth, dpi)) + " x " + std::to_string(px(designHeight, dpi)),
          std::to_string(client.right) + " x " + std::to_string(client.bottom));
    checkLayout(dialog, what, dpi);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    check(waitUntil([&] { return !IsWindowVisible(dialog); }) &&
              waitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }),
          what + ": closes");
}

// The pixels of a bitmap as 32-bit colours, read through the screen's device context.
std::vector<DWORD> bitmapPixels(HBITMAP bitmap, SIZE& size) {
    BITMAP info{};
    size = SIZE{0, 0};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return {};
    size = SIZE{info.bmWidth, info.bmHeight};
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows == info.bmHeight ? pixels : std::vector<DWORD>{};
}

// The splash's picture, which the program unpacks from its resources, shows every pixel as
// drawn: what the screen shows of it (the window cuts off its right part) read back against the
// drawing the build keeps beside the program (win32/resources/, the 1x splash 24-bit, the
// larger ones RLE8), loaded by the system's own bitmap reader. Read from the screen, as the
// program's bitmap is its own.
void checkSplashPicture(HWND splash, int dpi) {
    const auto controls = namedControls(splash);
    const auto image = controls.find("Image1");
    check(image != controls.end(), "splash: its picture control exists");
    if (image == controls.end()) return;
    const std::wstring file = quilletPath.substr(0, quilletPath.find_last_of(L'\\') + 1) + L"resources\\" +
                              (dpi >= 192 ? L"splash_200.bmp" : dpi >= 144 ? L"splash_150.bmp" : L"splash.bmp");
    HBITMAP drawn = static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    check(drawn != nullptr, "splash: the drawing beside the program loads");
    SIZE drawnSize{};
    const auto expected = bitmapPixels(drawn, drawnSize);
    if (drawn != nullptr) DeleteObject(drawn);
    check(drawnSize.cx == px(377, dpi) && drawnSize.cy == px(63, dpi), "splash: the drawing has this DPI's size",
          std::to_string(drawnSize.cx) + " x " + std::to_string(drawnSize.cy));

    // The part of the picture inside the splash's client area, in the picture's own pixels.
    RECT shownPart{}, client{};
    GetWindowRect(image->second, &shownPart);
    GetClientRect(splash, &client);
    MapWindowPoints(splash, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT origin{shownPart.left, shownPart.top};
    IntersectRect(&shownPart, &shownPart, &client);
    const int width = shownPart.right - shownPart.left, height = shownPart.bottom - shownPart.top;
    check(width >= px(320, dpi) && height == drawnSize.cy, "splash: the picture shows at its height",
          std::to_string(width) + " x " + std::to_string(height));
    if (width <= 0 || height <= 0 || expected.empty()) return;
    const int dx = shownPart.left - origin.x, dy = shownPart.top - origin.y;
    auto differingPixels = [&] {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(memory, copy);
        BitBlt(memory, 0, 0, width, height, screen, shownPart.left, shownPart.top, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        SIZE copySize{};
        const auto shown = bitmapPixels(copy, copySize);
        DeleteObject(copy);
        if (shown.empty()) return static_cast<size_t>(width) * height;
        size_t differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width && x + dx < drawnSize.cx && y + dy < drawnSize.cy; ++x)
                differing += (shown[static_cast<size_t>(y) * width + x] & 0xFFFFFF) !=
                             (expected[static_cast<size_t>(y + dy) * drawnSize.cx + x + dx] & 0xFFFFFF);
        return differing;
    };
    // (The window may show before its picture is painted: read again for a moment.)
    size_t differing = differingPixels();
    for (int tries = 0; differing != 0 && tries < 10; ++tries) {
        Sleep(100);
        differing = differingPixels();
    }
    check(differing == 0, "splash: every pixel shown as drawn", std::to_string(differing) + " pixels differ");
}

}  // namespace

// The main window with every page, the splash before it and each dialog, laid out for the DPI
// of the screen this run sees (96, 144 or 192: QUILLET_WINE_DPI), then the command-line run's
// progress window.
void displayScale() {
    const int dpi = screenDpi();
    const wchar_t* expected = _wgetenv(L"QUILLET_WINE_DPI");
    check(expected != nullptr && _wtoi(expected) == dpi, "the screen has the DPI the run asked for",
          std::to_string(dpi) + " dpi");

    const std::wstring ini = settingsFilePath();
    check(WritePrivateProfileStringW(L"Settings", L"ShowSplash", L"0", ini.c_str()) != FALSE,
          "the settings ask for the splash");
    MainWindow main([&](const Child& child) {
        HWND splash = waitForShownWindow(child, L"TSplashForm");
        check(splash != nullptr, "the splash shows");
        if (splash == nullptr) return;
        // (It goes by itself after two seconds; what is read meanwhile is enough.)
        RECT client{};
        GetClientRect(splash, &client);
        check(client.right == px(329, dpi) && client.bottom == px(121, dpi), "splash: client area at this DPI",
              std::to_string(client.right) + " x " + std::to_string(client.bottom));
        // Its white panel is wider than the window by design: its right edge is cut off.
        checkLayout(splash, "splash", dpi, {"Panel1"});
        checkSplashPicture(splash, dpi);
    });
    if (main.window == nullptr) return;
    RECT client{};
    GetClientRect(main.window, &client);
    check(client.right == px(402, dpi) && client.bottom == px(434, dpi), "main window: client area at this DPI",
          std::to_string(client.right) + " x " + std::to_string(client.bottom));
    checkLayout(main.window, "main window", dpi);

    checkDialog(main, L"TTuneRamForm", "Tune RAM", dpi, [&] { PostMessageW(main.control("TuneRamSpeedButton"), BM_CLICK, 0, 0); },
                378, 49);
    checkDialog(main, L"TShortCutsForm", "shortcut builder", dpi, [&] {
        showPage(main, "Tweaks1", "TweaksTabSheet");
        PostMessageW(main.control("ShortCutsSpeedButton"), BM_CLICK, 0, 0);
    }, 378, 321);
    checkDialog(main, L"TUpgradeForm", "upgrade check", dpi, [&] { chooseMenuItem(main.window, "CheckforUpgrade1"); },
                379, 231);

    // The low-resource warning only appears on Windows 9x: shown here by its probe, with
    // figures the probe gives it.
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring probe = self;
    probe = probe.substr(0, probe.find_last_of(L'\\') + 1) + L"lowres_probe.exe";
    std::wstring command = L"\"" + probe + L"\" dialog hold 120";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE quiet = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = quiet;  // its own checks expect 96 dpi
    PROCESS_INFORMATION warning{};
    if (CreateProcessW(probe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &warning)) {
        HWND dialog = nullptr;
        waitUntil([&] { return (dialog = FindWindowW(L"TLowResForm", nullptr)) != nullptr && IsWindowVisible(dialog); });
        check(dialog != nullptr, "low-resource warning shows");
        if (dialog != nullptr) {
            RECT area{};
            GetClientRect(dialog, &area);
            check(area.right == px(451, dpi) && area.bottom == px(264, dpi), "low-resource warning: client area at this DPI",
                  std::to_string(area.right) + " x " + std::to_string(area.bottom));
            checkLayout(dialog, "low-resource warning", dpi);
        }
        TerminateProcess(warning.hProcess, 0);
        WaitForSingleObject(warning.hProcess, checks::kPatienceMs);
        CloseHandle(warning.hThread);
        CloseHandle(warning.hProcess);
    } else {
        check(false, "the low-resource warning's probe starts", utf8(probe));
    }
    if (quiet != INVALID_HANDLE_VALUE) CloseHandle(quiet);
    main.endSession("display scale");
    DeleteFileW(ini.c_str());

    if (dpi != 96) commandLineRecovery();  // (at 96 dpi: e2e_ram_once)
}

}  // namespace e2e
