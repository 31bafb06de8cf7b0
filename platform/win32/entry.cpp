#include <windows.h>

#include "app/startup.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    platform::win32::Win32Platform os(platform::win32::narrow(commandLine != nullptr ? commandLine : L""));
    platform::Platform services = os.services();
    return app::runQuillet(services);
}
