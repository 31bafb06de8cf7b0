// Names of the pictures compiled into Quillet.exe (win32/resources/quillet.rc; the
// pictures are drawn by scripts/make-pictures.py at build time). Plain C++ with no Windows
// types, so portable code can name a picture and the Win32 side loads it by that name
// (LoadImageW / LoadIconW with the name widened; names are not case-sensitive).
#pragma once

#include <iterator>
#include <string>

#include "platform/display_scale.h"

namespace app::resources {

// Every picture is drawn for 96 dpi and for the larger display scales too, so that none is
// stretched on a screen of more DPI (platform/display_scale.h): an icon group holds each size
// a window or a control asks of it; a bitmap has variants of its own, chosen by pictureFor()
// below.

// The program icon: an icon group with 16, 20, 24, 32, 40, 48 and 64 px images in 32-bit colour
// with alpha (40 and 64 px as PNG, which Windows reads from Vista on), and 16 and 32 px images
// in 16 colours. It is the window's icon (small and large,
// at the window's DPI), the 32 x 32 pictures (at 96 dpi) of the stress and about pages (Image1,
// Image2) and the tray icon while a recovery runs.
inline constexpr char kMainIcon[] = "MAINICON";

// The low-resource warning's picture: an icon group with 32, 40, 48 and 64 px images in 32-bit
// colour with alpha (40 and 64 px as PNG), and a 32 px one in 16 colours.
inline constexpr char kWarningIcon[] = "WARNINGICON";

// Button pictures: 16 x 16 bitmaps, 24-bit colour, and their variants drawn at the sizes of
// kGlyphScaledSizes in 8-bit colour (named with the size: GLYPH_HIDE_24).
// Transparent pixels have the colour kGlyphTransparentColour, and each picture's bottom-left
// pixel has that colour too, so a button may take either as its key. Edges are smoothed
// against the background named after each picture.
inline constexpr int kGlyphSize = 16;
inline constexpr unsigned kGlyphTransparentColour = 0x00FF00FFu;  // magenta, 0x00BBGGRR

inline constexpr char kGlyphHide[] = "GLYPH_HIDE";          // HideSpeedButton, 最小化; button face
inline constexpr char kGlyphExit[] = "GLYPH_EXIT";          // ExitSpeedButton, 退出; button face
inline constexpr char kGlyphRecover[] = "GLYPH_RECOVER";    // RecoverSpeedButton, 释放; button face
inline constexpr char kGlyphTune[] = "GLYPH_TUNE";          // TuneRamSpeedButton, 调整内存; black panel
inline constexpr char kGlyphShortcut[] = "GLYPH_SHORTCUT";  // ShortCutsSpeedButton, 创建快捷方式; button face
// The two pictures of DisableAutoRecoverSpeedButton (black panel): EnableImage while automatic
// recovery is on, DisableImage while it is switched off.
inline constexpr char kEnableImage[] = "GLYPH_AUTO_ON";
inline constexpr char kDisableImage[] = "GLYPH_AUTO_OFF";

// The start-up window's product picture: 377 x 63, 24-bit colour. The window shows its left
// 329 pixels. Its variants for the scales of kSplashScalePercents, in 8-bit colour, are named
// with the percentage (SPLASH_150: 566 x 95). All three are kept packed (raw data, not bitmap
// resources; platform/packed_picture.h) and unpacked into bitmaps when shown.
inline constexpr char kSplashPicture[] = "SPLASH";
inline constexpr int kSplashWidth = 377;
inline constexpr int kSplashHeight = 63;

inline constexpr int kGlyphScaledSizes[] = {20, 24, 32};
inline constexpr int kSplashScalePercents[] = {150, 200};

// The bitmap to load for a picture on a screen of `dpi`, and the DPI it is drawn for: the
// variant whose size is the smallest not below the picture's scaled size (beyond the largest
// variant, the largest). At 96 dpi, and for names without variants, the picture itself.
struct PictureChoice {
    std::string name;
    int drawnForDpi = platform::kDesignDpi;
};

inline PictureChoice pictureFor(const std::string& name, int dpi) {
    const int base = platform::kDesignDpi;
    auto pick = [&](int design, const int* sizes, int count, auto suffix) {
        const int wanted = platform::scaledLength(design, dpi);
        if (wanted <= design) return PictureChoice{name, base};
        int chosen = sizes[count - 1];
        for (int i = 0; i < count; ++i) {
            if (sizes[i] >= wanted) {
                chosen = sizes[i];
                break;
            }
        }
        return PictureChoice{name + "_" + suffix(chosen), chosen * base / design};
    };
    auto number = [](int n) { return std::to_string(n); };
    if (name.rfind("GLYPH_", 0) == 0)
        return pick(kGlyphSize, kGlyphScaledSizes, static_cast<int>(std::size(kGlyphScaledSizes)), number);
    if (name == kSplashPicture)
        return pick(100, kSplashScalePercents, static_cast<int>(std::size(kSplashScalePercents)), number);
    return PictureChoice{name, base};
}

}  // namespace app::resources
