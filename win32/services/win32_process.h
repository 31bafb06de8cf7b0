#pragma once
#include <string>

#include "platform/process.h"

namespace win32 {

// The running program: its path, its command line and the folders it keeps files in.
class Win32Process : public platform::Process {
public:
    explicit Win32Process(std::string commandLine);
    std::string programPath() override;
    std::string commandLine() override { return commandLine_; }
    std::string windowsFolder() override;
    std::string applicationDataFolder() override;
    std::string longPathName(const std::string& path) override;

private:
    std::string commandLine_;
};

}  // namespace win32
