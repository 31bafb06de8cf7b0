#include "app/paths.h"

#include <utility>

#include "app/texts.h"

namespace app {

AppPaths makeAppPaths(std::string_view programPath) {
    AppPaths paths;
    const size_t slash = programPath.rfind('\\');
    if (slash != std::string_view::npos) paths.appDir.assign(programPath.substr(0, slash + 1));
    paths.docDir = paths.appDir + "documentation\\";
    paths.iniPath = paths.appDir + kProductName + ".ini";
    paths.soundsDir = paths.appDir + "sounds\\";
    return paths;
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
