#pragma once
#include "platform/clock.h"
#include "platform/free_resources.h"
#include "platform/http.h"
#include "platform/memory.h"
#include "platform/nt_system_information.h"
#include "platform/os_version.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_commands.h"
#include "platform/text_renderer.h"
#include "platform/threads.h"
#include "platform/tray.h"
#include "platform/window_system.h"

namespace platform {

// Every operating-system service the program uses, handed down from the entry point.
struct Platform {
    Memory& memory;
    Clock& clock;
    Process& process;
    WindowSystem& windows;
    Shell& shell;
    Profile& profile;
    OsVersion& osVersion;
    NtSystemInformation& ntSystem;
    Registry& registry;
    Threads& threads;
    SystemCommands& systemCommands;
    Tray& tray;
    FreeResources& freeResources;
    Http& http;
    TextRenderer& text;
};

}  // namespace platform
