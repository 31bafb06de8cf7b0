#include "app/main_form.h"

#include <stdexcept>

#include "app/texts.h"

namespace app {

TQuilletForm::~TQuilletForm() {
    if (window_ != nullptr) os_.windows.destroyWindow(window_);
}

void TQuilletForm::create() {
    platform::WindowSpec layout;
    layout.className = kMainWindowClass;
    layout.caption = kProductName;
    layout.clientWidth = kClientWidth;
    layout.clientHeight = kClientHeight;
    layout.frame = platform::Frame::Sizeable;
    window_ = os_.windows.createWindow(layout, this);
    if (window_ == nullptr) throw std::runtime_error("无法创建主窗口。");
}

void TQuilletForm::show() { os_.windows.showWindow(window_, true); }

void TQuilletForm::Exit1Click() { os_.windows.quitMessageLoop(); }

bool TQuilletForm::handleMessage(uint32_t message, uintptr_t, intptr_t, intptr_t& result) {
    switch (message) {
    case platform::kWmQueryEndSession:
        Exit1Click();
        result = 1;  // Windows may go on logging off or shutting down
        return true;
    case platform::kWmClose:
        // Until the window has a notification-area icon to hide to, closing it ends the program.
        Exit1Click();
        result = 0;
        return true;
    default:
        return false;
    }
}

}  // namespace app
