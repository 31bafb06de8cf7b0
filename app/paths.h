#pragma once
#include <string>
#include <string_view>

namespace platform {
class Process;
class Profile;
}  // namespace platform

namespace app {

// The program's folders and settings file. Plain concatenation: nothing is quoted or converted.
struct AppPaths {
    std::string appDir;       // folder of the program file, trailing backslash included
    std::string docDir;       // appDir + "documentation\"
    std::string iniPath;      // settingsDir + "Quillet.ini"
    std::string soundsDir;    // appDir + "sounds\"
    std::string settingsDir;  // folder of the settings file, trailing backslash included
};

// The file the installer puts beside the program. A copy that finds it keeps its settings in
// the user's application-data folder, since a program under Program Files may not write beside
// itself; a copy without it (the zip, unpacked anywhere) keeps them beside itself.
inline constexpr const char* kInstalledMarkerName = "Quillet.installed";

// The settings file beside the program.
AppPaths makeAppPaths(std::string_view programPath);
// The settings file in the folder given (its trailing backslash is added when missing); beside
// the program when that folder is empty.
AppPaths makeAppPaths(std::string_view programPath, std::string_view settingsFolder);
// The paths of the running copy: beside the program, or the "Quillet" folder in the user's
// application-data folder for an installed copy (beside the program again when the system
// names no such folder).
AppPaths findAppPaths(platform::Process& process, platform::Profile& profile);

// Makes the settings file's folder when it is missing (an installed copy's first save); true
// when it exists.
bool prepareSettingsFolder(platform::Profile& profile, const std::string& iniPath);

// Process-wide copy, set once at start-up and read-only afterwards.
const AppPaths& appPaths();
void setAppPaths(AppPaths paths);

}  // namespace app
