#pragma once
// Display scale: the one rule by which sizes follow the screen's DPI
// ==================================================================
// Every form, its controls, fonts and pictures are designed at 96 dpi (the tables, the dialogs'
// constants). On a screen of another DPI a length L becomes
//
//     scaled(L) = L x dpi / 96, rounded to the nearest whole pixel, halves away from zero
//
// (the rounding of Windows' MulDiv). A place is scaled by its edges, not by its size: a control
// from x to x + w becomes scaled(x) ... scaled(x + w), so its width is scaled(x + w) - scaled(x).
// Controls that touch at 96 dpi therefore still touch, one that fills its parent still fills
// it, and one inside its parent stays inside (the rule never decreases). At 96 dpi every value
// is unchanged. A scale from one DPI to another (the window moved to another monitor) uses the
// same rule with the old DPI in place of 96.
//
// ui::Form applies the rule to a whole form in one place (ui/form.h); nothing else scales a
// control. Font heights (negative: character heights in pixels) scale as lengths, so a font
// keeps its point size: -12 (9 points at 96 dpi) is -18 at 144 dpi and -24 at 192 dpi.
#include <cstdint>

namespace platform {

// The DPI the program's layouts are designed at.
inline constexpr int kDesignDpi = 96;

// A length at `fromDpi` (96 unless said) scaled to `toDpi`.
constexpr int scaledLength(int length, int toDpi, int fromDpi = kDesignDpi) {
    if (toDpi == fromDpi || fromDpi <= 0) return length;
    const int64_t product = static_cast<int64_t>(length) * toDpi;
    const int64_t half = fromDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / fromDpi : -((-product + half) / fromDpi));
}

// The length between two edges that both scale: start .. start + length.
constexpr int scaledSpan(int start, int length, int toDpi, int fromDpi = kDesignDpi) {
    return scaledLength(start + length, toDpi, fromDpi) - scaledLength(start, toDpi, fromDpi);
}

}  // namespace platform
