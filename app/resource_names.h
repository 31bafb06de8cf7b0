// Names of the pictures compiled into Quillet.exe (win32/resources/quillet.rc; the
// pictures are drawn by scripts/make-pictures.py at build time). Plain C++ with no Windows
// types, so portable code can name a picture and the Win32 side loads it by that name
// (LoadImageW / LoadIconW with the name widened; names are not case-sensitive).
#pragma once

namespace resources {

// The program icon: an icon group with 16, 32 and 48 px images in 32-bit colour with alpha,
// and 16 and 32 px images in 16 colours. It is the window's icon, the 32 x 32 pictures of
// the stress and about pages (Image1, Image2) and the tray icon while a recovery runs.
inline constexpr char kMainIcon[] = "MAINICON";

// The low-resource warning's picture: an icon group with a 32 x 32 image in 32-bit colour with
// alpha and one in 16 colours.
inline constexpr char kWarningIcon[] = "WARNINGICON";

// Button pictures: 16 x 16 bitmaps, 24-bit colour.
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
// 329 pixels.
inline constexpr char kSplashPicture[] = "SPLASH";
inline constexpr int kSplashWidth = 377;
inline constexpr int kSplashHeight = 63;

}  // namespace resources
