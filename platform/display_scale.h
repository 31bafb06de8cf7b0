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

// A value laid out at 96 dpi and shown at the window's DPI. Each change of DPI scales it from
// its design, never from the pixels of the DPI before, so a window that goes through other DPIs
// comes back to exactly the pixels it had (scaling 144 -> 120 -> 144 from the pixels of each
// would move some lengths by one). A value that changed since it was last scaled (the program
// or the system set it at the DPI then) is taken back to the design first.
// `scale(value, toDpi, fromDpi)` scales a value by the rule above.
template <class T>
class DesignScaled {
public:
    template <class Scale>
    T rescale(const T& shown, int fromDpi, int toDpi, const Scale& scale) {
        if (!known_ || !(shown == shownAt_)) design_ = fromDpi == kDesignDpi ? shown : scale(shown, kDesignDpi, fromDpi);
        known_ = true;
        shownAt_ = scale(design_, toDpi, kDesignDpi);
        return shownAt_;
    }

private:
    bool known_ = false;
    T design_{};
    T shownAt_{};
};

// scaledLength as a function object, for DesignScaled<int>.
inline constexpr auto kScaleLength = [](int length, int toDpi, int fromDpi) {
    return scaledLength(length, toDpi, fromDpi);
};

}  // namespace platform
