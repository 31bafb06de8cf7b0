#pragma once
#include <string>

namespace platform {

class Process {
public:
    virtual ~Process() = default;
    // Full path of the program file, UTF-8.
    virtual std::string programPath() = 0;
    // The argument text after the program name, as the system hands it to the entry point.
    virtual std::string commandLine() = 0;
    // Full path of the Windows folder (the home of system.ini), without a trailing backslash
    // unless it is a drive's root; empty when the system does not tell.
    virtual std::string windowsFolder() = 0;
    // Full path of the user's own application-data folder (the roaming one), without a trailing
    // backslash; empty when the system has none.
    virtual std::string applicationDataFolder() = 0;
    // The path with every name in its long form (not the short 8.3 one) where the file exists;
    // the path unchanged where it does not, or where the system cannot tell.
    virtual std::string longPathName(const std::string& path) = 0;
};

}  // namespace platform
