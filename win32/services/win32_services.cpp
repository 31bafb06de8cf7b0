#include "win32/services/win32_services.h"

namespace win32 {

platform::Platform Win32Services::platform() {
    return platform::Platform{memory,  clock,          process, windows,   shell,       profile, osVersion, ntSystem,
                    registry, threads,       systemCommands, tray, freeResources, http,    text};
}

}  // namespace win32
