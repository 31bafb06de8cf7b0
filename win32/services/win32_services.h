#pragma once
#include <string>

#include "platform/platform.h"
#include "win32/services/win32_free_resources.h"
#include "win32/services/win32_memory.h"
#include "win32/services/win32_os_information.h"
#include "win32/services/win32_process.h"
#include "win32/services/win32_profile.h"
#include "win32/services/win32_registry.h"
#include "win32/services/win32_shell.h"
#include "win32/services/win32_system_commands.h"
#include "win32/services/win32_text_renderer.h"
#include "win32/services/win32_threads.h"
#include "win32/services/win32_tray.h"
#include "win32/services/win32_window_system.h"
#include "win32/services/wininet_http.h"

namespace win32 {

// The real operating-system services, one object each, made together once per process by the
// entry point and handed down as a platform::Platform.
class Win32Services {
public:
    explicit Win32Services(std::string commandLine) : process(std::move(commandLine)) {}
    Win32Services(const Win32Services&) = delete;
    Win32Services& operator=(const Win32Services&) = delete;

    platform::Platform platform();

    Win32Memory memory;
    Win32Clock clock;
    Win32Process process;
    Win32WindowSystem windows;
    Win32Shell shell;
    Win32Profile profile;
    Win32OsVersion osVersion;
    Win32NtSystemInformation ntSystem;
    Win32Registry registry;
    Win32Threads threads;
    Win32SystemCommands systemCommands;
    Win32Tray tray;
    Win32FreeResources freeResources;
    Win32Http http;
    Win32TextRenderer text;
};

}  // namespace win32
