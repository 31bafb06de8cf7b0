#include "app/paths.h"

#include <utility>

#include "app/texts.h"
#include "platform/process.h"
#include "platform/profile.h"

namespace app {

AppPaths makeAppPaths(std::string_view programPath) { return makeAppPaths(programPath, {}); }

AppPaths makeAppPaths(std::string_view programPath, std::string_view settingsFolder) {
    AppPaths paths;
    const size_t slash = programPath.rfind('\\');
    if (slash != std::string_view::npos) paths.appDir.assign(programPath.substr(0, slash + 1));
    paths.docDir = paths.appDir + "documentation\\";
    paths.soundsDir = paths.appDir + "sounds\\";
    if (settingsFolder.empty()) {
        paths.settingsDir = paths.appDir;
    } else {
        paths.settingsDir.assign(settingsFolder);
        if (paths.settingsDir.back() != '\\') paths.settingsDir += '\\';
    }
    paths.iniPath = paths.settingsDir + kProductName + ".ini";
    return paths;
}

AppPaths findAppPaths(platform::Process& process, platform::Profile& profile) {
    const std::string program = process.programPath();
    AppPaths paths = makeAppPaths(program);
    if (!profile.fileExists(paths.appDir + kInstalledMarkerName)) return paths;
    const std::string appData = process.applicationDataFolder();
    if (appData.empty()) return paths;
    return makeAppPaths(program, appData + (appData.back() == '\\' ? "" : "\\") + kProductName);
}

bool prepareSettingsFolder(platform::Profile& profile, const std::string& iniPath) {
    const size_t slash = iniPath.rfind('\\');
    // A file in the current folder, or in a drive's root, needs no folder made.
    if (slash == std::string::npos || (slash > 0 && iniPath[slash - 1] == ':')) return true;
    return profile.createFolder(iniPath.substr(0, slash));
}

namespace {
AppPaths& storedPaths() {
    static AppPaths paths;
    return paths;
}
}  // namespace

const AppPaths& appPaths() { return storedPaths(); }
void setAppPaths(AppPaths paths) { storedPaths() = std::move(paths); }

}  // namespace app
