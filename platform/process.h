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
};

}  // namespace platform
