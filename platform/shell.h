#pragma once
#include <cstdint>
#include <string>

#include "platform/window_system.h"

namespace platform {

constexpr int kSwShowNormal = 1;

// PlaySound flags (Win32 values).
constexpr uint32_t kSndAsync = 0x0001;
constexpr uint32_t kSndNoDefault = 0x0002;
constexpr uint32_t kSndNoStop = 0x0010;
constexpr uint32_t kSndNoWait = 0x2000;
constexpr uint32_t kSndFilename = 0x20000;

// What a shortcut file (.lnk) holds, written through the shell's own link object. The working
// folder, show command and hot key stay the link object's defaults.
struct ShellLink {
    std::string target;
    std::string arguments;
    std::string iconPath;
    int iconIndex = 0;
    std::string description;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a program or document the way Explorer would. Returns the shell's code
    // (greater than 32 on success). An empty directory means "none".
    virtual intptr_t shellExecute(Window owner, const std::string& verb, const std::string& file,
                                  const std::string& parameters, const std::string& directory,
                                  int showCommand) = 0;
    // Plays a sound file (PlaySound with SND_FILENAME and the given flags, kSnd...). A missing or
    // unplayable file is silent.
    virtual void playSound(const std::string& file, uint32_t flags) = 0;

    // Writes the shortcut file `path` (the link object's Save, remembering the name). False
    // when the link object cannot be made or the file cannot be written; `failure` then says
    // why, in the system's words.
    virtual bool writeShellLink(const std::string& path, const ShellLink& link, std::string& failure) = 0;
    // The shell's folder browser owned by `owner`, over the whole namespace, with no flags and
    // the given title. The chosen folder's path; empty when the user cancelled or chose
    // something that is no folder of the file system.
    virtual std::string browseForFolder(Window owner, const std::string& title) = 0;
};

}  // namespace platform
