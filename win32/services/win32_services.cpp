#include "win32/services/win32_services.h"

namespace platform::win32 {

Platform Win32Services::platform() {
    return Platform{memory,  clock,          process, windows,   shell,       profile, osVersion, ntSystem,
                    registry, threads,       systemCommands, tray, freeResources, http,    text};
}

}  // namespace platform::win32
