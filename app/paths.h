#pragma once
#include <string>
#include <string_view>

namespace app {

// The program's folders and settings file. Plain concatenation: nothing is quoted or converted.
struct AppPaths {
    std::string appDir;     // folder of the program file, trailing backslash included
    std::string docDir;     // appDir + "documentation\"
    std::string iniPath;    // appDir + "Quillet.ini"
    std::string soundsDir;  // appDir + "sounds\"
};

AppPaths makeAppPaths(std::string_view programPath);

// Process-wide copy, set once at start-up and read-only afterwards.
const AppPaths& appPaths();
void setAppPaths(AppPaths paths);

}  // namespace app
