#include "shortcuts/shortcut_popup_form.h"

#include "text/text_format.h"
#include "app/texts.h"

namespace shortcuts {

TShortcutPopupForm::~TShortcutPopupForm() {
    if (window_ != nullptr) windows_.destroyWindow(window_);
}

void TShortcutPopupForm::show() {
    if (window_ == nullptr) {
        platform::WindowSpec layout;
        layout.className = "TShortcutPopupForm";
        layout.caption = text::formatText(app::kShortcutPopupCaptionFormat, {app::kProductName});
        layout.clientWidth = kClientWidth;
        layout.clientHeight = kClientHeight;
        layout.frame = platform::Frame::Dialog;
        layout.centredOnDesktop = true;
        window_ = windows_.createWindow(layout, nullptr);
        if (window_ == nullptr) return;  // the recovery goes on without its progress window
    }
    windows_.showWindow(window_, true);
    windows_.updateWindow(window_);
}

}  // namespace shortcuts
