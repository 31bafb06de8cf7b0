#include <windows.h>

#include "startup/startup.h"
#include "win32/controls/ui_backend.h"
#include "win32/services/system_dll.h"
#include "win32/services/wide_text.h"
#include "win32/services/win32_services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Before anything can load a library: never one from the program's folder.
    win32::restrictLibrarySearch();
    // A recovery's worker may still be writing its block when the program ends (it is not
    // waited for) and then calls into the system services: they live as long as the process,
    // never on this function's stack and never destroyed.
    auto* os = new win32::Win32Services(win32::narrow(commandLine != nullptr ? commandLine : L""));
    static platform::Platform services = os->platform();
    win32::Win32UiBackend backend([os](const std::string& message) { os->windows.reportError(message); });
    return startup::runQuillet(services, backend);
}
