#include "shortcuts/shortcut_popup_form.h"

#include "app/text_format.h"
#include "app/texts.h"

namespace shortcuts {

TShortcutPopupForm::~TShortcutPopupForm() {
    if (window_ != nullptr) windows_.destroyWindow(window_);
}

void TShortcutPopupForm::show() {
    if (window_ == nullptr) {
        platform::WindowSpec spec;
        spec.className = "TShortcutPopupForm";
        spec.caption = app::formatText(app::kShortcutPopupCaptionFormat, {app::kProductName});
        spec.clientWidth = kClientWidth;
        spec.clientHeight = kClientHeight;
        spec.frame = platform::Frame::Dialog;
        spec.centredOnDesktop = true;
        window_ = windows_.createWindow(spec, nullptr);
        if (window_ == nullptr) return;  // the recovery goes on without its progress window
    }
    windows_.showWindow(window_, true);
    windows_.updateWindow(window_);
}

}  // namespace shortcuts
