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
};

}  // namespace platform
