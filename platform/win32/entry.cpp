#include <windows.h>

#include "app/startup.h"
#include "platform/win32/ui_backend.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    platform::win32::Win32Platform os(platform::win32::narrow(commandLine != nullptr ? commandLine : L""));
    platform::Platform services = os.services();
    platform::win32::Win32UiBackend backend([&os](const std::string& message) { os.reportError(message); });
    return app::runQuillet(services, backend);
}
