#pragma once
#include <cstdint>
#include <string>

#include "platform/shell.h"

namespace win32 {

// The shell's services: opening files and addresses, sounds, and (shell_links.cpp) shortcut
// files and the folder browser.
class Win32Shell : public platform::Shell {
public:
    intptr_t shellExecute(platform::Window owner, const std::string& verb, const std::string& file, const std::string& parameters,
                          const std::string& directory, int showCommand) override;
    void playSound(const std::string& file, uint32_t flags) override;
    bool writeShellLink(const std::string& path, const platform::ShellLink& link, std::string& failure) override;
    std::string browseForFolder(platform::Window owner, const std::string& title) override;
};

}  // namespace win32
